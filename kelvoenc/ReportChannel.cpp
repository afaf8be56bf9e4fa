#include "kelvoenc/ReportChannel.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/StopSignals.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

namespace {

const char* ReportName(ReportCode code) {
    switch (code) {
    case ReportDuration: return "duration (s)";
    case ReportWidth: return "width";
    case ReportHeight: return "height";
    case ReportFrameRate: return "frame rate x 10000000";
    case ReportSampleAspect: return "pixel width / height x 10000000";
    case ReportProgress: return "progress (s)";
    }
    return "report";
}

// Stop signals are blocked, so a blocking wait would not notice them: the
// wait looks at them this often.
constexpr int kSignalCheckMilliseconds = 100;

// Waits until the socket has something to read; false when a stop signal
// arrives first.
bool AwaitReadable(int socket) {
    pollfd watched{socket, POLLIN, 0};
    while (!StopSignals::Pending()) {
        int ready = poll(&watched, 1, kSignalCheckMilliseconds);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return true;
    }
    return false;
}

}  // namespace

ReportChannel::ReportChannel(int handle) {
    struct stat status {};
    if (handle >= 0 && fstat(handle, &status) == 0 && S_ISSOCK(status.st_mode)) m_socket = handle;
}

bool ReportChannel::Send(ReportCode code, std::int32_t value) {
    if (m_socket < 0) {
        std::fprintf(stderr, "report %u %d: %s\n", static_cast<unsigned>(code), value, ReportName(code));
        return true;
    }
    if (m_broken) return false;
    ReportReply reply = kReplyContinue;
    if (!SendFrame(ReportFrame{kEncoderNotifyMessage, code, value})) return Broken();
    switch (ReadReply(reply)) {
    case ReplyRead::Whole: return reply != kReplyStop;
    case ReplyRead::Stopped: return false;  // a stop signal: the caller stops
    case ReplyRead::Failed: break;
    }
    return Broken();
}

bool ReportChannel::Broken() {
    m_broken = true;
    Notice("the report channel has closed: the front-end is gone.");
    return false;
}

bool ReportChannel::SendFrame(const ReportFrame& frame) {
    const auto* bytes = reinterpret_cast<const char*>(&frame);
    std::size_t sent = 0;
    while (sent < sizeof frame) {
        // MSG_NOSIGNAL: a front-end that has gone away must not kill us with
        // SIGPIPE before the temporary file is removed.
        ssize_t count = send(m_socket, bytes + sent, sizeof frame - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

// A front-end that stalls after part of a reply is waited for like one that
// has sent nothing yet: a stop signal ends the wait.
ReportChannel::ReplyRead ReportChannel::ReadReply(ReportReply& reply) {
    auto* bytes = reinterpret_cast<char*>(&reply);
    std::size_t received = 0;
    while (received < sizeof reply) {
        if (!AwaitReadable(m_socket)) return ReplyRead::Stopped;
        ssize_t count = recv(m_socket, bytes + received, sizeof reply - received, MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (count <= 0) return ReplyRead::Failed;
        received += static_cast<std::size_t>(count);
    }
    return ReplyRead::Whole;
}
