#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/avutil.h>
}

// Keeps one stream's decoded frames on one continuous timeline. Where the
// source's timestamps restart or jump (joined recordings, damage), the
// frames after the break are moved to follow on from the frames before it,
// and stay moved by that much. In formats whose timestamps may restart
// (MPEG program and transport streams) any clear step back is such a break,
// as FFmpeg's own tools take it; in every format a jump back of more than a
// few seconds is one, and so is a jump ahead of more than the longest gap,
// so that no gap is ever filled with more than that much repeated picture
// or silence. Frames whose timestamps hardly
// move on from the frame before (less than a millisecond: damage, not a
// frame rate) are moved to follow on too, rather than being dropped as
// repeats.
class StreamTimeline {
public:
    // Steps back longer than this are closed, and so are gaps ahead where
    // timestamps cannot be trusted.
    static constexpr double kLongestGapSeconds = 5;

    // start: where the timeline begins, in timeBase; longestGapSeconds: the
    // longest gap that is kept as it is.
    StreamTimeline(AVRational timeBase, std::int64_t start, bool mayRestart, double longestGapSeconds);

    // The frame's place on the timeline, in timeBase; a frame without a
    // timestamp follows the one before. duration: how long it lasts.
    std::int64_t Place(std::int64_t pts, std::int64_t duration);

    // Whether a break has been closed so far.
    bool Mended() const { return m_mended; }

private:
    bool IsBreak(std::int64_t placed) const;

    std::int64_t m_next;
    std::int64_t m_last = AV_NOPTS_VALUE;  // where the frame before was placed
    std::int64_t m_offset = 0;
    std::int64_t m_longestGap;
    std::int64_t m_longestStepBack;
    std::int64_t m_shortestStep;
    bool m_mended = false;
};
