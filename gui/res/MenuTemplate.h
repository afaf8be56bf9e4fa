#pragma once

#include <string>
#include <vector>

// A popup menu as data. An item with command id 0 is a separator.
struct MenuItemTemplate {
    int commandId;
    std::string text;
};

struct MenuTemplate {
    int id;
    std::string title;
    std::vector<MenuItemTemplate> items;
};

const MenuTemplate& HelpMenuTemplate();  // 136
const MenuTemplate& EditMenuTemplate();  // 144

// The string table.
inline constexpr const char* kAboutMenuString = "&About Tarvine...";                                           // 101
inline constexpr const char* kTipsFileMissingString = "Tips file does not exist in the prescribed directory";  // 102
inline constexpr const char* kTipsFileTroubleString = "Trouble reading the tips file";                         // 103
inline constexpr const char* kDidYouKnowString = "Did you know...";                                            // 104
