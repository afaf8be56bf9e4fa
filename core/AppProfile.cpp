#include "core/AppProfile.h"

#include "core/IniFile.h"
#include "core/ProgramFolder.h"

#include <filesystem>
#include <system_error>

AppProfile::AppProfile(std::string path) : m_path(std::move(path)) {}

std::string AppProfile::DefaultPath() { return PathIn(GetUserSettingsFolder()); }

std::string AppProfile::PathIn(const std::string& userFolder) { return userFolder + "tarvine.ini"; }

int AppProfile::GetProfileInt(const char* section, const char* key, int fallback) const {
    return IniFile(m_path).ReadInt(section, key, fallback);
}

std::string AppProfile::GetProfileString(const char* section, const char* key, const std::string& fallback) const {
    return IniFile(m_path).ReadString(section, key, fallback);
}

bool AppProfile::WriteProfileInt(const char* section, const char* key, int value) const {
    return WriteProfileString(section, key, std::to_string(value));
}

bool AppProfile::WriteProfileString(const char* section, const char* key, const std::string& value) const {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
    IniFile file(m_path);
    file.WriteString(section, key, value);
    return file.Save();
}
