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

StreamTimeline::StreamTimeline(AVRational timeBase, std::int64_t start, bool mayRestart, double longestGapSeconds)
    : m_next(start),
      m_longestGap(Ticks(longestGapSeconds, timeBase)),
      m_longestStepBack(mayRestart ? av_rescale_q(1, kRestartStep, timeBase) : Ticks(kLongestGapSeconds, timeBase)),
      m_shortestStep(Ticks(0.001, timeBase)) {}

bool StreamTimeline::IsBreak(std::int64_t placed) const {
    const std::int64_t delta = placed - m_next;
    if (delta > m_longestGap || delta < -m_longestStepBack) return true;
    return m_last != AV_NOPTS_VALUE && placed >= m_last && placed - m_last < m_shortestStep;
}

std::int64_t StreamTimeline::Place(std::int64_t pts, std::int64_t duration) {
    std::int64_t placed = pts == AV_NOPTS_VALUE ? m_next : pts + m_offset;
    if (pts != AV_NOPTS_VALUE && IsBreak(placed)) {
        m_offset += m_next - placed;
        placed = m_next;
        m_mended = true;
    }
    m_last = placed;
    m_next = placed + std::max<std::int64_t>(duration, 0);
    return placed;
}
