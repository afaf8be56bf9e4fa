#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's message box, as the framework's own: the application's name
// as caption unless one is given. Returns the button that closed it.
QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text,
                                          QMessageBox::Icon icon = QMessageBox::NoIcon,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                          const QString& caption = QString());
