#pragma once

#include "protocol/ReportFrame.h"

#include <cstdint>

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

private:
    enum class ReplyRead { Whole, Stopped, Failed };

    bool SendFrame(const ReportFrame& frame);
    ReplyRead ReadReply(ReportReply& reply);
    bool Broken();

    int m_socket = -1;
    bool m_broken = false;
};
