#pragma once

#include "kelvoenc/FrameEncoder.h"
#include "kelvoenc/PipelineItems.h"

// The pipeline's video encoding: filtered pictures in, packets for the muxer
// out. It runs on the filter stage's thread, so that a picture is encoded
// where it was made, without a hand-over between threads.
class VideoEncodeStage {
public:
    VideoEncodeStage(FrameEncoder& encoder, int stream, PacketQueue& packets)
        : m_encoder(encoder), m_stream(stream), m_packets(packets) {}

    // False once the muxer has stopped taking packets.
    bool Encode(AVFrame* picture);
    // The encoder's last packets, and the end of the video's.
    void Finish();

private:
    FrameEncoder& m_encoder;
    int m_stream;
    PacketQueue& m_packets;
};
