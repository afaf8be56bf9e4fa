#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QListWidget;
class QTextBrowser;
class QToolButton;

// The help viewer: a contents list beside the page, with back, forward and
// home. Pages are the HTML files of the help folder; links between them are
// followed in the window, links to web addresses open in the browser.
// The contents come from "contents.txt" in the help folder, one topic a
// line as "Title | path/page.htm"; lines starting with "#" are comments.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // The topic the help opens on and returns to with its home button.
    static constexpr const char* kOverviewTopic = "overview/overview.htm";

    explicit HelpWindow(const QString& helpFolder, QWidget* parent = nullptr);

    // Shows the one help window of the program on a topic (a path relative
    // to the help folder), creating it when needed. The window is owned by
    // the modal window that is active, if any, so that it stays usable
    // while that window runs.
    static HelpWindow* Open(const QString& helpFolder, const QString& topic);

    void ShowTopic(const QString& topic);
    QUrl CurrentPage() const;

    QTextBrowser* Browser() const { return m_browser; }
    QListWidget* Contents() const { return m_contents; }

private:
    void FitOnScreen();
    void LoadContents();
    void FollowLink(const QUrl& link);
    void OnPageChanged(const QUrl& page);
    void OnContentsRowChanged(int row);

    QString m_helpFolder;
    QListWidget* m_contents = nullptr;
    QTextBrowser* m_browser = nullptr;
    QToolButton* m_backButton = nullptr;
    QToolButton* m_forwardButton = nullptr;
};
