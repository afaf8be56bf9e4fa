#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/SubpicturePainter.h"
#include "kelvoenc/SubtitleSources.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class OutputMedia;

// How a kept track is written: as text in an MP4's own text format or in
// WebVTT (WebM), as subpictures drawn for a DVD's frame, or as the source
// holds it (Matroska).
enum class SubtitleForm { Mp4Text, WebVtt, Subpictures, AsItIs };

// One subtitle track of the output, from text or pictures. The whole track
// is converted when it is added; the muxer then writes each line when the
// pictures reach its time. Kept as it is, a track's packets are copied,
// but for text in another character set than UTF-8, which is written again
// in UTF-8.
class SubtitleTrack {
public:
    // frame: the DVD frame subpictures are drawn for.
    SubtitleTrack(const SubtitleSource& source, const KeptPart& kept, SubtitleForm form, const SubpictureFrame& frame,
                  OutputMedia& output);

    // Writes the lines that start before this time (microseconds).
    void WriteUntil(std::int64_t microseconds);
    void WriteRest() { WriteUntil(INT64_MAX); }

private:
    struct Line {
        std::int64_t start;  // microseconds from the conversion's start
        PacketPtr packet;
    };

    // Returns the output's stream.
    int Convert(const SubtitleSource& source, const KeptPart& kept, SubtitleForm form, const SubpictureFrame& frame,
                OutputMedia& output);
    int Copy(const SubtitleSource& source, const KeptPart& kept, OutputMedia& output);
    void Encode(AVCodecContext& encoder, const AVSubtitle& line, std::int64_t start, std::int64_t end);

    OutputMedia& m_output;
    int m_stream = 0;
    std::vector<Line> m_lines;
    std::size_t m_written = 0;
};
