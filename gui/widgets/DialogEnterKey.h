#pragma once

#include <QObject>

class QDialog;
class QKeyEvent;

// Return or the keypad's Enter, without Shift, Ctrl or Alt.
bool IsPlainEnterKey(const QKeyEvent& key);

// The dialog manager's Enter key: a focused push button is clicked;
// anywhere else Enter ends the dialog as its OK command, also when the
// dialog has no default button.
class DialogEnterKey : public QObject {
    Q_OBJECT
public:
    explicit DialogEnterKey(QDialog& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog& m_dialog;
};
