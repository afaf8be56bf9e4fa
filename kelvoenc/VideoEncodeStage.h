#pragma once

#include "kelvoenc/FrameEncoder.h"
#include "kelvoenc/PipelineItems.h"

// The pipeline's video encoding stage: filtered pictures in, packets for the
// muxer out.
class VideoEncodeStage {
public:
    VideoEncodeStage(FrameEncoder& encoder, int stream, FrameQueue& filtered, PacketQueue& packets)
        : m_encoder(encoder), m_stream(stream), m_filtered(filtered), m_packets(packets) {}

    // The stage's thread.
    void Run();

private:
    bool Encode(AVFrame* picture);

    FrameEncoder& m_encoder;
    int m_stream;
    FrameQueue& m_filtered;
    PacketQueue& m_packets;
};
