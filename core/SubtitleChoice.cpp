#include "core/SubtitleChoice.h"

#include "core/FormatCatalogue.h"

#include <algorithm>

namespace {

constexpr std::size_t kMostSubpictureStreams = 32;

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
