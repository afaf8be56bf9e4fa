#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/SubpicturePainter.h"
#include "kelvoenc/SubtitleSources.h"
#include "kelvoenc/VideoPlan.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cstdint>
#include <optional>
#include <vector>

// A subtitle drawn into the pictures. Each line is painted once, in full
// colour, inside the picture between any bars, and turned into the output's
// colours (an HDR output's at the brightness of SDR white); each picture
// shown while a line is on gets the line laid over it, and only then is it
// copied, when the picture is shared.
class SubtitleOverlay {
public:
    SubtitleOverlay(const SubtitleSource& source, const KeptPart& kept, const SubpictureFrame& frame,
                    const OutputColours& colours);

    // Lays the lines on at this time (microseconds from the conversion's
    // start) over the picture, in the output's planar YUV.
    void Draw(AVFrame& picture, std::int64_t microseconds);

private:
    // One plane's part of a line, at that plane's resolution and depth.
    struct PlanePart {
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<std::uint16_t> level;
        std::vector<std::uint8_t> cover;  // 0..255
    };
    // A line as the pictures' planes take it, made when first laid.
    struct Line {
        std::int64_t start;
        std::int64_t end;
        SubtitleImage image;
        int format = AV_PIX_FMT_NONE;  // of the planes below
        PlanePart planes[3] = {};
    };

    void Prepare(Line& line, const AVPixFmtDescriptor& format, int pixelFormat) const;
    static void Lay(const PlanePart& part, AVFrame& picture, int plane, int depth);

    double m_redWeight, m_blueWeight;  // of the output's matrix
    double m_brightness;               // of full scale, for white
    std::vector<Line> m_lines;         // in the order they start
    std::size_t m_first = 0;           // lines before it have ended
};
