#include "kelvoenc/InputMedia.h"

#include "kelvoenc/EncoderFailure.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

bool IsValidRate(AVRational rate) { return rate.num > 0 && rate.den > 0; }

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

// Demuxers that turn text into moving pictures: a text file is not a video.
bool IsTextRenderer(const AVInputFormat* format) {
    return std::strcmp(format->name, "tty") == 0;
}

}  // namespace

InputMedia::InputMedia(const std::string& path) : m_path(path) {
    struct stat file {};
    if (stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode) && file.st_size == 0)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path + "\" is empty.");
    const std::string source = "Cannot read the source \"" + path + "\"";
    AVFormatContext* format = nullptr;
    CheckFfmpeg(avformat_open_input(&format, path.c_str(), nullptr, nullptr), ExitStatus::SourceUnreadable, source);
    m_format.reset(format);
    if (IsTextRenderer(m_format->iformat))
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "The source \"" + path + "\" is a text file, not a video.");
    CheckFfmpeg(avformat_find_stream_info(format, nullptr), ExitStatus::SourceUnreadable, source);
    m_video = FirstStream(format, AVMEDIA_TYPE_VIDEO);
    if (!m_video)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "The source \"" + path + "\" has no video stream.");
    m_audio = FirstStream(format, AVMEDIA_TYPE_AUDIO);
    if (m_audio && m_audio->codecpar->ch_layout.nb_channels <= 0) m_audio = nullptr;
}

AVRational InputMedia::FrameRate() const {
    if (IsValidRate(m_video->avg_frame_rate)) return m_video->avg_frame_rate;
    if (IsValidRate(m_video->r_frame_rate)) return m_video->r_frame_rate;
    return AVRational{0, 1};
}

double InputMedia::DurationSeconds() {
    if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0)
        return static_cast<double>(m_format->duration) / AV_TIME_BASE;
    if (m_video->duration != AV_NOPTS_VALUE && m_video->duration > 0)
        return static_cast<double>(m_video->duration) * av_q2d(m_video->time_base);
    return DurationFromPackets();
}

double InputMedia::DurationFromPackets() {
    PacketPtr packet = MakePacket();
    std::int64_t first = AV_NOPTS_VALUE;
    std::int64_t end = AV_NOPTS_VALUE;
    while (av_read_frame(m_format.get(), packet.get()) >= 0) {
        if (packet->stream_index == m_video->index) {
            std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (time != AV_NOPTS_VALUE) {
                first = first == AV_NOPTS_VALUE ? time : std::min(first, time);
                end = end == AV_NOPTS_VALUE ? time + packet->duration : std::max(end, time + packet->duration);
            }
        }
        av_packet_unref(packet.get());
    }
    if (first == AV_NOPTS_VALUE) return -1;
    return static_cast<double>(end - first) * av_q2d(m_video->time_base);
}

std::int64_t InputMedia::StartMicroseconds() const {
    std::int64_t start = AV_NOPTS_VALUE;
    for (AVStream* stream : {m_video, m_audio}) {
        if (!stream || stream->start_time == AV_NOPTS_VALUE) continue;
        std::int64_t streamStart = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        start = start == AV_NOPTS_VALUE ? streamStart : std::min(start, streamStart);
    }
    return start == AV_NOPTS_VALUE ? 0 : start;
}
