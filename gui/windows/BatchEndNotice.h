#pragma once

#include <QObject>

#include <memory>
#include <vector>

class DesktopNotifications;
class QWidget;

// Tells the desktop that a batch has ended when the user has turned to
// another program meanwhile: none of the program's windows is the active
// one. A click on the notice brings the program back to the front.
class BatchEndNotice : public QObject {
    Q_OBJECT
public:
    // `windows`: the main window first, then the others that count as the
    // program's own (the progress window); their message boxes count too.
    BatchEndNotice(std::vector<QWidget*> windows, std::unique_ptr<DesktopNotifications> notifications,
                   QObject* parent = nullptr);
    ~BatchEndNotice() override;

    // The batch's summary; its first line becomes the notice.
    void BatchEnded(const QString& summary);

private:
    bool OneOfOursIsActive() const;
    void BringToFront();

    std::vector<QWidget*> m_windows;
    std::unique_ptr<DesktopNotifications> m_notifications;
};
