#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/ReportChannel.h"

#include <cstdint>
#include <string>

// Probe mode: reports the source's duration, width, height and frame rate
// (codes 1 to 4, in that order). A source that cannot be read or has no video
// gets reports of 0, so the front-end refuses it, and SourceUnreadable.
class SourceProbe {
public:
    static ExitStatus Run(const std::string& sourcePath, ReportChannel& channel);

    // Frames per second x 10,000,000, as report 4 carries it.
    static std::int32_t FrameRateReport(AVRational rate);
};
