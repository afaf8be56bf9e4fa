#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/SubpicturePainter.h"
#include "kelvoenc/SubtitleSources.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class OutputMedia;

// One subtitle track of the output: text in an MP4's own text format, or
// subpictures drawn for a DVD's frame, from text or pictures. The whole track
// is converted when it is added; the muxer then writes each line when the
// pictures reach its time.
class SubtitleTrack {
public:
    // subpictures: the DVD frame the lines are drawn for; none for text.
    SubtitleTrack(const SubtitleSource& source, std::int64_t originMicroseconds, std::optional<double> endSeconds,
                  const std::optional<SubpictureFrame>& subpictures, OutputMedia& output);

    // Writes the lines that start before this time (microseconds).
    void WriteUntil(std::int64_t microseconds);
    void WriteRest() { WriteUntil(INT64_MAX); }

private:
    struct Line {
        std::int64_t start;  // microseconds from the conversion's start
        PacketPtr packet;
    };

    void Encode(AVCodecContext& encoder, const AVSubtitle& line, std::int64_t start, std::int64_t end);

    OutputMedia& m_output;
    int m_stream = 0;
    std::vector<Line> m_lines;
    std::size_t m_written = 0;
};
