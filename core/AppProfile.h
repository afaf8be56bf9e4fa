#pragma once

#include <string>

// The per-application profile: an INI file in the per-user settings folder,
// named after the program (tarvine.ini). Each call reads or writes the file
// at once, as the profile functions do; a write creates the folder and the
// file when missing and replaces the file atomically.
class AppProfile {
public:
    explicit AppProfile(std::string path);

    // $XDG_CONFIG_HOME/Tarvine/tarvine.ini, else ~/.config/Tarvine/tarvine.ini.
    static std::string DefaultPath();
    // The profile in a per-user settings folder (ending with a separator).
    static std::string PathIn(const std::string& userFolder);

    const std::string& Path() const { return m_path; }

    int GetProfileInt(const char* section, const char* key, int fallback) const;
    std::string GetProfileString(const char* section, const char* key, const std::string& fallback) const;
    // False when the file could not be written; it is then left as it was.
    bool WriteProfileInt(const char* section, const char* key, int value) const;
    bool WriteProfileString(const char* section, const char* key, const std::string& value) const;

private:
    std::string m_path;
};
