#include "core/SubtitleChoice.h"

#include <algorithm>

namespace {

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
