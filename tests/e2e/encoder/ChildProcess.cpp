#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <string_view>
#include <thread>

extern char** environ;

namespace {

// An entry of the request's own ("NAME=value") replaces the inherited one of
// that name: a program reads only the first.
bool Overrides(const std::vector<std::string>& entries, const char* inherited) {
    std::string_view name(inherited, std::strcspn(inherited, "="));
    for (const std::string& entry : entries)
        if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=')
            return true;
    return false;
}

using Clock = std::chrono::steady_clock;

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe MakePipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return {};
    return {ends[0], ends[1]};
}

void CloseIfOpen(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

pid_t Spawn(const ChildRequest& request, const Pipe& out, const Pipe& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
    if (!request.workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, request.workingFolder.c_str());

    std::vector<char*> argv;
    for (const std::string& argument : request.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry)
        if (!Overrides(request.environment, *entry)) environment.push_back(*entry);
    for (const std::string& entry : request.environment) environment.push_back(const_cast<char*>(entry.c_str()));
    environment.push_back(nullptr);

    pid_t pid = -1;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

// Reads what is there; false at end of file or on an error.
bool Drain(int fd, std::string& into) {
    char buffer[65536];
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) into.append(buffer, static_cast<std::size_t>(count));
    return count > 0 || (count < 0 && errno == EINTR);
}

// The parent's side of the report channel: frames in, replies out.
class ChannelPeer {
public:
    ChannelPeer(int fd, const ChildRequest& request, ChildResult& result)
        : m_fd(fd),
          m_answer(request.answer),
          m_nextSources(request.nextSources.begin(), request.nextSources.end()),
          m_result(result) {}
    ~ChannelPeer() { CloseIfOpen(m_fd); }

    int Fd() const { return m_fd; }
    void Close() { CloseIfOpen(m_fd); }

    void OnReadable() {
        if (!Drain(m_fd, m_pending)) {
            if (!m_pending.empty()) m_result.channelBroken = true;
            Close();
            return;
        }
        while (m_fd >= 0 && m_pending.size() >= sizeof(ReportFrame)) {
            ReportFrame frame;
            std::memcpy(&frame, m_pending.data(), sizeof frame);
            m_pending.erase(0, sizeof frame);
            m_result.reports.push_back(frame);
            Reply(frame);
        }
    }

private:
    void Reply(const ReportFrame& frame) {
        if (frame.code == ReportSourceRead && !m_nextSources.empty()) {
            SendBytes(NextSourceReply());
            return;
        }
        std::optional<ReportReply> reply = m_answer ? m_answer(frame) : ReportReply{kReplyContinue};
        if (!reply) {
            Close();
            return;
        }
        SendBytes(std::string(reinterpret_cast<const char*>(&*reply), sizeof *reply));
    }

    std::string NextSourceReply() {
        const std::string path = m_nextSources.front();
        m_nextSources.pop_front();
        const auto length = static_cast<std::uint32_t>(path.size());
        return std::string(reinterpret_cast<const char*>(&kReplyNextSource), sizeof kReplyNextSource) +
               std::string(reinterpret_cast<const char*>(&length), sizeof length) + path;
    }

    void SendBytes(const std::string& bytes) {
        if (send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
            m_result.channelBroken = true;
            Close();
        }
    }

    int m_fd;
    const ReportAnswer& m_answer;
    std::deque<std::string> m_nextSources;
    ChildResult& m_result;
    std::string m_pending;
};

void RecordEnd(int status, ChildResult& result) {
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the child after its output has ended; kills it on overrun.
void Reap(pid_t pid, Clock::time_point deadline, ChildResult& result) {
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.peakMemoryKb = usage.ru_maxrss;
    if (!result.timedOut) RecordEnd(status, result);
}

}  // namespace

ChannelPair MakeReportChannel() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return {};
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    return {ends[0], ends[1]};
}

ChildResult RunChild(ChildRequest request) {
    ChildResult result;
    Pipe out = MakePipe();
    Pipe err = MakePipe();
    pid_t pid = Spawn(request, out, err);
    CloseIfOpen(out.write);
    CloseIfOpen(err.write);
    CloseIfOpen(request.channelChildEnd);
    ChannelPeer channel(request.channelParentEnd, request, result);
    if (request.closeChannelAtStart) channel.Close();
    if (pid < 0) {
        CloseIfOpen(out.read);
        CloseIfOpen(err.read);
        return result;
    }
    result.started = true;
    const Clock::time_point start = Clock::now();
    if (request.started) request.started(pid);

    Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                    std::chrono::duration<double>(request.timeoutSeconds));
    while ((out.read >= 0 || err.read >= 0) && Clock::now() < deadline) {
        pollfd watched[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {channel.Fd(), POLLIN, 0}};
        if (poll(watched, 3, MillisecondsLeft(deadline)) <= 0) continue;
        if (watched[0].revents && !Drain(out.read, result.out)) CloseIfOpen(out.read);
        if (watched[1].revents && !Drain(err.read, result.err)) CloseIfOpen(err.read);
        if (watched[2].revents) channel.OnReadable();
    }
    CloseIfOpen(out.read);
    CloseIfOpen(err.read);
    channel.Close();
    Reap(pid, deadline, result);
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
}
