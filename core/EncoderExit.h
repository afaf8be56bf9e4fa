#pragma once

#include <string>

// How one encoder run ended.
struct EncoderExit {
    bool signalled = false;  // ended by a signal
    int status = 0;          // the exit status, or the signal's number
    std::string errorTail;   // the last few kilobytes of its standard error

    bool Succeeded() const { return !signalled && status == 0; }

    // The last non-blank line of the error output, trimmed; empty when none.
    std::string LastErrorLine() const;

    // Why the run failed, in words for the user: the encoder's last error
    // line, or how the process ended when it said nothing.
    std::string FailureReason() const;
};
