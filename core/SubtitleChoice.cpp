#include "core/SubtitleChoice.h"

#include "core/FormatCatalogue.h"
#include "text/FormatText.h"

#include <algorithm>

namespace {

constexpr std::size_t kMostSubpictureStreams = 32;

bool IsPicture(const SourceEntry& source, int number) {
    return number >= 1 && std::size_t(number) <= source.subtitleTracks.size() &&
           source.subtitleTracks[std::size_t(number) - 1].isPicture;
}

std::string Counted(std::size_t count, const char* why) {
    if (count == 0) return "";
    return FormatText("%zu subtitle%s left out: %s", count, count == 1 ? "" : "s", why);
}

std::vector<int> BySettings(const std::vector<SubtitleTrackReport>& tracks, int subtitles) {
    std::vector<int> numbers;
    for (int number = 1; number <= static_cast<int>(tracks.size()); ++number) {
        const SubtitleTrackReport& track = tracks[std::size_t(number) - 1];
        if (subtitles == ConversionSettings::kAllSubtitles ||
            (subtitles == ConversionSettings::kForcedAndDefaultSubtitles && (track.isForced || track.isDefault)))
            numbers.push_back(number);
    }
    return numbers;
}

}  // namespace

SubtitlePick SubtitleChoice::Chosen(const SourceEntry& source, const ConversionSettings& settings) {
    const FileOrder& order = source.order;
    SubtitlePick pick;
    pick.tracks = order.subtitleTracks ? *order.subtitleTracks : BySettings(source.subtitleTracks, settings.subtitles);
    if (order.shownSubtitle &&
        std::find(pick.tracks.begin(), pick.tracks.end(), *order.shownSubtitle) != pick.tracks.end())
        pick.shown = order.shownSubtitle;
    if (order.burnSubtitle && !pick.tracks.empty()) pick.burned = pick.shown ? *pick.shown : pick.tracks.front();
    return pick;
}

std::vector<std::string> SubtitleChoice::DiscLanguages(const SourceEntry& source, const ConversionSettings& settings) {
    std::vector<std::string> languages;
    if (settings.outputFormat != FormatDvd) return languages;
    const SubtitlePick pick = Chosen(source, settings);
    for (int number : pick.tracks)
        if (number != pick.burned && number >= 1 && std::size_t(number) <= source.subtitleTracks.size() &&
            languages.size() < kMostSubpictureStreams)
            languages.push_back(source.subtitleTracks[std::size_t(number) - 1].language);
    return languages;
}

std::string SubtitleChoice::LeftOut(const SourceEntry& source, const ConversionSettings& settings) {
    const SubtitlePick pick = Chosen(source, settings);
    const int format = settings.outputFormat;
    if (format == FormatDvd) {
        const std::size_t kept = pick.tracks.size() - (pick.burned ? 1 : 0);
        return Counted(kept > kMostSubpictureStreams ? kept - kMostSubpictureStreams : 0, "a DVD holds 32");
    }
    if (FormatCatalogue::Format(format).style == ArgumentStyle::Matroska) return {};
    if (FamilyOf(format) == FormatFamily::ConstantQuality) {
        std::size_t pictures = 0;
        for (int number : pick.tracks)
            if (number != pick.burned && IsPicture(source, number)) ++pictures;
        return Counted(pictures, format == FormatWebm ? "WebM holds picture subtitles only drawn into the picture"
                                                      : "MP4 holds picture subtitles only drawn into the picture");
    }
    // The other formats draw the shown one, else the first, into the picture.
    return Counted(pick.tracks.empty() ? 0 : pick.tracks.size() - 1,
                   "the format holds none, and draws one into the picture");
}
