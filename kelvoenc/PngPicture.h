#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <string>

// Writes one decoded picture as an RGB PNG, whole or not at all (under a
// temporary name, renamed when written).
class PngPicture {
public:
    // The picture scaled to width x height, its colours read by its own
    // matrix and range.
    static void Write(const AVFrame& picture, int width, int height, const std::string& outputPath);
};
