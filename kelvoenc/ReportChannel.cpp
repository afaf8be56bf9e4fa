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
    case ReportSourceRead: return "source read, status";
    case ReportPictureKind: return "picture kind (1 HDR, 2 interlaced, 4 bottom field first)";
    case ReportChapter: return "chapter start (ms)";
    case ReportSoundTrack: return "sound track (language, 1<<24 default, channels<<25)";
    case ReportSoundTrackText: return "sound track's codec and title, 4 bytes";
    case ReportSubtitleTrack: return "subtitle track (language, 1<<24 default, 1<<25 forced, 1<<26 pictures)";
    case ReportSubtitleTrackText: return "subtitle track's codec and title, 4 bytes";
    case ReportCropWidth: return "crop width";
    case ReportCropHeight: return "crop height";
    case ReportCropLeft: return "crop left";
    case ReportCropTop: return "crop top";
    case ReportCropAgreement: return "crop points << 16 | agreeing";
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
    ReportReply reply = kReplyContinue;
    return Exchange(code, value, reply) && reply != kReplyStop;
}

std::string ReportChannel::NextSource(std::int32_t status) {
    ReportReply reply = kReplyContinue;
    if (!Exchange(ReportSourceRead, status, reply) || reply != kReplyNextSource) return {};
    return ReceivePath();
}

bool ReportChannel::Exchange(ReportCode code, std::int32_t value, ReportReply& reply) {
    if (m_socket < 0) {
        std::fprintf(stderr, "report %u %d: %s\n", static_cast<unsigned>(code), value, ReportName(code));
        return true;
    }
    if (m_broken) return false;
    if (!SendFrame(ReportFrame{kEncoderNotifyMessage, code, value})) return Broken();
    switch (Receive(&reply, sizeof reply)) {
    case ReplyRead::Whole: return true;
    case ReplyRead::Stopped: return false;  // a stop signal: the caller stops
    case ReplyRead::Failed: break;
    }
    return Broken();
}

std::string ReportChannel::ReceivePath() {
    std::uint32_t length = 0;
    if (Receive(&length, sizeof length) != ReplyRead::Whole) return {};
    if (length == 0 || length > kMaxSourcePathBytes) {
        Broken();
        return {};
    }
    std::string path(length, '\0');
    if (Receive(path.data(), length) != ReplyRead::Whole) return {};
    return path;
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
ReportChannel::ReplyRead ReportChannel::Receive(void* data, std::size_t size) {
    auto* bytes = static_cast<char*>(data);
    std::size_t received = 0;
    while (received < size) {
        if (!AwaitReadable(m_socket)) return ReplyRead::Stopped;
        ssize_t count = recv(m_socket, bytes + received, size - received, MSG_DONTWAIT);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (count <= 0) return ReplyRead::Failed;
        received += static_cast<std::size_t>(count);
    }
    return ReplyRead::Whole;
}
