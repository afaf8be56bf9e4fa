#pragma once

#include <QString>

#include <functional>

// Tells the user something outside the program's windows, where the desktop
// shows such notices. A desktop without them shows nothing, and says nothing
// either: the notice is a courtesy, never the only word.
class DesktopNotifications {
public:
    virtual ~DesktopNotifications() = default;

    // `clicked` runs when the user clicks the notice.
    virtual void Notify(const QString& title, const QString& text, std::function<void()> clicked) = 0;
};
