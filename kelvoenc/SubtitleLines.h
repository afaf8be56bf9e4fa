#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/SubtitleSources.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct SubtitleFreer {
    void operator()(AVSubtitle* subtitle) const {
        avsubtitle_free(subtitle);
        delete subtitle;
    }
};
using SubtitlePtr = std::unique_ptr<AVSubtitle, SubtitleFreer>;

// One subtitle track read whole and decoded, since subtitles are small and a
// file beside the source has no place in the source's reading. Times count
// in microseconds from the conversion's start: the source's own tracks move
// with its start, a file beside it counts from the first picture as players
// count; lines are cut at the end time, and those that a damaged packet
// spoils are passed over. A line whose end is not stated stays 5 seconds,
// and a picture subtitle's page until the next page.
class SubtitleLines {
public:
    struct Line {
        std::int64_t start;
        std::int64_t end;
        SubtitlePtr subtitle;
    };

    SubtitleLines(const SubtitleSource& source, const KeptPart& kept);

    // The decoder, whose header holds a text track's styles.
    const AVCodecContext& Decoder() const { return *m_decoder; }
    // In the order they start.
    std::vector<Line>& Lines() { return m_lines; }

private:
    void Add(SubtitlePtr subtitle, std::int64_t origin, std::optional<double> endSeconds);

    CodecContextPtr m_decoder;
    bool m_pictures = false;
    std::vector<Line> m_lines;
};
