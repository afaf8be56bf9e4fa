#pragma once

#include <functional>
#include <initializer_list>
#include <map>

// Which handler each command id runs: the buttons, the menus and the
// shortcuts all deliver ids, and several ids may share one handler.
class CommandRouter {
public:
    using Handler = std::function<void()>;

    void Add(std::initializer_list<int> commandIds, const Handler& handler);
    // Runs the command's handler; an id without one does nothing.
    void Route(int commandId) const;

private:
    std::map<int, Handler> m_handlers;
};
