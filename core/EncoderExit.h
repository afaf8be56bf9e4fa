#pragma once

#include "protocol/ExitStatus.h"

#include <string>

// How one encoder run ended.
struct EncoderExit {
    bool signalled = false;  // ended by a signal
    int status = 0;          // the exit status, or the signal's number
    std::string errorTail;   // the last few kilobytes of its standard error

    bool Succeeded() const { return Is(ExitStatus::Done); }
    bool Is(ExitStatus expected) const { return !signalled && status == static_cast<int>(expected); }
    // Whether the run left its output file under the output's name.
    bool LeftOutput() const { return !signalled && LeavesOutput(static_cast<ExitStatus>(status)); }

    // The last non-blank line of the error output, trimmed; empty when none.
    std::string LastErrorLine() const;

    // Why the run failed, in words for the user: what its exit status means,
    // with the encoder's last error line in brackets when it wrote one.
    // Empty for a run that ended with status 0.
    std::string FailureReason() const;
};
