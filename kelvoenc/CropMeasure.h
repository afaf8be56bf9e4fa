#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/EncoderOptions.h"

#include <optional>

class ReportChannel;

// Measure-crop mode: looks at the pictures at 10 points spread evenly over
// the kept part (-ss to -endpos) for black borders, in the picture as shown
// (turned upright), and reports the part that keeps every point's picture,
// rounded out to even pixels, and how many points found exactly that part.
// A point that is wholly black (a fade) or cannot be decoded says nothing:
// it neither widens the part nor agrees; when no point shows any picture,
// the part is the whole picture and none agrees.
class CropMeasure {
public:
    // The picture's part that is not border: columns left..right and rows
    // top..bottom, the ends excluded.
    struct Area {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool operator==(const Area&) const = default;
    };

    static ExitStatus Run(const EncoderOptions& options, ReportChannel& channel);

    // The part of an 8-bit luma plane whose rows and columns are not border
    // (on average no brighter than the border limit), rounded out to even
    // pixels; none when all of it is border.
    static std::optional<Area> PictureArea(const std::uint8_t* luma, int stride, int width, int height);
};
