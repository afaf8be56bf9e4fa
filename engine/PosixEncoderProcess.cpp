#include "engine/PosixEncoderProcess.h"

#include "protocol/StopSignals.h"

#include <QCoreApplication>
#include <QPointer>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

extern char** environ;

namespace {

constexpr int kChildChannelDescriptor = 3;
constexpr std::size_t kErrorTailBytes = 4096;

std::string Reason(int error) { return std::strerror(error); }

std::string ReplyBytes(ReportReply reply) { return std::string(reinterpret_cast<const char*>(&reply), sizeof reply); }

void CloseDescriptor(int& descriptor) {
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
}

// A copy above the standard descriptors and the channel's number, so that the
// child's dup2 actions cannot overwrite one source with another.
int MoveClear(int descriptor) {
    int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 10);
    ::close(descriptor);
    return moved;
}

int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// File actions and attributes of one spawn, released on every path.
class SpawnSetup {
public:
    SpawnSetup(int childErrors, int childChannel) {
        ::posix_spawn_file_actions_init(&m_actions);
        ::posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_adddup2(&m_actions, childErrors, 2);
        ::posix_spawn_file_actions_adddup2(&m_actions, childChannel, kChildChannelDescriptor);
        ::posix_spawn_file_actions_addclosefrom_np(&m_actions, kChildChannelDescriptor + 1);

        // The encoder starts with default signal handling whatever the
        // front-end has set for itself (an ignored SIGPIPE, say), and with
        // its stop signals blocked: loading its libraries takes a moment, and
        // a stop sent meanwhile waits until it can end the run as a stop.
        ::posix_spawnattr_init(&m_attributes);
        sigset_t all, stops;
        ::sigfillset(&all);
        ::sigemptyset(&stops);
        for (int stop : kStopSignals) ::sigaddset(&stops, stop);
        ::posix_spawnattr_setsigdefault(&m_attributes, &all);
        ::posix_spawnattr_setsigmask(&m_attributes, &stops);
        ::posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

// Follows a process whose owner has let go of it to its end, from the event
// loop: SIGKILL after the grace, then reaped. A process that never ends (in
// uninterruptible sleep on a stalled share) holds nothing up; whatever is
// left when the program ends is the system's to reap.
class OrphanReaper : public QObject {
public:
    OrphanReaper(pid_t pid, int exitDescriptor) : QObject(QCoreApplication::instance()), m_pid(pid) {
        m_grace.setSingleShot(true);
        m_grace.setInterval(PosixEncoderProcess::kStopGraceMs);
        connect(&m_grace, &QTimer::timeout, this, [this] { ::kill(m_pid, SIGKILL); });
        m_grace.start();
        if (exitDescriptor >= 0) {
            m_exit = new QSocketNotifier(exitDescriptor, QSocketNotifier::Read, this);
            connect(m_exit, &QSocketNotifier::activated, this, &OrphanReaper::TryReap);
        } else {
            // Without a process descriptor, look now and then.
            connect(&m_poll, &QTimer::timeout, this, &OrphanReaper::TryReap);
            m_poll.start(kPollMs);
        }
    }
    ~OrphanReaper() override {
        if (m_exit) ::close(static_cast<int>(m_exit->socket()));
        if (m_pid > 0) ::kill(m_pid, SIGKILL);
    }
    OrphanReaper(const OrphanReaper&) = delete;
    OrphanReaper& operator=(const OrphanReaper&) = delete;

private:
    static constexpr int kPollMs = 100;

    void TryReap() {
        if (m_pid <= 0 || ::waitpid(m_pid, nullptr, WNOHANG) != m_pid) return;
        m_pid = -1;
        if (m_exit) m_exit->setEnabled(false);
        m_poll.stop();
        m_grace.stop();
        deleteLater();
    }

    pid_t m_pid;
    QSocketNotifier* m_exit = nullptr;
    QTimer m_grace;
    QTimer m_poll;
};

std::string_view VariableName(std::string_view setting) { return setting.substr(0, setting.find('=')); }

// Our environment with `variables` on top, as posix_spawn takes it; it
// points into `variables` and into our own environment.
std::vector<char*> Environment(const std::vector<std::string>& variables) {
    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry) {
        auto replaced = [entry](const std::string& setting) { return VariableName(setting) == VariableName(*entry); };
        if (std::none_of(variables.begin(), variables.end(), replaced)) environment.push_back(*entry);
    }
    for (const std::string& setting : variables) environment.push_back(const_cast<char*>(setting.c_str()));
    environment.push_back(nullptr);
    return environment;
}

}  // namespace

std::unique_ptr<EncoderProcess> CreateEncoderProcess() { return std::make_unique<PosixEncoderProcess>(); }

PosixEncoderProcess::PosixEncoderProcess() {
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(kStopGraceMs);
    connect(&m_killTimer, &QTimer::timeout, [this] { Kill(); });
}

PosixEncoderProcess::~PosixEncoderProcess() {
    m_reportNotifier.reset();
    m_errorNotifier.reset();
    m_exitNotifier.reset();
    LetGo();
    CloseAll();
}

int PosixEncoderProcess::ChannelHandle() const { return kChildChannelDescriptor; }

bool PosixEncoderProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                                std::string& error) {
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
        error = "cannot open the report channel: " + Reason(errno);
        return false;
    }
    int errors[2];
    if (::pipe2(errors, O_CLOEXEC) != 0) {
        error = "cannot open the error pipe: " + Reason(errno);
        ::close(channel[0]);
        ::close(channel[1]);
        return false;
    }
    m_channel = channel[0];
    m_errors = errors[0];
    ::fcntl(m_errors, F_SETFL, O_NONBLOCK);
    int childChannel = MoveClear(channel[1]);
    int childErrors = MoveClear(errors[1]);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::vector<char*> environment = Environment(Variables());
    int result;
    {
        SpawnSetup setup(childErrors, childChannel);
        result = ::posix_spawn(&m_pid, program.c_str(), setup.Actions(), setup.Attributes(), argv.data(),
                               environment.data());
    }
    // The child holds its own copies now; keeping ours would hide its end of
    // the channel and of the error pipe.
    ::close(childChannel);
    ::close(childErrors);
    if (result != 0) {
        error = Reason(result);
        m_pid = -1;
        CloseAll();
        return false;
    }
    m_exit = OpenProcessDescriptor(m_pid);
    WatchDescriptors();
    return true;
}

void PosixEncoderProcess::WatchDescriptors() {
    m_reportNotifier = std::make_unique<QSocketNotifier>(m_channel, QSocketNotifier::Read);
    connect(m_reportNotifier.get(), &QSocketNotifier::activated, this, &PosixEncoderProcess::OnChannelReadable);
    m_errorNotifier = std::make_unique<QSocketNotifier>(m_errors, QSocketNotifier::Read);
    connect(m_errorNotifier.get(), &QSocketNotifier::activated, this, &PosixEncoderProcess::OnErrorsReadable);
    if (m_exit < 0) return;  // without a process descriptor the channel's end marks the end
    m_exitNotifier = std::make_unique<QSocketNotifier>(m_exit, QSocketNotifier::Read);
    connect(m_exitNotifier.get(), &QSocketNotifier::activated, this, &PosixEncoderProcess::OnExited);
}

void PosixEncoderProcess::OnChannelReadable() {
    if (ReadReports()) {
        HandPendingReport();
        return;
    }
    m_reportNotifier->setEnabled(false);
    if (!m_exitNotifier) OnExited();
}

void PosixEncoderProcess::OnErrorsReadable() {
    if (!ReadErrors()) m_errorNotifier->setEnabled(false);
}

void PosixEncoderProcess::OnExited() {
    if (m_pid <= 0) return;
    EncoderExit exit = Reap();
    emit Ended(exit);
}

bool PosixEncoderProcess::ReadReports() {
    char buffer[256];
    ssize_t count = ::recv(m_channel, buffer, sizeof buffer, MSG_DONTWAIT);
    if (count == 0) return false;
    if (count < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    m_pendingReport.append(buffer, static_cast<std::size_t>(count));
    return true;
}

void PosixEncoderProcess::HandPendingReport() {
    // A run let go of while its report is handled (a message box's event
    // loop may delete it meanwhile) is not touched again.
    const QPointer<PosixEncoderProcess> alive(this);
    m_handing = true;
    while (!m_awaitingReply && m_pendingReport.size() >= sizeof(ReportFrame)) {
        ReportFrame frame;
        std::memcpy(&frame, m_pendingReport.data(), sizeof frame);
        m_pendingReport.erase(0, sizeof frame);
        if (frame.message != kEncoderNotifyMessage) {
            Send(ReplyBytes(kReplyContinue));
            continue;
        }
        m_awaitingReply = true;
        emit Reported(frame);  // a reply given at once lets the loop go on
        if (!alive) return;
    }
    m_handing = false;
    // The encoder waits for its answer before it reports again.
    if (m_reportNotifier) m_reportNotifier->setEnabled(!m_awaitingReply);
}

void PosixEncoderProcess::Reply(ReportReply reply) { Answer(ReplyBytes(reply)); }

void PosixEncoderProcess::ReplyWithSource(const std::string& path) {
    const auto length = static_cast<std::uint32_t>(path.size());
    Answer(ReplyBytes(kReplyNextSource) + std::string(reinterpret_cast<const char*>(&length), sizeof length) + path);
}

void PosixEncoderProcess::Answer(const std::string& bytes) {
    if (!m_awaitingReply || m_pid <= 0) return;
    m_awaitingReply = false;
    Send(bytes);
    // A reply given while the report was handed over lets that loop go on.
    if (!m_handing) HandPendingReport();
}

void PosixEncoderProcess::Send(const std::string& bytes) {
    // An encoder that has gone away meanwhile must not take the front-end
    // down with a SIGPIPE. The encoder reads each reply whole before it
    // reports again, so a reply never meets a full socket.
    ::send(m_channel, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void PosixEncoderProcess::Stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    if (!m_killTimer.isActive()) m_killTimer.start();
}

void PosixEncoderProcess::Kill() {
    if (m_pid > 0) ::kill(m_pid, SIGKILL);
}

bool PosixEncoderProcess::ReadErrors() {
    char buffer[4096];
    for (;;) {
        ssize_t count = ::read(m_errors, buffer, sizeof buffer);
        if (count == 0) return false;
        if (count < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        m_errorTail.append(buffer, static_cast<std::size_t>(count));
        if (m_errorTail.size() > kErrorTailBytes) m_errorTail.erase(0, m_errorTail.size() - kErrorTailBytes);
    }
}

EncoderExit PosixEncoderProcess::Reap() {
    m_killTimer.stop();
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    // What the encoder wrote last, even if something it started keeps the
    // pipe open: read what is there and go.
    ReadErrors();
    EncoderExit exit;
    exit.signalled = WIFSIGNALED(status);
    exit.status = exit.signalled ? WTERMSIG(status) : WEXITSTATUS(status);
    exit.errorTail = m_errorTail;
    m_pid = -1;
    CloseAll();
    return exit;
}

void PosixEncoderProcess::LetGo() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    if (QCoreApplication::instance()) {
        new OrphanReaper(m_pid, std::exchange(m_exit, -1));
    } else {
        Kill();  // no event loop to follow it: the system reaps it once the program ends
    }
    m_pid = -1;
}

void PosixEncoderProcess::CloseAll() {
    // A notifier may be the sender of the signal being handled: it goes
    // from the event loop, after its descriptor.
    for (std::unique_ptr<QSocketNotifier>* notifier : {&m_reportNotifier, &m_errorNotifier, &m_exitNotifier}) {
        if (!*notifier) continue;
        (*notifier)->setEnabled(false);
        notifier->release()->deleteLater();
    }
    CloseDescriptor(m_channel);
    CloseDescriptor(m_errors);
    CloseDescriptor(m_exit);
}
