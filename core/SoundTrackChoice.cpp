#include "core/SoundTrackChoice.h"

#include "core/FormatCatalogue.h"
#include "text/LanguageCodes.h"
#include "text/FormatText.h"

#include <algorithm>
#include <charconv>

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

std::optional<int> Number(const std::string& word) {
    int number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return number;
}

void AddOnce(std::vector<int>& numbers, int number) {
    if (std::find(numbers.begin(), numbers.end(), number) == numbers.end()) numbers.push_back(number);
}

}  // namespace

std::vector<int> SoundTrackChoice::Chosen(const SourceEntry& source, const ConversionSettings& settings) {
    if (source.order.soundTracks) return *source.order.soundTracks;
    if (settings.audioTracks != ConversionSettings::kAllAudioTracks || source.soundTracks.size() < 2) return {};
    return Every(source.soundTracks);
}

std::vector<int> SoundTrackChoice::Matching(const std::vector<std::string>& words,
                                            const std::vector<SoundTrackReport>& tracks) {
    std::vector<int> numbers;
    const int count = static_cast<int>(tracks.size());
    for (const std::string& word : words) {
        if (const std::optional<int> number = Number(word)) {
            if (*number >= 1 && *number <= count) AddOnce(numbers, *number);
            continue;
        }
        const std::string language = LanguageCodes::Canonical(word);
        for (int number = 1; number <= count; ++number)
            if (!language.empty() && LanguageCodes::Canonical(tracks[std::size_t(number) - 1].language) == language)
                AddOnce(numbers, number);
    }
    return numbers;
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
