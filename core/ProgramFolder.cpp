#include "core/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>

std::string GetProgramFolder() {
    std::string path(PATH_MAX, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return "";
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind(kPathSeparator) + 1);
}

std::string GetHomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "";
}

std::string GetUserSettingsFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base = (xdg && *xdg) ? std::string(xdg) : GetHomeFolder() + "/.config";
    return base + "/Tarvine/";
}
