#include "gui/windows/PlacementKeeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

constexpr const char* kLeftKey = "Left";
constexpr const char* kTopKey = "Top";
constexpr int kUnset = -1000000;

// The top left corner that keeps a frame of this size on a screen: the one
// it is mostly on, else the primary one.
QPoint OnScreen(QPoint topLeft, QSize frame) {
    const QScreen* screen = QGuiApplication::screenAt(QRect(topLeft, frame).center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return topLeft;
    const QRect area = screen->availableGeometry();
    const int left = std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int top = std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    return {left, top};
}

}  // namespace

PlacementKeeper::PlacementKeeper(QWidget& window, AppProfile profile, std::string section)
    : QObject(&window), m_window(window), m_profile(std::move(profile)), m_section(std::move(section)) {
    window.installEventFilter(this);
}

bool PlacementKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && !event->spontaneous()) {
        if (event->type() == QEvent::Show) Restore();
        if (event->type() == QEvent::Hide) SaveIfMoved();
    }
    return false;
}

// The place is the inside's, without the window manager's frame: before the
// first showing the frame is not known, and a frame's place would be taken
// for the inside's.
void PlacementKeeper::Restore() {
    if (std::optional<QPoint> saved = SavedPosition()) {
        const QPoint frameOffset = m_window.geometry().topLeft() - m_window.frameGeometry().topLeft();
        const QPoint frame = OnScreen(*saved - frameOffset, m_window.frameGeometry().size());
        m_window.setGeometry(QRect(frame + frameOffset, m_window.size()));
    }
    m_shownAt = m_window.geometry().topLeft();
}

void PlacementKeeper::SaveIfMoved() {
    const QPoint position = m_window.geometry().topLeft();
    if (position == m_shownAt) return;
    m_profile.WriteProfileInt(m_section.c_str(), kLeftKey, position.x());
    m_profile.WriteProfileInt(m_section.c_str(), kTopKey, position.y());
}

std::optional<QPoint> PlacementKeeper::SavedPosition() const {
    const int left = m_profile.GetProfileInt(m_section.c_str(), kLeftKey, kUnset);
    const int top = m_profile.GetProfileInt(m_section.c_str(), kTopKey, kUnset);
    if (left == kUnset || top == kUnset) return std::nullopt;
    return QPoint(left, top);
}
