#pragma once

#include "core/EncoderExit.h"
#include "protocol/ReportFrame.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One run of the encoder program with its report channel. The platform's
// implementation starts the program directly (never through a shell), with
// no window, standard input from the null device, the current directory
// inherited, and one end of the report channel open in the child under the
// number ChannelHandle() gives. A process still running when this object
// goes is stopped and reaped.
class EncoderProcess {
public:
    // Handles one report and returns the reply the encoder waits for, or
    // nullopt to answer later through Reply (no further report is read
    // meanwhile). It must not run an event loop of its own.
    using ReportHandler = std::function<std::optional<ReportReply>(const ReportFrame&)>;

    virtual ~EncoderProcess() = default;

    // The number that names the encoder's end of the report channel: the last
    // number of its argument text. Known before Start.
    virtual int ChannelHandle() const = 0;

    // Starts the program with these arguments (after the program's own name).
    // Returns false, with the reason in `error`, when it cannot be started.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error) = 0;

    // Runs a nested event loop until the process has ended, so that windows
    // repaint and buttons work meanwhile, handing each report to `onReport`
    // as it arrives and writing the reply back.
    virtual EncoderExit WaitForExit(const ReportHandler& onReport) = 0;

    // Answers the report whose handler left it unanswered.
    virtual void Reply(ReportReply reply) = 0;

    // Asks the process to end (SIGTERM), and ends it outright (SIGKILL) if it
    // is still there after a short grace. WaitForExit returns once it is gone.
    virtual void Stop() = 0;
};

// The implementation for this platform.
std::unique_ptr<EncoderProcess> CreateEncoderProcess();
