#pragma once

#include "res/CommandIds.h"
#include "ui/CConverterDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <functional>
#include <memory>

// Answers every message box as it appears and records its caption and text:
// with the queued answers in order, then with Ok (or No where there is none).
// `onShow` runs as each box appears, to look at the program at that moment.
class MessageRecorder : public QObject {
public:
    struct Box {
        QString caption;
        QString text;
    };

    MessageRecorder() { qApp->installEventFilter(this); }
    ~MessageRecorder() override { qApp->removeEventFilter(this); }

    void Answer(QMessageBox::StandardButton button) { m_answers.append(button); }
    const QList<Box>& Shown() const { return m_shown; }
    QStringList Texts() const {
        QStringList texts;
        for (const Box& box : m_shown) texts << box.text;
        return texts;
    }

    std::function<void()> onShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (!box || event->type() != QEvent::Show) return false;
        m_shown.append({box->windowTitle(), box->text()});
        if (onShow) onShow();
        QMessageBox::StandardButton answer = QMessageBox::NoButton;
        if (!m_answers.isEmpty() && box->button(m_answers.first())) answer = m_answers.takeFirst();
        else answer = (box->standardButtons() & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
        QMetaObject::invokeMethod(
            box, [box, answer] { box->button(answer)->click(); }, Qt::QueuedConnection);
        return false;
    }

private:
    QList<QMessageBox::StandardButton> m_answers;
    QList<Box> m_shown;
};

// A main window with its settings in a folder of its own, so nothing of the
// user's is read or written.
class WindowUnderTest {
public:
    WindowUnderTest()
        : m_window(std::make_unique<CConverterDlg>(SettingsStore(Folder(), Folder() + "user/"))) {}

    CConverterDlg& operator*() { return *m_window; }
    CConverterDlg* operator->() { return m_window.get(); }

    QTreeWidget* List() const { return m_window->findChild<QTreeWidget*>(QStringLiteral("control%1").arg(IDC_FILE_LIST)); }
    QLineEdit* FolderBox() const {
        return m_window->findChild<QLineEdit*>(QStringLiteral("control%1").arg(IDC_OUTPUT_FOLDER));
    }

    // Makes this the output folder, as Change would.
    void SetOutputFolder(const std::string& folder) {
        m_window->Settings().outputFolder = folder;
        FolderBox()->setText(QString::fromStdString(folder));
    }

    // The Add command with the dialog answered by these paths.
    void Add(const QStringList& paths) {
        m_window->SetFileChooser([paths](QWidget*) { return paths; });
        m_window->OnCommand(IDC_ADD);
    }

    // "number|path|duration" of every row.
    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < List()->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = List()->topLevelItem(row);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        return rows;
    }

    // The selected rows' positions.
    QList<int> Selection() const {
        QList<int> rows;
        for (QTreeWidgetItem* item : List()->selectedItems()) rows << List()->indexOfTopLevelItem(item);
        return rows;
    }

    void Select(int row) { List()->setCurrentItem(List()->topLevelItem(row)); }

private:
    std::string Folder() const { return m_folder.path().toStdString() + "/"; }

    QTemporaryDir m_folder;
    std::unique_ptr<CConverterDlg> m_window;
};

// Column 0's text for a 1-based position.
inline QString Number(int position) { return QStringLiteral("          %1").arg(position); }
