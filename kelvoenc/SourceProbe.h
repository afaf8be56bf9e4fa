#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/ReportChannel.h"

#include <cstdint>
#include <string>

// Probe mode: reports the source's duration, width, height, frame rate,
// pixel shape (codes 1 to 5, in that order) and what kind its pictures are
// (ReportPictureKind). A source that cannot be read or has no video
// gets reports of 0, so the front-end refuses it, and SourceUnreadable; a
// stop signal ends the probe with Stopped. Then ReportSourceRead gives that
// status, and the front-end may answer with the next source to probe in the
// same run. The run ends with the last source's status.
class SourceProbe {
public:
    static ExitStatus Run(const std::string& firstPath, ReportChannel& channel);
};
