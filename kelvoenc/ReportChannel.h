#pragma once

#include "protocol/ReportFrame.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The encoder's side of the report channel. With a descriptor of a connected
// socket, each report is one frame followed by a blocking read of the reply.
// With any other number the reports become lines on standard error and every
// reply is "continue", so the program can be used from a shell.
class ReportChannel {
public:
    explicit ReportChannel(int handle);

    // Sends one report and waits for the reply. Returns false when the
    // front-end asks to stop, the channel has closed or failed, or a stop
    // signal arrives while waiting.
    bool Send(ReportCode code, std::int32_t value);

    // Says that a probed source has been read, with its probe's status, and
    // returns the next source to probe when the front-end gives one; empty
    // when the run ends here (always so from a shell).
    std::string NextSource(std::int32_t status);

private:
    enum class ReplyRead { Whole, Stopped, Failed };

    // Sends one report and takes its reply; false when the channel has
    // failed or a stop signal came.
    bool Exchange(ReportCode code, std::int32_t value, ReportReply& reply);
    bool SendFrame(const ReportFrame& frame);
    ReplyRead Receive(void* data, std::size_t size);
    std::string ReceivePath();
    bool Broken();

    int m_socket = -1;
    bool m_broken = false;
};
