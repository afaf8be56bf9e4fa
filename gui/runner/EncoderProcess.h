#pragma once

#include "core/EncoderExit.h"
#include "protocol/ReportFrame.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One run of the encoder program with its report channel. The platform's
// implementation starts the program directly (never through a shell), with
// no window, standard input from the null device, the current directory
// inherited, and one end of the report channel open in the child under the
// number ChannelHandle() gives.
class EncoderProcess {
public:
    // Handles one report and returns the reply the encoder waits for.
    using ReportHandler = std::function<ReportReply(const ReportFrame&)>;

    virtual ~EncoderProcess() = default;

    // The number that names the encoder's end of the report channel: the last
    // number of its argument text. Known before Start.
    virtual int ChannelHandle() const = 0;

    // Starts the program with these arguments (after the program's own name).
    // Returns false, with the reason in `error`, when it cannot be started.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments,
                       std::string& error) = 0;

    // Runs a nested event loop until the process has ended, so that windows
    // repaint and buttons work meanwhile; hands each report to `onReport` as
    // it arrives and writes the reply back. The encoder is never killed.
    virtual EncoderExit WaitForExit(const ReportHandler& onReport) = 0;
};

// The implementation for this platform.
std::unique_ptr<EncoderProcess> CreateEncoderProcess();
