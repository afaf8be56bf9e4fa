#pragma once

#include <cstddef>

// The frame rates MPEG-1/2 video can carry, as the settings show them and as
// the encoder writes them. The MPEG formats offer the first five; MP4 offers
// them all.
struct MpegFrameRate {
    const char* text;
    double nominal;  // the value the settings resolve to
    int num;
    int den;
};

inline constexpr MpegFrameRate kMpegFrameRates[] = {
    {"23.976 fps", 23.976, 24000, 1001}, {"24.0 fps", 24.0, 24, 1}, {"25.0 fps", 25.0, 25, 1},
    {"29.97 fps", 29.97, 30000, 1001},   {"30.0 fps", 30.0, 30, 1}, {"50.0 fps", 50.0, 50, 1},
    {"59.94 fps", 59.94, 60000, 1001},   {"60.0 fps", 60.0, 60, 1},
};

inline constexpr std::size_t kMpegOfferedRateCount = 5;
