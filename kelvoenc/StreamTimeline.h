#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/avutil.h>
}

// Where the streams of one source have come to together, and how far the
// last break moved them.
struct JoinedTimelines {
    std::int64_t end = 0;  // the latest end of a frame placed so far
    std::int64_t offset = 0;
};

// Keeps one stream's decoded frames on one continuous timeline. Where the
// source's timestamps restart or jump (joined recordings, damage), the
// frames after the break are moved to follow on from the frames of every
// stream before it, and stay moved by that much; the other streams take the
// same offset at their own break, so they keep their timing relative to
// each other (the sound of a recording that outlasts its picture stays with
// the picture after the join). In formats whose timestamps may restart
// (MPEG program and transport streams) any clear step back is such a break,
// as FFmpeg's own tools take it; in every format a jump back of more than a
// few seconds is one, and so is a jump ahead of more than the longest gap,
// so that no gap is ever filled with more than that much repeated picture
// or silence. A frame that repeats the timestamp of the frame before is
// damage, not a break: it moves on by one tick, and nothing else moves.
class StreamTimeline {
public:
    // Steps back longer than this are closed, and so are gaps ahead where
    // timestamps cannot be trusted.
    static constexpr double kLongestGapSeconds = 5;

    // joined: shared by the source's streams, its end where the timelines
    // begin, in timeBase; longestGapSeconds: the longest gap that is kept as
    // it is.
    StreamTimeline(AVRational timeBase, JoinedTimelines& joined, bool mayRestart, double longestGapSeconds);

    // The frame's place on the timeline, in timeBase; a frame without a
    // timestamp follows the one before. duration: how long it lasts.
    std::int64_t Place(std::int64_t pts, std::int64_t duration);

    // Whether a break has been closed so far.
    bool Mended() const { return m_mended; }

private:
    bool IsBreak(std::int64_t placed) const;
    void Rejoin(std::int64_t pts);

    JoinedTimelines& m_joined;
    std::int64_t m_next;
    std::int64_t m_last = AV_NOPTS_VALUE;  // where the frame before was placed
    std::int64_t m_offset = 0;
    std::int64_t m_longestGap;
    std::int64_t m_longestStepBack;
    bool m_mended = false;
};
