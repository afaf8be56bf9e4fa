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

// Decoded pictures are large; a few in flight keep every stage busy. More
// only grow the decoder's buffer pool, fresh memory the kernel must map and
// clear, for no gain in speed. The byte limits hold memory down on very
// large pictures (one or two 4K pictures per queue) and whatever size a
// damaged source claims. The muxer, the cheapest stage, is woken for a
// batch of packets rather than for each.
inline constexpr FrameQueue::Limits kPictureQueueLimits{3, 16 << 20, 2};
inline constexpr PacketQueue::Limits kPacketQueueLimits{64, 32 << 20, 16};

// What an item holds in memory, for the queues' byte limits.
inline std::size_t FrameBytes(const FramePtr& frame) {
    std::size_t bytes = sizeof(AVFrame);
    for (const AVBufferRef* buffer : frame->buf)
        if (buffer) bytes += buffer->size;
    return bytes;
}
inline std::size_t PacketBytes(const EncodedPacket& item) { return sizeof(AVPacket) + item.packet->size; }
