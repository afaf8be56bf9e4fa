// Sits between the front-end and the real encoder on the report channel and
// measures how long the front-end takes to answer each report: from the
// moment a report is passed on until its reply is back. Started by the
// front-end in the encoder's place; runs $RELAY_TARGET with the same
// arguments and appends "reports <n> mean_ms <m> max_ms <x>" to $RELAY_LOG.
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kEncoderChannel = 4;

bool ReadExactly(int descriptor, void* data, std::size_t size) {
    return ::recv(descriptor, data, size, MSG_WAITALL) == static_cast<ssize_t>(size);
}

bool WriteExactly(int descriptor, const void* data, std::size_t size) {
    return ::send(descriptor, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

}  // namespace

int main(int argc, char** argv) {
    const char* target = std::getenv("RELAY_TARGET");
    if (!target || argc < 2) return 64;
    int frontEnd = std::atoi(argv[argc - 1]);

    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return 70;
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pair[1], kEncoderChannel);
        std::vector<std::string> arguments(argv + 1, argv + argc);
        arguments.back() = std::to_string(kEncoderChannel);
        std::vector<char*> childArgv{const_cast<char*>(target)};
        for (std::string& argument : arguments) childArgv.push_back(argument.data());
        childArgv.push_back(nullptr);
        ::execv(target, childArgv.data());
        ::_exit(127);
    }
    ::close(pair[1]);

    char frame[12];
    char reply[4];
    int reports = 0;
    double total = 0.0, longest = 0.0;
    while (ReadExactly(pair[0], frame, sizeof frame)) {
        auto sent = std::chrono::steady_clock::now();
        if (!WriteExactly(frontEnd, frame, sizeof frame) || !ReadExactly(frontEnd, reply, sizeof reply)) break;
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
        ++reports;
        total += ms;
        longest = ms > longest ? ms : longest;
        if (!WriteExactly(pair[0], reply, sizeof reply)) break;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (const char* log = std::getenv("RELAY_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "reports %d mean_ms %.3f max_ms %.3f\n", reports, reports ? total / reports : 0.0,
                         longest);
            std::fclose(file);
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
