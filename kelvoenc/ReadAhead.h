#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <cstddef>
#include <deque>

// The packets read from the source before the pipeline starts (while its
// first picture is looked for), handed to the pipeline first so that the
// source is opened and read only once. They are kept up to a byte limit: a
// source whose first picture comes later than that (a long stretch of
// sound or damage first) must be opened again and read from its start.
class ReadAhead {
public:
    // Takes over the packet's data, leaving the packet empty.
    void Keep(AVPacket* packet);
    // Moves the oldest kept packet into `packet`; false when none is left.
    bool Take(AVPacket* packet);
    // Whether every packet given to Keep is still here to take.
    bool Whole() const { return !m_overflowed; }

private:
    std::deque<PacketPtr> m_packets;
    std::size_t m_bytes = 0;
    bool m_overflowed = false;
};
