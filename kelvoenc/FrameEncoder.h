#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <functional>
#include <string>

// One opened encoder: frames in, packets out.
class FrameEncoder {
public:
    FrameEncoder(CodecContextPtr context, std::string outputPath);

    AVCodecContext* Context() const { return m_context.get(); }

    // Encodes one frame (null: drain the encoder at the end) and hands every
    // packet that comes out to deliver.
    void Encode(const AVFrame* frame, const std::function<void(PacketPtr)>& deliver);

private:
    void Check(int result) const;

    CodecContextPtr m_context;
    std::string m_outputPath;
};
