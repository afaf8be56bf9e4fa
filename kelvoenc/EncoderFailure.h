#pragma once

#include <stdexcept>
#include <string>

#include "protocol/ExitStatus.h"

// A failure that ends the run: a sentence for the user and the exit status
// that goes with it.
class EncoderFailure : public std::runtime_error {
public:
    EncoderFailure(ExitStatus status, const std::string& sentence) : std::runtime_error(sentence), m_status(status) {}
    ExitStatus Status() const { return m_status; }

private:
    ExitStatus m_status;
};

// The library's explanation of an FFmpeg error code.
std::string FfmpegErrorText(int error);

// Throws EncoderFailure with "<what>: <library explanation>." when error < 0;
// a failed allocation ends the run as OutOfMemory whatever the status given.
void CheckFfmpeg(int error, ExitStatus status, const std::string& what);

// One line on standard error, prefixed with the program's name.
void Notice(const std::string& line);
