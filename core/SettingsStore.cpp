#include "core/SettingsStore.h"

#include "core/IniFile.h"
#include "core/ProgramFolder.h"

#include <strings.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

using S = ConversionSettings;

constexpr const char* kSection = "Destinate";
constexpr const char* kFolderKey = "Temporary folder";
constexpr const char* kLetterboxKey = "Letterbox";
constexpr const char* kDiscMenuTitleKey = "Disc menu title";  // after every number
// An option.ini takes about a kilobyte.
constexpr std::uintmax_t kLargestSettingsFile = 64 * 1024;

// Every key after "Letterbox" and "Temporary folder", in file order.
constexpr SettingsIntField kIntFields[] = {
    {kLetterboxKey, &S::letterbox},
    {"Output format", &S::outputFormat},
    {"TV mode", &S::tvMode},
    {"MPEG aspect ratio", &S::mpegAspect},
    {"DVD aspect ratio", &S::dvdAspect},
    {"AVI quality", &S::aviQuality},
    {"MPEG1 quality", &S::mpeg1Quality},
    {"MPEG2 quality", &S::mpeg2Quality},
    {"SVCD quality", &S::svcdQuality},
    {"DVD quality", &S::dvdQuality},
    {"WMV quality", &S::wmvQuality},
    {"AVI video codec", &S::aviVideoCodec},
    {"ASF video codec", &S::asfVideoCodec},
    {"AVI audio codec", &S::aviAudioCodec},
    {"Divx audio codec", &S::divxAudioCodec},
    {"Xvid audio codec", &S::xvidAudioCodec},
    {"DVD audio codec", &S::dvdAudioCodec},
    {"WMV audio codec", &S::wmvAudioCodec},
    {"ASF audio codec", &S::asfAudioCodec},
    {"AVI resolution", &S::aviResolution},
    {"MPEG resolution", &S::mpegResolution},
    {"AVI frame rate", &S::aviFrameRate},
    {"MPEG frame rate", &S::mpegFrameRate},
    {"Volume", &S::volume},
    {"Disc image", &S::discImage},
    {"MP4 quality", &S::mp4Quality},
    {"MP4 resolution", &S::mp4Resolution},
    {"MP4 frame rate", &S::mp4FrameRate},
    {"Disc menu", &S::discMenu},
    {"Conversions at once", &S::conversionsAtOnce},
    {"Audio tracks", &S::audioTracks},
    {"Subtitles", &S::subtitles},
};

bool SaveTo(const std::string& path, const ConversionSettings& settings) {
    IniFile file(path);
    for (const auto& [key, value] : SettingsStore::Keyed(settings)) file.WriteString(kSection, key.c_str(), value);
    return file.Save();
}

// A folder the program may write its option.ini into: it exists and the
// user may create files there (the file is written beside and renamed).
bool FolderWritable(const std::string& folder) {
    std::string path = folder.empty() ? "." : folder;
    std::error_code error;
    return std::filesystem::is_directory(path, error) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

SettingsStore::SettingsStore(std::string programFolder, std::string userFolder)
    : m_programFolder(std::move(programFolder)), m_userFolder(std::move(userFolder)) {}

SettingsStore::SettingsStore() : SettingsStore(GetProgramFolder(), GetUserSettingsFolder()) {}

std::span<const SettingsIntField> SettingsStore::IntFields() { return kIntFields; }

std::vector<std::pair<std::string, std::string>> SettingsStore::Keyed(const ConversionSettings& settings) {
    std::vector<std::pair<std::string, std::string>> keyed;
    for (const SettingsIntField& field : kIntFields) {
        keyed.emplace_back(field.key, std::to_string(settings.*field.member));
        if (field.member == &S::letterbox) keyed.emplace_back(kFolderKey, settings.outputFolder);
    }
    keyed.emplace_back(kDiscMenuTitleKey, settings.discMenuTitle);
    return keyed;
}

bool SettingsStore::SetKeyed(ConversionSettings& settings, const std::string& key, const std::string& text) {
    const auto named = [&key](const char* name) { return ::strcasecmp(key.c_str(), name) == 0; };
    if (named(kFolderKey))
        settings.outputFolder = text;
    else if (named(kDiscMenuTitleKey))
        settings.discMenuTitle = text;
    else {
        const auto field = std::find_if(std::begin(kIntFields), std::end(kIntFields),
                                        [&named](const SettingsIntField& f) { return named(f.key); });
        if (field == std::end(kIntFields)) return false;
        settings.*field->member = ProfileTextToInt(text);
    }
    return true;
}

std::string SettingsStore::UserOptionFilePath() const { return m_userFolder + "option.ini"; }

std::string SettingsStore::OptionFilePath() const {
    return FolderWritable(m_programFolder) ? m_programFolder + "option.ini" : UserOptionFilePath();
}

std::string SettingsStore::LoadVersion() const {
    return IniFile(m_programFolder + "version.ini").ReadString("General", "Version", "1.00");
}

ConversionSettings SettingsStore::Load() const { return LoadFrom(OptionFilePath()); }

ConversionSettings SettingsStore::LoadFrom(const std::string& path) {
    IniFile file(path);
    ConversionSettings settings;
    for (const SettingsIntField& field : kIntFields)
        settings.*field.member = file.ReadInt(kSection, field.key, settings.*field.member);
    settings.outputFolder = file.ReadString(kSection, kFolderKey, settings.outputFolder);
    settings.discMenuTitle = file.ReadString(kSection, kDiscMenuTitleKey, settings.discMenuTitle);
    return settings;
}

std::string SettingsStore::ProblemWith(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return "cannot be read";
    if (std::filesystem::file_size(path, error) > kLargestSettingsFile) return "is far too large for a settings file";
    IniFile file(path);
    const std::optional<std::string> folder = file.Find(kSection, kFolderKey);
    const bool anySetting =
        folder || file.Find(kSection, kDiscMenuTitleKey) ||
        std::any_of(std::begin(kIntFields), std::end(kIntFields),
                    [&file](const SettingsIntField& field) { return file.Find(kSection, field.key).has_value(); });
    if (!file.Exists() || !anySetting) return "holds no Tarvine setting";
    // Read, it would be cut, and another folder created than the one it names.
    if (folder && folder->size() > IniFile::kTextLimit)
        return "names an output folder longer than " + std::to_string(IniFile::kTextLimit) + " characters";
    return "";
}

bool SettingsStore::Save(const ConversionSettings& settings) const {
    std::string path = OptionFilePath();
    if (path == UserOptionFilePath()) {
        std::error_code error;
        std::filesystem::create_directories(m_userFolder, error);
    }
    return SaveTo(path, settings);
}
