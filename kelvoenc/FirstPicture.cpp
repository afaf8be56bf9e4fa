#include "kelvoenc/FirstPicture.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/StreamDecoder.h"
#include "text/FormatText.h"

extern "C" {
#include <libavutil/mastering_display_metadata.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

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

// The stream's side data, else the picture's.
const void* HdrSideData(const AVStream* stream, const AVFrame* picture, AVPacketSideDataType streamType,
                        AVFrameSideDataType pictureType) {
    if (const std::uint8_t* data = av_stream_get_side_data(stream, streamType, nullptr)) return data;
    const AVFrameSideData* side = av_frame_get_side_data(picture, pictureType);
    return side ? side->data : nullptr;
}

int Scaled(AVRational value, int scale) { return static_cast<int>(av_rescale(value.num, scale, value.den)); }

enum class HdrDialect { X265, SvtAv1 };

// An encoder's words for the mastering display and the light levels: x265's
// (chromaticities in 1/50000, luminance in 1/10000 cd/m²) or SVT-AV1's (the
// same as decimals).
std::string HdrMetadata(const AVStream* stream, const AVFrame* picture, HdrDialect dialect) {
    const bool x265 = dialect == HdrDialect::X265;
    std::string words;
    const auto* display = static_cast<const AVMasteringDisplayMetadata*>(
        HdrSideData(stream, picture, AV_PKT_DATA_MASTERING_DISPLAY_METADATA, AV_FRAME_DATA_MASTERING_DISPLAY_METADATA));
    if (display && display->has_primaries && display->has_luminance) {
        const auto pair = [x265](AVRational first, AVRational second, int scale) {
            return x265 ? FormatText("(%d,%d)", Scaled(first, scale), Scaled(second, scale))
                        : FormatText("(%.4f,%.4f)", av_q2d(first), av_q2d(second));
        };
        const auto point = [&pair](const AVRational xy[2]) { return pair(xy[0], xy[1], 50000); };
        words += std::string(x265 ? "master-display" : "mastering-display") + "=G" +
                 point(display->display_primaries[1]) + "B" + point(display->display_primaries[2]) + "R" +
                 point(display->display_primaries[0]) + "WP" + point(display->white_point) + "L" +
                 pair(display->max_luminance, display->min_luminance, 10000);
    }
    const auto* light = static_cast<const AVContentLightMetadata*>(
        HdrSideData(stream, picture, AV_PKT_DATA_CONTENT_LIGHT_LEVEL, AV_FRAME_DATA_CONTENT_LIGHT_LEVEL));
    if (light)
        words += FormatText("%s%s=%u,%u", words.empty() ? "" : ":", x265 ? "max-cll" : "content-light", light->MaxCLL,
                            light->MaxFALL);
    return words;
}

std::int64_t Microseconds(std::int64_t time, AVRational timeBase) {
    return time == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : av_rescale_q(time, timeBase, AV_TIME_BASE_Q);
}

// The earlier of `earliest` and the time of a picture's or sound's packet.
std::int64_t Earliest(std::int64_t earliest, const InputMedia& source, const AVPacket& packet) {
    const AVStream* stream = source.Format()->streams[packet.stream_index];
    const AVMediaType type = stream->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) return earliest;
    const std::int64_t time = Microseconds(packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts, stream->time_base);
    if (time == AV_NOPTS_VALUE) return earliest;
    return earliest == AV_NOPTS_VALUE ? time : std::min(earliest, time);
}

PictureTraits TraitsOf(const AVStream* stream, const AVFrame* picture) {
    PictureTraits traits;
    traits.interlaced = picture->interlaced_frame;
    traits.topFieldFirst = picture->top_field_first;
    traits.primaries = picture->color_primaries;
    traits.transfer = picture->color_trc;
    traits.matrix = picture->colorspace;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture->format));
    traits.deep = format && format->comp[0].depth > 8;
    if (traits.IsHdr()) {
        traits.hdrMetadata = HdrMetadata(stream, picture, HdrDialect::X265);
        traits.av1HdrMetadata = HdrMetadata(stream, picture, HdrDialect::SvtAv1);
    }
    return traits;
}

}  // namespace

FirstPicture FirstPicture::Read(InputMedia& source, bool measureLength, ReadAhead* readAhead) {
    StreamDecoder decoder(source.Path(), source.VideoStream(), 1);
    FirstPicture first;
    double seconds = measureLength ? source.StatedDurationSeconds() : 0;
    const int video = source.VideoStream()->index;
    bool pictured = false;
    auto seen = [&](AVFrame* picture) {
        if (!pictured) {
            first.traits = TraitsOf(source.VideoStream(), picture);
            first.pictureMicroseconds = Microseconds(picture->best_effort_timestamp, source.VideoStream()->time_base);
            first.keyPicture = picture->key_frame;
        }
        pictured = true;
    };
    PacketSpan span;
    PacketPtr packet = MakePacket();
    int result = 0;
    while ((!pictured || seconds < 0) && (result = av_read_frame(source.Format(), packet.get())) >= 0) {
        if (!pictured) first.earliestMicroseconds = Earliest(first.earliestMicroseconds, source, *packet);
        if (packet->stream_index == video) {
            span.Add(*packet);
            if (!pictured) decoder.Decode(packet.get(), seen);
        }
        if (readAhead)
            readAhead->Keep(packet.get());
        else
            av_packet_unref(packet.get());
    }
    if (source.ReadWasInterrupted())
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "Cannot read the source \"" + source.Path() + "\": " + source.ReadFailure(result));
    if (!pictured) decoder.Decode(nullptr, seen);
    if (!pictured)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "No picture of \"" + source.Path() + "\" could be decoded.");
    if (measureLength) first.seconds = seconds >= 0 ? seconds : span.Seconds(source.VideoStream()->time_base);
    return first;
}
