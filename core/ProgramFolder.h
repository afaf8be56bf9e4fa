#pragma once

#include <string>

// The path separator.
inline constexpr char kPathSeparator = '/';

// The folder of the running executable as the operating system reports it,
// with a trailing separator. The encoder, option.ini, version.ini, tips.txt
// and the help are found through it.
std::string GetProgramFolder();

// The per-user settings folder with a trailing separator:
// $XDG_CONFIG_HOME/Tarvine/, else ~/.config/Tarvine/.
std::string GetUserSettingsFolder();

// The user's home folder without a trailing separator.
std::string GetHomeFolder();
