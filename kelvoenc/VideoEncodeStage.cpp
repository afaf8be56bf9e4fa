#include "kelvoenc/VideoEncodeStage.h"

void VideoEncodeStage::Run() {
    while (std::optional<FramePtr> picture = m_filtered.Pop())
        if (!Encode(picture->get())) return;
    if (m_filtered.Aborted()) return;
    if (Encode(nullptr)) m_packets.Finish();
}

bool VideoEncodeStage::Encode(const AVFrame* picture) {
    bool delivered = true;
    AVRational timeBase = m_encoder.Context()->time_base;
    m_encoder.Encode(picture, [&](PacketPtr packet) {
        delivered = delivered && m_packets.Push(EncodedPacket{std::move(packet), m_stream, timeBase});
    });
    return delivered;
}
