#include "gui/windows/BatchEndNotice.h"

#include "gui/widgets/DesktopNotifications.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <algorithm>

BatchEndNotice::BatchEndNotice(std::vector<QWidget*> windows, std::unique_ptr<DesktopNotifications> notifications,
                               QObject* parent)
    : QObject(parent), m_windows(std::move(windows)), m_notifications(std::move(notifications)) {}

BatchEndNotice::~BatchEndNotice() = default;

void BatchEndNotice::BatchEnded(const QString& summary) {
    if (OneOfOursIsActive()) return;
    QPointer<BatchEndNotice> self(this);
    m_notifications->Notify(QStringLiteral("Tarvine"), summary.section(u'\n', 0, 0), [self] {
        if (self) self->BringToFront();
    });
}

bool BatchEndNotice::OneOfOursIsActive() const {
    for (QWidget* active = QApplication::activeWindow(); active; active = active->parentWidget())
        if (std::find(m_windows.begin(), m_windows.end(), active) != m_windows.end()) return true;
    return false;
}

// The main window comes back from the taskbar; a message box open over the
// program (the summary) stays on top of it.
void BatchEndNotice::BringToFront() {
    QWidget& main = *m_windows.front();
    main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
    main.raise();
    main.activateWindow();
    if (QWidget* box = QApplication::activeModalWidget()) {
        box->raise();
        box->activateWindow();
    }
}
