#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The program's message box, as the framework's own: the application's name
// as caption unless one is given. Returns the button that closed it.
QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text,
                                          QMessageBox::Icon icon = QMessageBox::NoIcon,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                          const QString& caption = QString());

// A question with Yes and No, No the default, so that a stray Enter does not
// say yes; returns whether Yes closed it.
bool AppMessageBoxAsking(QWidget* parent, const QString& text);
// The same question with a third answer, the Open button labelled
// `actionText`; returns the button that closed it.
QMessageBox::StandardButton AppMessageBoxAsking(QWidget* parent, const QString& text, const QString& actionText);

// The same box, opened without waiting for it (modal to its parent's
// window): `answered` gets the button that closed it, NoButton when it was
// closed otherwise. The box deletes itself once closed; `openText`, when
// given, labels an Open button among `buttons`; `details`, when given, go
// into a details section under a button of their own, so a long list of
// lines never makes the box taller than the screen, and shows as many lines
// as the screen has room for. A box with OK and no No or Cancel closes as OK
// does by Escape, its close box and Alt+F4, and Enter stays on OK.
using Answered = std::function<void(QMessageBox::StandardButton)>;
QMessageBox* OpenAppMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                               QMessageBox::StandardButtons buttons, const Answered& answered,
                               const QString& openText = QString(), const QString& details = QString());
