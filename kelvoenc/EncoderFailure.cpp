#include "kelvoenc/EncoderFailure.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cstdio>

std::string FfmpegErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

void CheckFfmpeg(int error, ExitStatus status, const std::string& what) {
    if (error == AVERROR(ENOMEM)) status = ExitStatus::OutOfMemory;
    if ((error == AVERROR(ENOSPC) || error == AVERROR(EDQUOT)) && status == ExitStatus::OutputUnwritable)
        status = ExitStatus::DiskFull;
    if (error < 0) throw EncoderFailure(status, what + ": " + FfmpegErrorText(error) + ".");
}

// One fprintf call per line: stdio locks the stream for the call, so lines
// from different threads never mix.
void Notice(const std::string& line) {
    std::fprintf(stderr, "kelvoenc: %s\n", line.c_str());
    std::fflush(stderr);
}
