#include "kelvoenc/SubtitleSources.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/InputMedia.h"
#include "text/LanguageCodes.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>

namespace {

constexpr const char* kSubtitleExtensions[] = {".srt", ".ass", ".ssa", ".vtt"};
// The demuxers a file beside the source may be read with, whatever its
// name claims: a subtitle file must never open anything else.
constexpr const char* kSubtitleFormats = "srt,ass,webvtt";
// Subtitle files are small; one larger than this is not one.
constexpr std::streamsize kLargestSubtitleFile = 16 << 20;

bool IsPictureCodec(AVCodecID codec) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
    return descriptor && (descriptor->props & AV_CODEC_PROP_BITMAP_SUB);
}

std::string LowerCase(std::string text) {
    for (char& letter : text) letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return text;
}

// ISO 639-2 in lower case, none for "und" or what is not a language code.
std::string LanguageOf(const std::string& code) {
    const std::string canonical = LanguageCodes::Canonical(code);
    const bool letters = canonical.size() == 3 && std::all_of(canonical.begin(), canonical.end(), [](char letter) {
                             return letter >= 'a' && letter <= 'z';
                         });
    return letters && canonical != "und" ? canonical : "";
}

std::string MetadataText(const AVDictionary* metadata, const char* key) {
    const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
    return entry ? entry->value : "";
}

SubtitleSource StreamSource(const AVFormatContext* format, const AVStream* stream, const std::string& path) {
    SubtitleSource source;
    source.path = path;
    source.formatName = format->iformat->name;
    source.streamIndex = stream->index;
    SubtitleTrackReport& report = source.report;
    report.language = LanguageOf(LowerCase(MetadataText(stream->metadata, "language")));
    report.title = MetadataText(stream->metadata, "title");
    report.codec = avcodec_get_name(stream->codecpar->codec_id);
    report.isDefault = stream->disposition & AV_DISPOSITION_DEFAULT;
    report.isForced = stream->disposition & AV_DISPOSITION_FORCED;
    report.isPicture = IsPictureCodec(stream->codecpar->codec_id);
    return source;
}

bool IsUtf8(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || at + length > bytes.size()) return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(bytes[at + i]) & 0xc0) != 0x80) return false;
        at += length;
    }
    return true;
}

// Text files written before UTF-8 are nearly always in the Western
// Windows code page, which Latin-1 is a part of.
std::string CharacterSetOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(kLargestSubtitleFile), '\0');
    file.read(bytes.data(), kLargestSubtitleFile);
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return IsUtf8(bytes) ? "" : "CP1252";
}

bool IsRegularFile(const std::string& path) {
    struct stat file {};
    return stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode) && file.st_size > 0 &&
           file.st_size <= kLargestSubtitleFile;
}

// A file beside the source, as its first stream says; none when it is not
// a subtitle file that can be read.
std::vector<SubtitleSource> FileSource(const std::string& path, const std::string& languageInName) {
    if (!IsRegularFile(path)) return {};
    AVFormatContext* opened = nullptr;
    OptionDictionary options;
    options.Set("protocol_whitelist", "file");
    options.Set("format_whitelist", kSubtitleFormats);
    if (avformat_open_input(&opened, ("file:" + path).c_str(), nullptr, options.Address()) < 0) {
        Notice("the subtitle file \"" + path + "\" cannot be read; it is left out.");
        return {};
    }
    InputFormatPtr format(opened);
    if (format->nb_streams < 1 || format->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) return {};
    SubtitleSource source = StreamSource(format.get(), format->streams[0], path);
    source.besideTheSource = true;
    source.report.language = LanguageOf(languageInName);
    source.report.title = path.substr(path.find_last_of('/') + 1);
    source.report.isDefault = languageInName.empty();
    source.characterSet = CharacterSetOf(path);
    return {source};
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && LowerCase(text.substr(text.size() - end.size())) == end;
}

// The language between the source's stem and the extension: "de" in
// film.de.srt; empty for film.srt. Not a subtitle file of this source: none.
std::optional<std::string> NameLanguage(const std::string& name, const std::string& stem) {
    if (name.compare(0, stem.size(), stem) != 0) return std::nullopt;
    for (const char* extension : kSubtitleExtensions) {
        if (!EndsWith(name, extension)) continue;
        std::string middle = name.substr(stem.size(), name.size() - stem.size() - std::string(extension).size());
        if (middle.empty()) return "";
        if (middle.front() != '.') return std::nullopt;
        return LowerCase(middle.substr(1));
    }
    return std::nullopt;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* directory = opendir(folder.c_str());
    if (!directory) return names;
    while (const dirent* entry = readdir(directory)) names.emplace_back(entry->d_name);
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<SubtitleSource> FilesBeside(const std::string& sourcePath) {
    const std::size_t slash = sourcePath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : sourcePath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::vector<SubtitleSource> files;
    for (const std::string& candidate : FolderNames(folder)) {
        const std::optional<std::string> language = NameLanguage(candidate, stem);
        if (!language || candidate == name) continue;
        for (SubtitleSource& file : FileSource((slash == std::string::npos ? "" : folder) + candidate, *language))
            files.push_back(std::move(file));
    }
    return files;
}

}  // namespace

std::vector<SubtitleSource> SubtitleSources::Of(const InputMedia& source) {
    std::vector<SubtitleSource> tracks;
    const AVFormatContext* format = source.Format();
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
        tracks.push_back(StreamSource(format, format->streams[i], source.Path()));
        tracks.back().subtitleIndex = static_cast<int>(tracks.size()) - 1;
    }
    for (SubtitleSource& file : FilesBeside(source.Path())) tracks.push_back(std::move(file));
    return tracks;
}

InputFormatPtr SubtitleSources::Open(const SubtitleSource& source) {
    const std::string what = "Cannot read the subtitles of \"" + source.path + "\"";
    AVFormatContext* opened = nullptr;
    OptionDictionary options;
    options.Set("protocol_whitelist", "file");
    options.Set("format_whitelist", source.formatName.c_str());
    CheckFfmpeg(avformat_open_input(&opened, ("file:" + source.path).c_str(), nullptr, options.Address()),
                ExitStatus::SourceUnreadable, what);
    InputFormatPtr format(opened);
    // Program streams name their streams only as they are read.
    CheckFfmpeg(avformat_find_stream_info(format.get(), nullptr), ExitStatus::SourceUnreadable, what);
    if (source.streamIndex < 0 || unsigned(source.streamIndex) >= format->nb_streams)
        CheckFfmpeg(AVERROR_STREAM_NOT_FOUND, ExitStatus::SourceUnreadable, what);
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != source.streamIndex) format->streams[i]->discard = AVDISCARD_ALL;
    return format;
}
