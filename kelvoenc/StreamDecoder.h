#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <functional>
#include <string>

// The decoder of one source stream, with the library's own threading on.
// Damaged data is skipped so that what can be read still converts.
class StreamDecoder {
public:
    // `threads` 0 lets the library choose; a probe that decodes one picture
    // takes 1 and starts none.
    StreamDecoder(const std::string& sourcePath, const AVStream* stream, int threads = 0);

    AVCodecContext* Context() const { return m_context.get(); }
    const AVStream* Stream() const { return m_stream; }

    // Feeds one packet (null: the end of the stream) and hands every frame
    // that comes out to take.
    void Decode(const AVPacket* packet, const std::function<void(AVFrame*)>& take);

private:
    const AVStream* m_stream;
    CodecContextPtr m_context;
    FramePtr m_frame = MakeFrame();
};
