#include "kelvoenc/SourceProbe.h"

#include "kelvoenc/FirstPicture.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/StopSignals.h"
#include "kelvoenc/SubtitleSources.h"
#include "protocol/ProbeReport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// A probe waits at most this long for data; a source that gives none for
// that long (a file on a stalled network share) is refused rather than
// holding up the front-end, while slow media that keep delivering are read.
constexpr std::chrono::seconds kProbeStallLimit{30};

struct ProbeValues {
    std::int32_t seconds = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rate = 0;
    std::int32_t sampleAspect = 0;
    std::int32_t pictureKind = 0;
    std::vector<std::int32_t> chapterStarts;  // milliseconds
    std::vector<SoundTrackReport> soundTracks;
    std::vector<SubtitleTrackReport> subtitleTracks;
};

bool SendText(ReportChannel& channel, ReportCode code, const std::string& codec, const std::string& title) {
    for (std::int32_t piece : TextPieces(codec + "\t" + title))
        if (!channel.Send(code, piece)) return false;
    return true;
}

// A front-end that stops listening needs no further reports.
void SendAll(ReportChannel& channel, const ProbeValues& values) {
    if (!channel.Send(ReportDuration, values.seconds)) return;
    if (!channel.Send(ReportWidth, values.width)) return;
    if (!channel.Send(ReportHeight, values.height)) return;
    if (!channel.Send(ReportFrameRate, values.rate)) return;
    if (!channel.Send(ReportSampleAspect, values.sampleAspect)) return;
    if (!channel.Send(ReportPictureKind, values.pictureKind)) return;
    for (std::int32_t start : values.chapterStarts)
        if (!channel.Send(ReportChapter, start)) return;
    for (const SoundTrackReport& track : values.soundTracks) {
        if (!channel.Send(ReportSoundTrack, PackSoundTrack(track))) return;
        if (!SendText(channel, ReportSoundTrackText, track.codec, track.title)) return;
    }
    for (const SubtitleTrackReport& track : values.subtitleTracks) {
        if (!channel.Send(ReportSubtitleTrack, PackSubtitleTrack(track))) return;
        if (!SendText(channel, ReportSubtitleTrackText, track.codec, track.title)) return;
    }
}

double RatioValue(AVRational ratio) { return ratio.num > 0 && ratio.den > 0 ? av_q2d(ratio) : 0; }

std::int32_t ClampToReport(double value) {
    if (!(value > 0)) return 0;
    if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

// Where each chapter starts, in order, from where a conversion's time 0
// lies (the first picture or sound); a chapter before it starts there.
std::vector<std::int32_t> ChapterStarts(const InputMedia& source) {
    std::vector<std::int32_t> starts;
    const AVFormatContext* format = source.Format();
    const std::int64_t origin = source.StartMicroseconds();
    for (unsigned i = 0; i < format->nb_chapters && starts.size() < std::size_t(kMaxReportedChapters); ++i) {
        const AVChapter* chapter = format->chapters[i];
        const std::int64_t micro = av_rescale_q(chapter->start, chapter->time_base, AV_TIME_BASE_Q) - origin;
        const std::int32_t start = ClampToReport(std::max<double>(micro / 1000.0, 0));
        if (starts.empty() || start > starts.back()) starts.push_back(start);
    }
    return starts;
}

// Every sound track of the source, in its order: language, channels,
// whether players take it first, codec and title. "und" (undetermined) is
// no language.
std::vector<SoundTrackReport> SoundTracks(const InputMedia& source) {
    std::vector<SoundTrackReport> tracks;
    const AVFormatContext* format = source.Format();
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        SoundTrackReport track;
        if (const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0)) {
            for (const char* letter = language->value; *letter; ++letter)
                track.language += static_cast<char>(std::tolower(static_cast<unsigned char>(*letter)));
            if (track.language == "und") track.language.clear();
        }
        track.channels = stream->codecpar->ch_layout.nb_channels;
        track.isDefault = stream->disposition & AV_DISPOSITION_DEFAULT;
        track.codec = avcodec_get_name(stream->codecpar->codec_id);
        if (const AVDictionaryEntry* title = av_dict_get(stream->metadata, "title", nullptr, 0))
            track.title = title->value;
        tracks.push_back(track);
    }
    return tracks;
}

std::int32_t PictureKind(const PictureTraits& traits) {
    std::int32_t kind = traits.IsHdr() ? kPictureHdr : 0;
    if (traits.interlaced)
        kind |= traits.topFieldFirst ? kPictureInterlaced : kPictureInterlaced | kPictureBottomFieldFirst;
    return kind;
}

// Whole seconds, a clip under a second counting as one: a length of 0
// would have the front-end refuse it.
double WholeSeconds(double seconds) { return seconds > 0 && seconds < 1 ? 1 : std::floor(seconds); }

ExitStatus ProbeOne(const std::string& sourcePath, ReportChannel& channel) {
    ProbeValues values;
    try {
        InputMedia source(sourcePath, kProbeStallLimit);
        const SourcePicture picture = source.ShownPicture();
        values.width = picture.width;
        values.height = picture.height;
        values.rate = RatioReport(RatioValue(source.FrameRate()));
        values.sampleAspect = RatioReport(RatioValue(picture.sampleAspect));
        const FirstPicture first = FirstPicture::Read(source, true);
        values.seconds = ClampToReport(WholeSeconds(first.seconds));
        values.pictureKind = PictureKind(first.traits);
        source.ChooseSounds({}, 1);  // the sound a conversion takes moves its time 0
        values.chapterStarts = ChapterStarts(source);
        values.soundTracks = SoundTracks(source);
        for (const SubtitleSource& subtitle : SubtitleSources::Of(source)) values.subtitleTracks.push_back(subtitle.report);
    } catch (const EncoderFailure& failure) {
        Notice(failure.what());
        SendAll(channel, ProbeValues{});
        return StopSignals::Pending() ? ExitStatus::Stopped : failure.Status();
    }
    SendAll(channel, values);
    return StopSignals::Pending() ? ExitStatus::Stopped : ExitStatus::Done;
}

}  // namespace

ExitStatus SourceProbe::Run(const std::string& firstPath, ReportChannel& channel) {
    ExitStatus status = ProbeOne(firstPath, channel);
    while (status != ExitStatus::Stopped) {
        std::string next = channel.NextSource(static_cast<std::int32_t>(status));
        if (next.empty()) break;
        status = ProbeOne(next, channel);
    }
    return StopSignals::Pending() ? ExitStatus::Stopped : status;
}
