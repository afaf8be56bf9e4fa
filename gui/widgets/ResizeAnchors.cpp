#include "gui/widgets/ResizeAnchors.h"

#include "gui/res/DialogTemplate.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

ResizeAnchors::ResizeAnchors(QWidget& dialog) : QObject(&dialog), m_dialog(dialog) { dialog.installEventFilter(this); }

void ResizeAnchors::Add(QWidget* control, unsigned anchor) {
    if (anchor != AnchorNone) m_controls.append({control, anchor, QRect()});
}

bool ResizeAnchors::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_dialog && event->type() == QEvent::Resize) Follow();
    return false;
}

void ResizeAnchors::Follow() {
    if (!m_placesTaken) {
        for (Anchored& anchored : m_controls) anchored.smallestRect = anchored.control->geometry();
        m_placesTaken = true;
    }
    // Never less than the smallest size, even while a window manager ignores
    // the minimum for a moment.
    const QSize smallest = m_dialog.minimumSize();
    const int extraWidth = std::max(0, m_dialog.width() - smallest.width());
    const int extraHeight = std::max(0, m_dialog.height() - smallest.height());
    for (const Anchored& anchored : m_controls) {
        QRect rect = anchored.smallestRect;
        if (anchored.anchor & MoveRight) rect.translate(extraWidth, 0);
        if (anchored.anchor & MoveDown) rect.translate(0, extraHeight);
        if (anchored.anchor & GrowWidth) rect.setWidth(rect.width() + extraWidth);
        if (anchored.anchor & GrowHeight) rect.setHeight(rect.height() + extraHeight);
        anchored.control->setGeometry(rect);
    }
}
