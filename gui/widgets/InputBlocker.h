#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While it lives, the user's input to a window and its children (keys,
// clicks, the wheel, shortcuts, context menus, drops other than of files)
// is held back, without
// disabling the controls: they keep their look and the window keeps its
// keyboard focus. When it goes, the window is made active again if no other
// window of the program has taken over, and the focus returns to the control
// that had it.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(QWidget& window);
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};
