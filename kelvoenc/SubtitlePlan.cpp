#include "kelvoenc/SubtitlePlan.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/InputMedia.h"
#include "text/FormatText.h"

#include <algorithm>

namespace {

bool HoldsSubtitleTracks(ContainerChoice container) {
    return container == ContainerChoice::Mp4 || container == ContainerChoice::Dvd ||
           container == ContainerChoice::Matroska || container == ContainerChoice::WebM;
}

// A DVD's subpictures are pictures anyway, and Matroska holds every kind;
// an MP4's and a browser's players show text.
bool HoldsPictureSubtitles(ContainerChoice container) {
    return container == ContainerChoice::Dvd || container == ContainerChoice::Matroska;
}

// As many as a DVD title holds.
constexpr std::size_t kMostSubtitleTracks = 32;

// "2 ("film.de.srt")": the track's number and title, as a notice names it.
std::string TrackName(const std::vector<SubtitleSource>& sources, int number) {
    const std::string& title = sources[std::size_t(number) - 1].report.title;
    return std::to_string(number) + (title.empty() ? "" : " (\"" + title + "\")");
}

// The numbers that name a track, each once, in the order given.
std::vector<int> ExistingNumbers(std::vector<int> numbers, std::optional<int> extra, std::size_t tracks,
                                 const std::string& sourcePath) {
    if (extra) numbers.push_back(*extra);
    std::vector<int> existing;
    for (int number : numbers) {
        if (number < 1 || std::size_t(number) > tracks) {
            Notice(FormatText("\"%s\" has no subtitle track %d.", sourcePath.c_str(), number));
            continue;
        }
        if (std::find(existing.begin(), existing.end(), number) == existing.end()) existing.push_back(number);
    }
    return existing;
}

void SayLeftOut(const std::vector<SubtitleSource>& sources, const std::vector<int>& numbers,
                const std::string& sourcePath, const char* why) {
    if (numbers.empty()) return;
    std::string names;
    for (int number : numbers) names += (names.empty() ? "" : ", ") + TrackName(sources, number);
    Notice(FormatText("subtitle track%s %s of \"%s\" %s left out: %s", numbers.size() == 1 ? "" : "s", names.c_str(),
                      sourcePath.c_str(), numbers.size() == 1 ? "is" : "are", why));
}

}  // namespace

SubtitlePlan SubtitlePlan::ForSource(const EncoderOptions& options, ContainerChoice container,
                                     const InputMedia& source) {
    if (options.subtitleTracks.empty() && !options.burnedSubtitle) return {};
    return For(options, container, SubtitleSources::Of(source), source.Path());
}

SubtitlePlan SubtitlePlan::For(const EncoderOptions& options, ContainerChoice container,
                               const std::vector<SubtitleSource>& sources, const std::string& sourcePath) {
    const bool holdsTracks = HoldsSubtitleTracks(container);
    std::vector<int> chosen = ExistingNumbers(options.subtitleTracks, std::nullopt, sources.size(), sourcePath);
    std::optional<int> shown = options.shownSubtitle;
    if (shown && (*shown < 1 || std::size_t(*shown) > sources.size())) shown.reset();
    std::optional<int> burned = options.burnedSubtitle;
    if (!burned && !holdsTracks && !chosen.empty()) burned = shown ? *shown : chosen.front();

    SubtitlePlan plan;
    std::vector<int> pictures, noRoom, beyond;
    if (burned && ExistingNumbers({}, burned, sources.size(), sourcePath).size() == 1)
        plan.burned = sources[std::size_t(*burned) - 1];
    const int burnedNumber = burned.value_or(0);  // tracks count from 1
    for (int number : chosen) {
        if (number == burnedNumber) continue;
        const SubtitleSource& source = sources[std::size_t(number) - 1];
        if (!holdsTracks)
            noRoom.push_back(number);
        else if (source.report.isPicture && !HoldsPictureSubtitles(container))
            pictures.push_back(number);
        else if (plan.kept.size() == kMostSubtitleTracks)
            beyond.push_back(number);
        else {
            plan.kept.push_back(source);
            if (shown) plan.kept.back().report.isDefault = number == *shown;
        }
    }
    SayLeftOut(sources, noRoom, sourcePath, "the output's format holds no subtitle tracks, and one is drawn into the picture.");
    SayLeftOut(sources, pictures, sourcePath,
               container == ContainerChoice::WebM
                   ? "a WebM file holds text subtitles, and pictures only when they are drawn into the picture."
                   : "an MP4 holds text subtitles, and pictures only when they are drawn into the picture.");
    SayLeftOut(sources, beyond, sourcePath, "a DVD holds 32 subtitle tracks.");
    return plan;
}
