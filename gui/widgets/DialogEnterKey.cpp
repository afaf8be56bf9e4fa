#include "gui/widgets/DialogEnterKey.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

bool IsPlainEnterKey(const QKeyEvent& key) {
    bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && !(key.modifiers() & ~Qt::KeypadModifier);
}

DialogEnterKey::DialogEnterKey(QDialog& dialog) : QObject(&dialog), m_dialog(dialog) {
    dialog.installEventFilter(this);
}

bool DialogEnterKey::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_dialog || event->type() != QEvent::KeyPress) return false;
    if (!IsPlainEnterKey(*static_cast<QKeyEvent*>(event))) return false;
    if (auto* button = qobject_cast<QPushButton*>(m_dialog.focusWidget()); button && button->isEnabled())
        button->click();
    else
        m_dialog.accept();
    return true;
}
