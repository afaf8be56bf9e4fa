#include "kelvoenc/StreamTimeline.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>

namespace {

// FFmpeg's own tools take a step back of more than a tenth of a second in a
// format with restarting timestamps as a restart.
constexpr AVRational kRestartStep{1, 10};

std::int64_t Ticks(double seconds, AVRational timeBase) {
    return std::max<std::int64_t>(
        1, av_rescale_q(static_cast<std::int64_t>(seconds * 1000), AVRational{1, 1000}, timeBase));
}

}  // namespace

StreamTimeline::StreamTimeline(AVRational timeBase, JoinedTimelines& joined, bool mayRestart, double longestGapSeconds)
    : m_joined(joined),
      m_next(joined.end),
      m_longestGap(Ticks(longestGapSeconds, timeBase)),
      m_longestStepBack(mayRestart ? av_rescale_q(1, kRestartStep, timeBase) : Ticks(kLongestGapSeconds, timeBase)) {}

bool StreamTimeline::IsBreak(std::int64_t placed) const {
    const std::int64_t delta = placed - m_next;
    return delta > m_longestGap || delta < -m_longestStepBack;
}

// The offset another stream took at this break, when it fits this stream
// too; otherwise one that makes the frame follow on from all streams.
void StreamTimeline::Rejoin(std::int64_t pts) {
    if (m_joined.offset != m_offset && !IsBreak(pts + m_joined.offset)) {
        m_offset = m_joined.offset;
    } else {
        m_offset = m_joined.end - pts;
        m_joined.offset = m_offset;
    }
    m_mended = true;
}

std::int64_t StreamTimeline::Place(std::int64_t pts, std::int64_t duration) {
    std::int64_t placed = m_next;
    if (pts != AV_NOPTS_VALUE) {
        if (IsBreak(pts + m_offset)) Rejoin(pts);
        placed = pts + m_offset;
        if (placed == m_last) ++placed;
    }
    m_last = placed;
    m_next = placed + std::max<std::int64_t>(duration, 0);
    m_joined.end = std::max(m_joined.end, m_next);
    return placed;
}
