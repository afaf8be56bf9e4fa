#pragma once

#include "kelvoenc/FrameEncoder.h"
#include "kelvoenc/PictureSink.h"
#include "kelvoenc/PipelineItems.h"

// The pipeline's video encoding: filtered pictures in, packets for the muxer
// out. It runs on the filter stage's thread, so that a picture is encoded
// where it was made, without a hand-over between threads.
class VideoEncodeStage : public PictureSink {
public:
    VideoEncodeStage(FrameEncoder& encoder, int stream, PacketQueue& packets)
        : m_encoder(encoder), m_stream(stream), m_packets(packets) {}

    // False once the muxer has stopped taking packets.
    bool Take(AVFrame* picture) override { return Encode(picture); }
    // The encoder's last packets, and the end of the video's.
    void Finish() override;

private:
    bool Encode(AVFrame* picture);

    FrameEncoder& m_encoder;
    int m_stream;
    PacketQueue& m_packets;
};
