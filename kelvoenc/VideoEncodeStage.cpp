#include "kelvoenc/VideoEncodeStage.h"

void VideoEncodeStage::Finish() {
    if (Encode(nullptr)) m_packets.Finish();
}

bool VideoEncodeStage::Encode(AVFrame* picture) {
    bool delivered = true;
    const AVCodecContext* context = m_encoder.Context();
    // In fixed-quantiser mode the MPEG-family encoders take the quantiser
    // from each picture, not from the context.
    if (picture && (context->flags & AV_CODEC_FLAG_QSCALE)) picture->quality = context->global_quality;
    AVRational timeBase = context->time_base;
    m_encoder.Encode(picture, [&](PacketPtr packet) {
        // x264 and x265 leave the duration out; without it an MP4's last
        // picture would last no time at all.
        if (packet->duration == 0) packet->duration = av_rescale_q(1, av_inv_q(context->framerate), timeBase);
        delivered = delivered && m_packets.Push(EncodedPacket{std::move(packet), m_stream, timeBase});
    });
    return delivered;
}
