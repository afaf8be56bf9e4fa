#include "kelvoenc/InputMedia.h"

#include "kelvoenc/AudioPlan.h"
#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/StopSignals.h"
#include "text/FormatText.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// Rates outside these bounds are a guess from timestamps, not a video's rate.
constexpr double kSlowestFrameRate = 0.2;
constexpr double kFastestFrameRate = 240;
constexpr AVRational kAssumedFrameRate{25, 1};

bool IsBelievableRate(AVRational rate) {
    return rate.num > 0 && rate.den > 0 && av_q2d(rate) >= kSlowestFrameRate && av_q2d(rate) <= kFastestFrameRate;
}

AVStream* FirstStream(AVFormatContext* format, AVMediaType type) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type != type) continue;
        // Cover art is a picture, not the video.
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
        return stream;
    }
    return nullptr;
}

// Sound that can be converted: a decoder for it, channels and a rate (a
// transport stream's track that carries no packets has neither), and
// channels that can be mixed.
bool IsPlayableSound(const AVStream* stream, const std::string& path) {
    const AVCodecParameters* sound = stream->codecpar;
    if (sound->codec_type != AVMEDIA_TYPE_AUDIO || !avcodec_find_decoder(sound->codec_id)) return false;
    if (sound->ch_layout.nb_channels <= 0 || sound->sample_rate <= 0) return false;
    AVChannelLayout layout = AudioPlan::KnownLayout(sound->ch_layout);
    const bool mixable = layout.order == AV_CHANNEL_ORDER_NATIVE;
    av_channel_layout_uninit(&layout);
    if (!mixable)
        Notice(
            FormatText("a sound track of \"%s\" has %d channels without a layout, which cannot be mixed; it is "
                       "left out.",
                       path.c_str(), sound->ch_layout.nb_channels));
    return mixable;
}

std::string TrackLabel(const AVStream* stream) {
    for (const char* key : {"title", "language"})
        if (const AVDictionaryEntry* entry = av_dict_get(stream->metadata, key, nullptr, 0))
            return std::string(" (\"") + entry->value + "\")";
    return "";
}

// The sound track players pick: the default one among those that can be
// converted, otherwise the first of them.
AVStream* ChosenSound(AVFormatContext* format, const std::string& path) {
    AVStream* chosen = nullptr;
    int tracks = 0, chosenNumber = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        ++tracks;
        if (!IsPlayableSound(stream, path)) continue;
        const bool isDefault = stream->disposition & AV_DISPOSITION_DEFAULT;
        if (!chosen || (isDefault && !(chosen->disposition & AV_DISPOSITION_DEFAULT))) {
            chosen = stream;
            chosenNumber = tracks;
        }
    }
    if (chosen && tracks > 1)
        Notice(FormatText("\"%s\" has %d sound tracks; the output gets track %d%s.", path.c_str(), tracks, chosenNumber,
                          TrackLabel(chosen).c_str()));
    return chosen;
}

// The source's sound tracks, numbered from 1 in its order.
std::vector<AVStream*> SoundTracks(AVFormatContext* format) {
    std::vector<AVStream*> tracks;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) tracks.push_back(format->streams[i]);
    return tracks;
}

// "2 ("Kommentar")": the track's number among the sound tracks, as a
// notice names it.
std::string TrackName(AVFormatContext* format, const AVStream* stream) {
    const std::vector<AVStream*> tracks = SoundTracks(format);
    const auto number = std::find(tracks.begin(), tracks.end(), stream) - tracks.begin() + 1;
    return std::to_string(number) + TrackLabel(stream);
}

// The numbered sound tracks that can be converted, in the order asked, each
// once; a number without a track is said.
std::vector<AVStream*> ListedSounds(AVFormatContext* format, const std::string& path, const std::vector<int>& numbers) {
    const std::vector<AVStream*> tracks = SoundTracks(format);
    std::vector<AVStream*> listed;
    for (int number : numbers) {
        if (number < 1 || std::size_t(number) > tracks.size()) {
            Notice(FormatText("\"%s\" has no sound track %d.", path.c_str(), number));
            continue;
        }
        AVStream* track = tracks[std::size_t(number) - 1];
        if (std::find(listed.begin(), listed.end(), track) == listed.end() && IsPlayableSound(track, path))
            listed.push_back(track);
    }
    return listed;
}

// Demuxers that turn text into moving pictures: a text file is not a video.
bool IsTextRenderer(const AVInputFormat* format) { return std::strcmp(format->name, "tty") == 0; }

// Demuxers that open further files or addresses named inside the source
// (playlists, concatenation lists, manifests, scripts, numbered image
// sequences): a source must never make us read anything but itself.
bool OpensOtherInputs(const AVInputFormat* format) {
    static constexpr const char* kNames[] = {"hls",  "applehttp", "concat",      "dash",   "imf",       "sdp",
                                             "rtsp", "avisynth",  "vapoursynth", "image2", "image2pipe"};
    if (format->flags & AVFMT_NOFILE) return true;
    for (const char* name : kNames)
        if (std::strcmp(format->name, name) == 0) return true;
    return false;
}

// Every demuxer that reads only the file it is given, as the library's
// format_whitelist wants it: names separated by commas.
const std::string& SelfContainedFormats() {
    static const std::string names = [] {
        std::string list;
        void* position = nullptr;
        while (const AVInputFormat* format = av_demuxer_iterate(&position)) {
            if (OpensOtherInputs(format)) continue;
            if (!list.empty()) list += ',';
            list += format->name;
        }
        return list;
    }();
    return names;
}

// The demuxer the library picks for the file by its content.
const AVInputFormat* FormatByContent(const std::string& url) {
    AVIOContext* io = nullptr;
    if (avio_open(&io, url.c_str(), AVIO_FLAG_READ) < 0) return nullptr;
    const AVInputFormat* format = nullptr;
    av_probe_input_buffer2(io, &format, url.c_str(), nullptr, 0, 0);
    avio_closep(&io);
    return format;
}

void RefuseAnythingButARegularFile(const std::string& path) {
    struct stat file {};
    if (stat(path.c_str(), &file) != 0) return;  // the open names the cause
    if (!S_ISREG(file.st_mode))
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "The source \"" + path + "\" is not a regular file (" +
                                 (S_ISDIR(file.st_mode) ? "a folder" : "a device, pipe or socket") + ").");
    if (file.st_size == 0) throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path + "\" is empty.");
}

}  // namespace

InputMedia::InputMedia(const std::string& path, std::optional<Clock::duration> stallLimit)
    : m_path(path), m_stallLimit(stallLimit) {
    RefuseAnythingButARegularFile(path);
    AVFormatContext* format = avformat_alloc_context();
    if (!format) throw std::bad_alloc();
    format->interrupt_callback = AVIOInterruptCB{&InputMedia::Interrupted, this};
    m_reading = format;
    OptionDictionary options;
    options.Set("protocol_whitelist", "file");
    options.Set("format_whitelist", SelfContainedFormats().c_str());
    // "file:" keeps a name with a colon from being taken for an address.
    const std::string url = "file:" + path;
    // The library frees the context when the open fails.
    int opened = avformat_open_input(&format, url.c_str(), nullptr, options.Address());
    if (opened < 0) {
        m_reading = nullptr;
        const AVInputFormat* kind = opened == AVERROR(EINVAL) ? FormatByContent(url) : nullptr;
        if (kind && OpensOtherInputs(kind))
            throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path +
                                                                   "\" is a list of other files (" + kind->long_name +
                                                                   "), not a video; it is not read.");
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "Cannot read the source \"" + path + "\": " + ReadFailure(opened));
    }
    m_format.reset(format);
    if (IsTextRenderer(m_format->iformat))
        throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path + "\" is a text file, not a video.");
    int found = avformat_find_stream_info(format, nullptr);
    if (found < 0)
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "Cannot read the source \"" + path + "\": " + ReadFailure(found));
    m_video = FirstStream(format, AVMEDIA_TYPE_VIDEO);
    if (!m_video)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path + "\" has no video stream.");
}

void InputMedia::ChooseSounds(const std::vector<int>& numbers, std::size_t most) {
    m_sounds = ListedSounds(m_format.get(), m_path, numbers);
    if (m_sounds.size() > most) {
        const std::size_t leftOut = m_sounds.size() - most;
        std::string names;
        for (std::size_t i = most; i < m_sounds.size(); ++i)
            names += (names.empty() ? "" : ", ") + TrackName(m_format.get(), m_sounds[i]);
        Notice(FormatText("sound track%s %s of \"%s\" %s left out: the output's format holds %zu sound track%s.",
                          leftOut == 1 ? "" : "s", names.c_str(), m_path.c_str(), leftOut == 1 ? "is" : "are", most,
                          most == 1 ? "" : "s"));
        m_sounds.resize(most);
    }
    if (m_sounds.empty())
        if (AVStream* chosen = ChosenSound(m_format.get(), m_path)) m_sounds.push_back(chosen);
}

int InputMedia::Interrupted(void* self) {
    return StopSignals::Pending() || static_cast<const InputMedia*>(self)->Stalled();
}

bool InputMedia::Stalled() const {
    if (!m_stallLimit) return false;
    const std::int64_t position = m_reading && m_reading->pb ? m_reading->pb->pos : -1;
    if (position != m_readPosition) {
        m_readPosition = position;
        m_lastProgress = Clock::now();
    }
    return Clock::now() - m_lastProgress >= *m_stallLimit;
}

bool InputMedia::ReadWasInterrupted() const { return StopSignals::Pending() || Stalled(); }

std::string InputMedia::ReadFailure(int error) const {
    if (StopSignals::Pending()) return "stopped by a signal.";
    if (Stalled()) return "the file has given no data for too long.";
    return FfmpegErrorText(error) + ".";
}

// The matrix maps a stored point (x, y), y counting down, to the shown
// (m[0]x + m[3]y, m[1]x + m[4]y): for each quarter turn and mirror the
// filters that do the same. A matrix of any other angle is not applied.
UprightTransform InputMedia::Upright() const {
    const auto* matrix =
        reinterpret_cast<const std::int32_t*>(av_stream_get_side_data(m_video, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix) return {};
    // Entries within a degree of 0 count as 0.
    constexpr std::int32_t kNearZero = 0x10000 / 64;
    const auto sign = [matrix](int at) { return matrix[at] > kNearZero ? 1 : matrix[at] < -kNearZero ? -1 : 0; };
    struct Row {
        int m0, m1, m3, m4;
        UprightTransform upright;
    };
    static constexpr Row kRows[] = {
        {-1, 0, 0, 1, {"hflip,", false}},
        {1, 0, 0, -1, {"vflip,", false}},
        {-1, 0, 0, -1, {"hflip,vflip,", false}},
        {0, 1, -1, 0, {"transpose=clock,", true}},
        {0, -1, 1, 0, {"transpose=cclock,", true}},
        {0, 1, 1, 0, {"transpose=cclock_flip,", true}},
        {0, -1, -1, 0, {"transpose=clock_flip,", true}},
    };
    for (const Row& row : kRows)
        if (sign(0) == row.m0 && sign(1) == row.m1 && sign(3) == row.m3 && sign(4) == row.m4) return row.upright;
    return {};
}

SourcePicture InputMedia::ShownPicture() const {
    const AVCodecParameters* stored = m_video->codecpar;
    SourcePicture picture{stored->width, stored->height, av_guess_sample_aspect_ratio(Format(), m_video, nullptr)};
    if (!Upright().swapsSides) return picture;
    std::swap(picture.width, picture.height);
    if (picture.sampleAspect.num > 0) picture.sampleAspect = av_inv_q(picture.sampleAspect);
    return picture;
}

AVRational InputMedia::FrameRate() const {
    const AVRational average = m_video->avg_frame_rate, base = m_video->r_frame_rate;
    const bool heldPictures = TimestampsAreTrustworthy() && IsBelievableRate(base) &&
                              (!IsBelievableRate(average) || av_q2d(base) > 1.5 * av_q2d(average));
    if (heldPictures) return base;
    for (AVRational rate : {average, base})
        if (IsBelievableRate(rate)) return rate;
    return kAssumedFrameRate;
}

double InputMedia::StatedDurationSeconds() const {
    if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0) {
        const double seconds = static_cast<double>(m_format->duration) / AV_TIME_BASE;
        // Outside MPEG streams, whose length the library measures from the
        // first timestamp, a stated length runs to the last timestamp: a
        // stream-copied recording whose timestamps start hours in states
        // those hours too.
        const double start = m_format->start_time != AV_NOPTS_VALUE ? double(m_format->start_time) / AV_TIME_BASE : 0;
        return !TimestampsMayRestart() && start > 0 && seconds > start ? seconds - start : seconds;
    }
    if (m_video->duration != AV_NOPTS_VALUE && m_video->duration > 0)
        return static_cast<double>(m_video->duration) * av_q2d(m_video->time_base);
    return -1;
}

bool InputMedia::DurationIsGuessed() const {
    return m_format->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
}

bool InputMedia::TimestampsMayRestart() const { return m_format->iformat->flags & AVFMT_TS_DISCONT; }

bool InputMedia::TimestampsAreTrustworthy() const {
    const std::string_view name = m_format->iformat->name;
    return name.starts_with("mov,") || name.starts_with("matroska");
}

std::int64_t InputMedia::StartMicroseconds() const {
    std::int64_t start = AV_NOPTS_VALUE;
    std::vector<AVStream*> converted = m_sounds;
    converted.push_back(m_video);
    for (AVStream* stream : converted) {
        if (!stream || stream->start_time == AV_NOPTS_VALUE) continue;
        std::int64_t streamStart = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        start = start == AV_NOPTS_VALUE ? streamStart : std::min(start, streamStart);
    }
    return start == AV_NOPTS_VALUE ? 0 : start;
}
