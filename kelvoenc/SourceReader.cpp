#include "kelvoenc/SourceReader.h"

#include "kelvoenc/EncoderFailure.h"
#include "text/ProgressText.h"

#include <algorithm>

namespace {

// Timestamps this far out are damage; taking them for real would overflow.
constexpr std::int64_t kWildTimestamp = std::int64_t{1} << 60;

// A timestamp in microseconds, or none for one that is missing or wild.
std::int64_t Microseconds(std::int64_t pts, AVRational timeBase) {
    if (pts == AV_NOPTS_VALUE || pts > kWildTimestamp || pts < -kWildTimestamp) return AV_NOPTS_VALUE;
    std::int64_t time = av_rescale_q(pts, timeBase, AV_TIME_BASE_Q);
    return time > kWildTimestamp || time < -kWildTimestamp ? AV_NOPTS_VALUE : time;
}

// A source whose length is not stated may still hold pictures this long.
constexpr double kLongestHeldPictureSeconds = 3600;

double LongestGapSeconds(const InputMedia& source) {
    if (!source.TimestampsAreTrustworthy()) return StreamTimeline::kLongestGapSeconds;
    const double length = source.StatedDurationSeconds();
    return std::max(StreamTimeline::kLongestGapSeconds, length > 0 ? length : kLongestHeldPictureSeconds);
}

}  // namespace

SourceReader::SourceReader(Setup setup, FrameQueue& pictures, PacketQueue& packets)
    : m_setup(std::move(setup)),
      m_pictures(pictures),
      m_packets(packets),
      m_longestGapSeconds(LongestGapSeconds(m_setup.source)) {
    m_origin = m_setup.kept.OriginMicroseconds();
    m_joined.end = m_setup.timelineMicroseconds.value_or(m_setup.source.StartMicroseconds());
    const bool mayRestart = m_setup.source.TimestampsMayRestart();
    m_videoTimeline.emplace(kFrameTimeBase, m_joined, mayRestart, m_longestGapSeconds);
    m_sounds.reserve(m_setup.sounds.size());
    for (const SoundInput& sound : m_setup.sounds)
        m_sounds.push_back(
            {sound, StreamTimeline(kFrameTimeBase, m_joined, mayRestart, m_longestGapSeconds), !sound.decoder});
}

bool SourceReader::TimelineMended() const {
    return m_videoTimeline->Mended() || std::any_of(m_sounds.begin(), m_sounds.end(),
                                                    [](const SoundState& sound) { return sound.timeline.Mended(); });
}

bool SourceReader::PastEnd(std::int64_t pts) const {
    const std::optional<double> end = m_setup.kept.EndSeconds();
    return end && pts * av_q2d(kFrameTimeBase) >= *end;
}

bool SourceReader::Finished() const {
    return m_aborted ||
           (m_videoDone && std::all_of(m_sounds.begin(), m_sounds.end(), [](const SoundState& s) { return s.done; }));
}

void SourceReader::Run() {
    AVFormatContext* format = m_setup.source.Format();
    const int videoIndex = m_setup.source.VideoStream()->index;
    auto takePicture = [this](AVFrame* frame) { TakePicture(frame); };
    PacketPtr packet = MakePacket();
    while (!Finished()) {
        int result = m_setup.readAhead.Take(packet.get()) ? 0 : av_read_frame(format, packet.get());
        if (result == AVERROR_EOF) break;
        if (result < 0) ReadFailed(result);
        if (packet->stream_index == videoIndex && !m_videoDone) m_setup.videoDecoder.Decode(packet.get(), takePicture);
        for (SoundState& sound : m_sounds)
            if (!sound.done && packet->stream_index == sound.input.stream->index)
                sound.input.decoder->Decode(packet.get(), [&](AVFrame* frame) { TakeSound(sound, frame); });
        av_packet_unref(packet.get());
    }
    if (TimelineMended())
        Notice("the timestamps of \"" + m_setup.source.Path() +
               "\" restart or jump; the parts are joined up without the gaps.");
    if (!m_videoDone) m_setup.videoDecoder.Decode(nullptr, takePicture);
    for (SoundState& sound : m_sounds)
        if (!sound.done) sound.input.decoder->Decode(nullptr, [&](AVFrame* frame) { TakeSound(sound, frame); });
    if (m_aborted) return;
    m_pictures.Finish();
    if (FinishSounds()) m_packets.Finish();
}

bool SourceReader::FinishSounds() {
    for (SoundState& sound : m_sounds) {
        AudioTrack& track = *sound.input.track;
        if (!sound.input.decoder && !AddSilence(track)) return false;
        if (!track.Finish()) return false;
    }
    return true;
}

void SourceReader::TakePicture(AVFrame* frame) {
    if (m_aborted || m_videoDone) return;
    AVRational timeBase = m_setup.source.VideoStream()->time_base;
    frame->pkt_duration =
        m_setup.stillSeconds ? static_cast<std::int64_t>(*m_setup.stillSeconds * AV_TIME_BASE) : PictureDuration(frame);
    const std::int64_t sourceTime = Microseconds(frame->best_effort_timestamp, timeBase);
    Reached(sourceTime, frame->pkt_duration);
    frame->pts = m_videoTimeline->Place(sourceTime, frame->pkt_duration) - m_origin;
    // Where the picture stands in the source itself, with no break closed:
    // the time its subtitles count in. Filters carry it along.
    frame->best_effort_timestamp = sourceTime == AV_NOPTS_VALUE ? frame->pts : sourceTime - m_origin;
    m_readSeconds = std::max(0.0, static_cast<double>(frame->pts) * av_q2d(kFrameTimeBase));
    if (frame->pts < 0) return;
    if (PastEnd(frame->pts)) {
        m_videoDone = true;
        return;
    }
    FramePtr picture = MakeFrame();
    av_frame_move_ref(picture.get(), frame);
    m_aborted = !m_pictures.Push(std::move(picture));
    if (m_setup.stillSeconds) m_videoDone = true;
}

// A still's sound: silence for as long as its picture stays.
bool SourceReader::AddSilence(AudioTrack& track) {
    constexpr int kRate = 48000;
    FramePtr silence = MakeFrame();
    silence->format = AV_SAMPLE_FMT_S16;
    silence->sample_rate = kRate;
    av_channel_layout_default(&silence->ch_layout, 2);
    silence->nb_samples = static_cast<int>(*m_setup.stillSeconds * kRate);
    CheckFfmpeg(av_frame_get_buffer(silence.get(), 0), ExitStatus::OutOfMemory, "The still's sound");
    av_samples_set_silence(silence->data, 0, silence->nb_samples, silence->ch_layout.nb_channels, AV_SAMPLE_FMT_S16);
    silence->pts = 0;
    return track.Add(silence.get());
}

void SourceReader::TakeSound(SoundState& sound, AVFrame* frame) {
    if (m_aborted || sound.done) return;
    AVRational timeBase = sound.input.stream->time_base;
    std::int64_t duration =
        av_rescale_q(frame->nb_samples, AVRational{1, std::max(frame->sample_rate, 1)}, kFrameTimeBase);
    const std::int64_t sourceTime = Microseconds(frame->best_effort_timestamp, timeBase);
    Reached(sourceTime, duration);
    frame->pts = sound.timeline.Place(sourceTime, duration) - m_origin;
    // Sound running across the start is cut there by the track's filters.
    if (frame->pts + duration <= 0) return;
    if (PastEnd(frame->pts)) {
        sound.done = true;
        return;
    }
    m_aborted = !sound.input.track->Add(frame);
}

void SourceReader::Reached(std::int64_t sourceTime, std::int64_t duration) {
    if (sourceTime == AV_NOPTS_VALUE) return;
    m_reachedSeconds =
        std::max(m_reachedSeconds, static_cast<double>(sourceTime - m_origin + duration) * av_q2d(kFrameTimeBase));
}

// How long a picture stays: as the source says, unless it says nothing or
// something no video means; then one frame at the source's rate.
std::int64_t SourceReader::PictureDuration(const AVFrame* frame) const {
    std::int64_t stated = frame->pkt_duration > 0
                              ? Microseconds(frame->pkt_duration, m_setup.source.VideoStream()->time_base)
                              : AV_NOPTS_VALUE;
    if (stated > 0 && static_cast<double>(stated) * av_q2d(kFrameTimeBase) <= m_longestGapSeconds) return stated;
    return std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(m_setup.frameRate), kFrameTimeBase));
}

void SourceReader::ReadFailed(int error) const {
    const InputMedia& source = m_setup.source;
    if (source.ReadWasInterrupted())
        throw EncoderFailure(ExitStatus::Stopped, "Reading \"" + source.Path() + "\" " + source.ReadFailure(error));
    throw EncoderFailure(ExitStatus::SourceUnreadable,
                         "Reading \"" + source.Path() + "\" failed after " +
                             FormatClock(static_cast<std::int64_t>(m_readSeconds)) +
                             " of it, so it cannot be converted: " + source.ReadFailure(error));
}
