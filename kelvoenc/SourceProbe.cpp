#include "kelvoenc/SourceProbe.h"

#include "kelvoenc/InputMedia.h"
#include "kelvoenc/StopSignals.h"
#include "kelvoenc/StreamDecoder.h"
#include "protocol/ProbeReport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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
};

// A front-end that stops listening needs no further reports.
void SendAll(ReportChannel& channel, const ProbeValues& values) {
    if (!channel.Send(ReportDuration, values.seconds)) return;
    if (!channel.Send(ReportWidth, values.width)) return;
    if (!channel.Send(ReportHeight, values.height)) return;
    if (!channel.Send(ReportFrameRate, values.rate)) return;
    channel.Send(ReportSampleAspect, values.sampleAspect);
}

double RatioValue(AVRational ratio) { return ratio.num > 0 && ratio.den > 0 ? av_q2d(ratio) : 0; }

std::int32_t ClampToReport(double value) {
    if (!(value > 0)) return 0;
    if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

// The time the video's packets cover, widened packet by packet.
class PacketSpan {
public:
    void Add(const AVPacket& packet) {
        std::int64_t time = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
        if (time == AV_NOPTS_VALUE) return;
        m_first = std::min(m_first, time);
        m_end = std::max(m_end, time + packet.duration);
    }
    double Seconds(AVRational timeBase) const {
        return m_end < m_first ? -1 : static_cast<double>(m_end - m_first) * av_q2d(timeBase);
    }

private:
    std::int64_t m_first = std::numeric_limits<std::int64_t>::max();
    std::int64_t m_end = std::numeric_limits<std::int64_t>::min();
};

// Reads the source until its first picture is decoded and, when the
// container does not state its length, on to the end to measure it.
// Returns the length in seconds; throws when no picture decodes.
double DecodeFirstPictureAndMeasure(InputMedia& source) {
    StreamDecoder decoder(source.Path(), source.VideoStream(), 1);
    double seconds = source.StatedDurationSeconds();
    const int video = source.VideoStream()->index;
    bool pictured = false;
    auto seen = [&pictured](AVFrame*) { pictured = true; };
    PacketSpan span;
    PacketPtr packet = MakePacket();
    int result = 0;
    while ((!pictured || seconds < 0) && (result = av_read_frame(source.Format(), packet.get())) >= 0) {
        if (packet->stream_index == video) {
            span.Add(*packet);
            if (!pictured) decoder.Decode(packet.get(), seen);
        }
        av_packet_unref(packet.get());
    }
    if (source.ReadWasInterrupted())
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "Cannot read the source \"" + source.Path() + "\": " + source.ReadFailure(result));
    if (!pictured) decoder.Decode(nullptr, seen);
    if (!pictured)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "No picture of \"" + source.Path() + "\" could be decoded.");
    return seconds >= 0 ? seconds : span.Seconds(source.VideoStream()->time_base);
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
        values.seconds = ClampToReport(WholeSeconds(DecodeFirstPictureAndMeasure(source)));
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
