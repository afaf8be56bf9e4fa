#include "gui/widgets/AppMessageBox.h"

#include <QGuiApplication>

QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons, const QString& caption) {
    QMessageBox box(icon, caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption, text, buttons,
                    parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
