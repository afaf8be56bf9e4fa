#pragma once

// A window that takes command ids, as menus and buttons deliver them.
class CommandTarget {
public:
    virtual void OnCommand(int commandId) = 0;

protected:
    ~CommandTarget() = default;
};
