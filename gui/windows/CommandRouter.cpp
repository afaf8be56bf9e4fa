#include "gui/windows/CommandRouter.h"

void CommandRouter::Add(std::initializer_list<int> commandIds, const Handler& handler) {
    for (int id : commandIds) m_handlers[id] = handler;
}

void CommandRouter::Route(int commandId) const {
    auto found = m_handlers.find(commandId);
    if (found != m_handlers.end()) found->second();
}
