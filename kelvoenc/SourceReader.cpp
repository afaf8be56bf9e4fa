#include "kelvoenc/SourceReader.h"

#include "kelvoenc/EncoderFailure.h"

SourceReader::SourceReader(Setup setup, FrameQueue& pictures, PacketQueue& packets)
    : m_setup(std::move(setup)), m_pictures(pictures), m_packets(packets) {
    std::int64_t origin = m_setup.source.StartMicroseconds();
    m_videoOrigin = av_rescale_q(origin, AV_TIME_BASE_Q, m_setup.source.VideoStream()->time_base);
    if (AVStream* audio = m_setup.source.AudioStream())
        m_audioOrigin = av_rescale_q(origin, AV_TIME_BASE_Q, audio->time_base);
    m_audioDone = !m_setup.audio;
}

bool SourceReader::PastEnd(std::int64_t pts, AVRational timeBase) const {
    return m_setup.endSeconds && pts * av_q2d(timeBase) >= *m_setup.endSeconds;
}

bool SourceReader::Finished() const { return m_aborted || (m_videoDone && m_audioDone); }

void SourceReader::Run() {
    AVFormatContext* format = m_setup.source.Format();
    const int videoIndex = m_setup.source.VideoStream()->index;
    const int audioIndex = m_setup.audio ? m_setup.source.AudioStream()->index : -1;
    auto takePicture = [this](AVFrame* frame) { TakePicture(frame); };
    auto takeSound = [this](AVFrame* frame) { TakeSound(frame); };
    PacketPtr packet = MakePacket();
    while (!Finished()) {
        int result = av_read_frame(format, packet.get());
        if (result < 0) {
            if (result != AVERROR_EOF)
                Notice("reading \"" + m_setup.source.Path() + "\" stopped early (" + FfmpegErrorText(result) +
                       "); what was read is converted.");
            break;
        }
        if (packet->stream_index == videoIndex && !m_videoDone)
            m_setup.videoDecoder.Decode(packet.get(), takePicture);
        else if (packet->stream_index == audioIndex && !m_audioDone)
            m_setup.audioDecoder->Decode(packet.get(), takeSound);
        av_packet_unref(packet.get());
    }
    if (!m_videoDone) m_setup.videoDecoder.Decode(nullptr, takePicture);
    if (!m_audioDone) m_setup.audioDecoder->Decode(nullptr, takeSound);
    if (m_aborted) return;
    m_pictures.Finish();
    if (m_setup.audio && !m_setup.audio->Finish()) return;
    m_packets.Finish();
}

void SourceReader::TakePicture(AVFrame* frame) {
    if (m_aborted || m_videoDone) return;
    AVRational timeBase = m_setup.source.VideoStream()->time_base;
    std::int64_t pts = frame->best_effort_timestamp;
    frame->pts = pts == AV_NOPTS_VALUE ? m_nextVideoPts : pts - m_videoOrigin;
    if (frame->pkt_duration <= 0 && m_setup.frameRate.num > 0)
        frame->pkt_duration = std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(m_setup.frameRate), timeBase));
    m_nextVideoPts = frame->pts + std::max<std::int64_t>(frame->pkt_duration, 1);
    if (PastEnd(frame->pts, timeBase)) {
        m_videoDone = true;
        return;
    }
    FramePtr picture = MakeFrame();
    av_frame_move_ref(picture.get(), frame);
    m_aborted = !m_pictures.Push(std::move(picture));
}

void SourceReader::TakeSound(AVFrame* frame) {
    if (m_aborted || m_audioDone) return;
    std::int64_t pts = frame->best_effort_timestamp;
    frame->pts = pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : pts - m_audioOrigin;
    if (frame->pts != AV_NOPTS_VALUE && PastEnd(frame->pts, m_setup.source.AudioStream()->time_base)) {
        m_audioDone = true;
        return;
    }
    m_aborted = !m_setup.audio->Add(frame);
}
