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
