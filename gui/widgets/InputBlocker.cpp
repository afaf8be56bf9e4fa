#include "gui/widgets/InputBlocker.h"

#include <QApplication>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return true;
    default: return false;
    }
}

// Files dragged onto the window are an event its owner takes in any state
// (they wait their turn); other drags are held back with the rest.
bool CarriesFiles(const QEvent& event) {
    switch (event.type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return static_cast<const QDropEvent&>(event).mimeData()->hasUrls();
    default: return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QWidget& window) : m_window(&window), m_focus(window.focusWidget()) {
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    qApp->removeEventFilter(this);
    if (!m_window || !m_window->isVisible()) return;
    QWidget* active = QApplication::activeWindow();
    if (!active || !active->isVisible()) m_window->activateWindow();
    if (m_focus) m_focus->setFocus();
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!m_window || !watched->isWidgetType() || !IsUserInput(event->type()) || CarriesFiles(*event)) return false;
    QWidget* widget = static_cast<QWidget*>(watched);
    return widget->window() == m_window;
}
