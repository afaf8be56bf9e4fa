#pragma once

#include "kelvoenc/BoundedQueue.h"
#include "kelvoenc/FfmpegHandles.h"

// What travels between the stages of the conversion.

// An encoded packet on its way to the muxer.
struct EncodedPacket {
    PacketPtr packet;
    int stream = 0;
    AVRational timeBase{1, 1};  // of the packet's timestamps
};

using FrameQueue = BoundedQueue<FramePtr>;
using PacketQueue = BoundedQueue<EncodedPacket>;

// What an item holds in memory, for the queues' byte limits.
inline std::size_t FrameBytes(const FramePtr& frame) {
    std::size_t bytes = sizeof(AVFrame);
    for (const AVBufferRef* buffer : frame->buf)
        if (buffer) bytes += buffer->size;
    return bytes;
}
inline std::size_t PacketBytes(const EncodedPacket& item) { return sizeof(AVPacket) + item.packet->size; }
