#include "core/SoundTrackChoice.h"

#include "core/FormatCatalogue.h"
#include "text/FormatText.h"

#include <algorithm>

namespace {

// The track players pick: the first the source marks, else the first.
int PlayedFirst(const std::vector<SoundTrackReport>& tracks) {
    const auto marked = std::find_if(tracks.begin(), tracks.end(), [](const auto& track) { return track.isDefault; });
    return marked == tracks.end() ? 1 : static_cast<int>(marked - tracks.begin()) + 1;
}

std::vector<int> Every(const std::vector<SoundTrackReport>& tracks) {
    const int first = PlayedFirst(tracks);
    std::vector<int> numbers{first};
    for (int number = 1; number <= static_cast<int>(tracks.size()); ++number)
        if (number != first) numbers.push_back(number);
    return numbers;
}

}  // namespace

std::vector<int> SoundTrackChoice::Chosen(const SourceEntry& source, const ConversionSettings& settings) {
    if (source.order.soundTracks) return *source.order.soundTracks;
    if (settings.audioTracks != ConversionSettings::kAllAudioTracks || source.soundTracks.size() < 2) return {};
    return Every(source.soundTracks);
}

std::vector<int> SoundTrackChoice::Kept(const SourceEntry& source, const ConversionSettings& settings) {
    const std::vector<SoundTrackReport>& tracks = source.soundTracks;
    if (tracks.empty()) return {};
    std::vector<int> kept;
    std::vector<int> numbers = Chosen(source, settings);
    if (numbers.empty()) numbers = {PlayedFirst(tracks)};
    for (int number : numbers)
        if (number >= 1 && std::size_t(number) <= tracks.size() &&
            kept.size() < std::size_t(SoundTracksHeld(settings.outputFormat)))
            kept.push_back(number);
    return kept;
}

std::vector<std::string> SoundTrackChoice::Languages(const SourceEntry& source, const ConversionSettings& settings) {
    std::vector<std::string> languages;
    for (int number : Kept(source, settings)) languages.push_back(source.soundTracks[std::size_t(number) - 1].language);
    return languages;
}

std::string SoundTrackChoice::LeftOut(const SourceEntry& source, const ConversionSettings& settings) {
    const int chosen = static_cast<int>(Chosen(source, settings).size());
    const int held = SoundTracksHeld(settings.outputFormat);
    if (chosen <= held) return "";
    const int left = chosen - held;
    return FormatText("%d sound track%s left out: the format holds %s", left, left == 1 ? "" : "s",
                      held == 1 ? "one" : std::to_string(held).c_str());
}
