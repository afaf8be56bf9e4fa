// A stand-in encoder that speaks the report channel and follows a script, for
// what real files cannot produce. The script is the text of "<source>.script"
// (or of $FAKE_ENCODER_SCRIPT): whitespace-separated steps, run in order:
//   r<code>:<value>  send a report and wait for the reply; a reply of 1 stops
//   write            write the output file named after -o (logged as "wrote <path>")
//   temp             write the temporary file the real encoder writes first
// A probe (mode 1) writes nothing: its "write" and "temp" steps are skipped.
// A probe whose script runs to its end reports the source read (status 0)
// and, when given a next source, logs "next <path>" and runs its script.
// A crop measure (mode 4) follows "<source>.measure" instead, and writes
// nothing either: its crop is scripted as reports, r14:<width> and so on.
//   sleep:<ms>       wait without reporting
//   touch:<path>     create an empty file there
//   await:<path>     wait until that file exists (logged as "awaited <path>", or
//                    "gave up on <path>" after ten seconds)
//   ignore-term      ignore SIGTERM from now on
//   err:<text>       write text (underscores as blanks) and a newline to stderr
//   close            close the report channel
//   partial          send half a report and end
//   foreign          send a frame with a message number other than 0x720
//   kill:<signal>    end by that signal
//   exit:<status>    end with that status (the end of the script ends with 0)
// Each start (with its share of the threads, 0 for every core) and reply is
// appended to $FAKE_ENCODER_LOG.
#include "protocol/ReportFrame.h"
#include "protocol/TemporaryOutput.h"
#include "protocol/ThreadShare.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::FILE* OpenLog() {
    const char* path = std::getenv("FAKE_ENCODER_LOG");
    return path ? std::fopen(path, "a") : nullptr;
}

void Log(const std::string& line) {
    if (std::FILE* log = OpenLog()) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

std::string ReadScript(const std::string& source, bool measuring) {
    std::ifstream file(source + (measuring ? ".measure" : ".script"));
    if (file) return std::string(std::istreambuf_iterator<char>(file), {});
    const char* script = std::getenv("FAKE_ENCODER_SCRIPT");
    return script ? script : "";
}

std::string Link(const char* path) {
    char target[PATH_MAX];
    ssize_t length = ::readlink(path, target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : "?";
}

bool IsSocket(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISSOCK(status.st_mode);
}

void LogStart(int argc, char** argv, int handle) {
    std::string line = "start pid=" + std::to_string(::getpid()) + " handle=" + std::to_string(handle) +
                       " socket=" + (IsSocket(handle) ? "yes" : "no") + " stdin=" + Link("/proc/self/fd/0") +
                       " cwd=" + Link("/proc/self/cwd") + " threads=" + std::to_string(ThreadShareFromEnvironment()) +
                       " args=";
    for (int i = 1; i < argc; ++i) line += std::string(i > 1 ? " " : "") + argv[i];
    Log(line);
}

bool WriteAll(int handle, const void* data, std::size_t size) {
    return ::send(handle, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

// Returns the reply, or -1 when the channel is gone.
int Report(int handle, std::uint32_t message, std::uint32_t code, std::int32_t value) {
    ReportFrame frame{message, code, value};
    if (!WriteAll(handle, &frame, sizeof frame)) return -1;
    ReportReply reply = 0;
    if (::recv(handle, &reply, sizeof reply, MSG_WAITALL) != sizeof reply) return -1;
    Log("reply " + std::to_string(code) + " " + std::to_string(value) + " " + std::to_string(reply));
    return reply;
}

// The next source a probe run is given, or "" when the run is to end.
std::string NextSource(int handle) {
    if (Report(handle, kEncoderNotifyMessage, ReportSourceRead, 0) != kReplyNextSource) return "";
    std::uint32_t length = 0;
    if (::recv(handle, &length, sizeof length, MSG_WAITALL) != sizeof length) return "";
    std::string path(length, '\0');
    if (::recv(handle, path.data(), length, MSG_WAITALL) != static_cast<ssize_t>(length)) return "";
    return path;
}

// Runs the source's script: the status to end with, or -1 when the script
// has run to its end.
int RunScript(const std::string& source, const std::string& output, int handle, bool probing, bool measuring) {
    std::istringstream steps(ReadScript(source, measuring));
    for (std::string step; steps >> step;) {
        std::string argument = step.substr(step.find(':') + 1);
        if (step[0] == 'r') {
            std::uint32_t code = static_cast<std::uint32_t>(std::stoul(step.substr(1)));
            if (Report(handle, kEncoderNotifyMessage, code, std::stoi(argument)) == kReplyStop) return 0;
        } else if ((probing || measuring) && (step == "write" || step == "temp")) {
            continue;
        } else if (step == "write") {
            std::ofstream(output) << "converted " << source << "\n";
            Log("wrote " + output);
        } else if (step == "temp") {
            // Named as the front-end asked, as the encoder names it.
            std::string folder = output.substr(0, output.rfind('/') + 1);
            std::string name = TemporaryNameFromEnvironment();
            if (name.empty()) name = TemporaryOutputName("fake" + std::to_string(::getpid() % 9000 + 1000));
            std::ofstream(folder + name) << source << "\n";
        } else if (step.rfind("sleep:", 0) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argument)));
        } else if (step.rfind("touch:", 0) == 0) {
            std::ofstream{argument};
        } else if (step.rfind("await:", 0) == 0) {
            int waited = 0;
            for (; ::access(argument.c_str(), F_OK) != 0 && waited < 10000; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            Log((waited < 10000 ? "awaited " : "gave up on ") + argument);
        } else if (step == "ignore-term") {
            std::signal(SIGTERM, SIG_IGN);
            Log("ignoring SIGTERM");
        } else if (step.rfind("err:", 0) == 0) {
            for (char& c : argument) c = c == '_' ? ' ' : c;
            std::fprintf(stderr, "%s\n", argument.c_str());
        } else if (step == "close") {
            ::close(handle);
        } else if (step == "partial") {
            ReportFrame frame{kEncoderNotifyMessage, 6, 1};
            WriteAll(handle, &frame, sizeof frame / 2);
            return 0;
        } else if (step == "foreign") {
            Report(handle, 0x721, 6, 1);
        } else if (step.rfind("kill:", 0) == 0) {
            std::signal(std::stoi(argument), SIG_DFL);
            std::raise(std::stoi(argument));
        } else if (step.rfind("exit:", 0) == 0) {
            return std::stoi(argument);
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    // SOURCE [-o OUTPUT] [OPTIONS...] MODE HANDLE: a probe and a crop measure name no output.
    if (argc < 4) return 64;
    std::string source = argv[1];
    std::string output = std::string(argv[2]) == "-o" ? argv[3] : "";
    int handle = std::atoi(argv[argc - 1]);
    bool probing = std::string(argv[argc - 2]) == "1";
    bool measuring = std::string(argv[argc - 2]) == "4";
    LogStart(argc, argv, handle);
    for (;;) {
        int status = RunScript(source, output, handle, probing, measuring);
        if (status >= 0) return status;
        if (!probing || (source = NextSource(handle)).empty()) return 0;
        Log("next " + source);
    }
}
