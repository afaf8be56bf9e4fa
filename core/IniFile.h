#pragma once

#include <memory>
#include <optional>
#include <string>

// An INI file as the program's settings files are written by hand and by
// other tools: section and key names match case-insensitively, values come back trimmed, anything
// missing gives the default, and a write keeps every other section, key and
// comment. Saving is atomic: the old file stays intact until the new one is
// complete.
class IniFile {
public:
    explicit IniFile(std::string path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::string& Path() const { return m_path; }
    bool Exists() const { return m_loaded; }

    // The value as the file holds it, uncut; none when the key is missing.
    std::optional<std::string> Find(const char* section, const char* key) const;
    // The longest text ReadString gives, as the profile functions' 256-byte buffers.
    static constexpr std::size_t kTextLimit = 255;
    // At most kTextLimit characters.
    std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
    // The text converted as atoi does: leading blanks skipped, stops at the
    // first non-digit, no digits gives 0.
    int ReadInt(const char* section, const char* key, int fallback) const;

    void WriteString(const char* section, const char* key, const std::string& value);
    void WriteInt(const char* section, const char* key, int value);

    // Writes the whole file through a temporary file and a rename; false
    // (with the old file untouched) when that fails.
    bool Save() const;

private:
    struct Content;
    std::string m_path;
    std::unique_ptr<Content> m_content;
    bool m_loaded = false;
};

// atoi's reading of a profile value, clamped to the int range.
int ProfileTextToInt(const std::string& text);
