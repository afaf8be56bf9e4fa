#include "kelvoenc/ReadAhead.h"

namespace {

constexpr std::size_t kReadAheadBytes = 64 << 20;

}  // namespace

void ReadAhead::Keep(AVPacket* packet) {
    if (m_overflowed) {
        av_packet_unref(packet);
        return;
    }
    m_bytes += sizeof(AVPacket) + static_cast<std::size_t>(packet->size);
    if (m_bytes > kReadAheadBytes) {
        m_overflowed = true;
        m_packets.clear();
        av_packet_unref(packet);
        return;
    }
    PacketPtr kept = MakePacket();
    av_packet_move_ref(kept.get(), packet);
    m_packets.push_back(std::move(kept));
}

bool ReadAhead::Take(AVPacket* packet) {
    if (m_packets.empty()) return false;
    av_packet_move_ref(packet, m_packets.front().get());
    m_packets.pop_front();
    return true;
}
