#include "core/IniFile.h"

#include <SimpleIni.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

bool WriteWholeFile(int fd, const std::string& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

}  // namespace

struct IniFile::Content {
    CSimpleIniA ini{false, false, false};
};

IniFile::IniFile(std::string path) : m_path(std::move(path)), m_content(std::make_unique<Content>()) {
    m_content->ini.SetSpaces(false);  // "key=value", as the profile functions write
    m_loaded = m_content->ini.LoadFile(m_path.c_str()) >= 0;
}

IniFile::~IniFile() = default;

std::optional<std::string> IniFile::Find(const char* section, const char* key) const {
    const char* value = m_content->ini.GetValue(section, key, nullptr);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::string IniFile::ReadString(const char* section, const char* key, const std::string& fallback) const {
    std::string text = Find(section, key).value_or(fallback);
    if (text.size() > kTextLimit) text.resize(kTextLimit);
    return text;
}

int IniFile::ReadInt(const char* section, const char* key, int fallback) const {
    return ProfileTextToInt(ReadString(section, key, std::to_string(fallback)));
}

void IniFile::WriteString(const char* section, const char* key, const std::string& value) {
    m_content->ini.SetValue(section, key, value.c_str());
}

void IniFile::WriteInt(const char* section, const char* key, int value) {
    WriteString(section, key, std::to_string(value));
}

bool IniFile::Save() const {
    std::string data;
    if (m_content->ini.Save(data) < 0) return false;
    std::string temporary = m_path + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool written = WriteWholeFile(fd, data);
    written = (::close(fd) == 0) && written;
    if (written) ::chmod(temporary.c_str(), 0644);
    if (!written || std::rename(temporary.c_str(), m_path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int ProfileTextToInt(const std::string& text) {
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    long long value = std::strtoll(p, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
