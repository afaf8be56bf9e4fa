// The report channel as the front-end uses it: stop requests, a front-end
// that goes away, and the text mode for runs from a shell.

#include "EncoderTestSupport.h"
#include "core/ArgumentSplitter.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace {

ConversionSettings DvdSettings() {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    return settings;
}

// A run that has written real output when the stop comes.
struct StopCase {
    const char* name;
    ConversionSettings settings;
    ReportAnswer answer;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

ReportAnswer StopAt(int second) {
    return [second](const ReportFrame& frame) -> std::optional<ReportReply> {
        return frame.code == ReportProgress && frame.value >= second ? kReplyStop : kReplyContinue;
    };
}

ReportAnswer HangUpAt(int second) {
    return [second](const ReportFrame& frame) -> std::optional<ReportReply> {
        if (frame.code == ReportProgress && frame.value >= second) return std::nullopt;
        return kReplyContinue;
    };
}

class StopRequest : public testing::TestWithParam<StopCase> {};

TEST_P(StopRequest, EndsTheRunWithStatus4AndLeavesNothing) {
    const StopCase& c = GetParam();
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.mp4"),
                         folder.Path("stopped.out"),
                         {ResolveFrameSize(c.settings), {}},
                         EncoderConvert,
                         0,
                         25};
    EncoderRun encoder = RunFrontEndText(run, c.settings, c.answer, 20);

    EXPECT_TRUE(encoder.result.Exited(4)) << encoder.Describe();
    EXPECT_TRUE(folder.Entries().empty()) << "a stopped run left files behind";
    EXPECT_FALSE(ReportValues(encoder.result, ReportProgress).empty());
}

INSTANTIATE_TEST_SUITE_P(Channel, StopRequest,
                         testing::Values(StopCase{"ReplyOneAtTheFirstReport", ConversionSettings{}, StopAt(0)},
                                         StopCase{"ReplyOneMidRun", DvdSettings(), StopAt(1)},
                                         StopCase{"ChannelClosedAtTheFirstReport", ConversionSettings{}, HangUpAt(0)},
                                         StopCase{"ChannelClosedMidRun", DvdSettings(), HangUpAt(1)}),
                         [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// A stop signal that arrives while the encoder waits for the front-end's
// reply ends the run at once, in either mode, without waiting for the reply,
// even when the front-end has sent part of it and stalls.
bool EndsWithin(int pid, std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        siginfo_t info{};
        if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

struct SignalCase {
    const char* name;
    EncoderMode mode;
    int signal;
    bool partReplied = false;  // two of the reply's four bytes sent first
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

class SignalWhileWaitingForTheReply : public testing::TestWithParam<SignalCase> {};

TEST_P(SignalWhileWaitingForTheReply, EndsTheRunWithStatus4) {
    const auto [name, mode, signal, partReplied] = GetParam();
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.mp4"), folder.Path("out.avi"), {}, mode, 0, 25};
    ChildRequest request = FrontEndRequest(run, ConversionSettings{});
    request.timeoutSeconds = 20;
    int pid = 0;
    bool endedWhileWaiting = false;
    request.started = [&pid](int child) { pid = child; };
    request.answer = [&, signal = signal, partReplied = partReplied](const ReportFrame&) -> std::optional<ReportReply> {
        if (pid != 0) {
            if (partReplied) {
                EXPECT_EQ(write(request.channelParentEnd, "\0\0", 2), 2);
            }
            kill(pid, signal);
            endedWhileWaiting = EndsWithin(pid, std::chrono::seconds(5));
            pid = 0;
        }
        return kReplyContinue;
    };
    ChildResult result = RunChild(request);

    EXPECT_TRUE(endedWhileWaiting) << "the encoder went on waiting for the reply";
    EXPECT_TRUE(result.Exited(4)) << "status " << result.exitStatus << ", signal " << result.signal << "\n"
                                  << result.err;
    EXPECT_TRUE(folder.Entries().empty()) << "a stopped run left files behind";
}

INSTANTIATE_TEST_SUITE_P(Channel, SignalWhileWaitingForTheReply,
                         testing::Values(SignalCase{"ProbeTerm", EncoderProbe, SIGTERM},
                                         SignalCase{"ConvertTerm", EncoderConvert, SIGTERM},
                                         SignalCase{"ConvertHangUp", EncoderConvert, SIGHUP},
                                         SignalCase{"ConvertQuit", EncoderConvert, SIGQUIT},
                                         SignalCase{"ConvertTermAfterPartOfTheReply", EncoderConvert, SIGTERM, true}),
                         [](const testing::TestParamInfo<SignalCase>& info) { return std::string(info.param.name); });

// A stop signal sent the moment the encoder starts, while it is still
// loading, held back by the signal mask the front-end starts it with.
TEST(StopSignal, SentAtTheStartEndsTheRunWithStatus4) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.mp4"), folder.Path("out.avi"), {}, EncoderConvert, 0, 25};
    ChildRequest request = FrontEndRequest(run, ConversionSettings{});
    request.timeoutSeconds = 20;
    request.started = [](int child) { kill(child, SIGINT); };
    sigset_t stops, previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    ChildResult result = RunChild(request);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    EXPECT_TRUE(result.Exited(4)) << "status " << result.exitStatus << ", signal " << result.signal << "\n"
                                  << result.err;
    EXPECT_TRUE(folder.Entries().empty()) << "a stopped run left files behind";
}

// Standard error a pipe whose reader has gone: the finished output is in
// place and the status says so, rather than a death by SIGPIPE.
TEST(StopSignal, BrokenStandardErrorLeavesAnHonestStatus) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.avi"), folder.Path("out.avi"), {}, EncoderConvert, -1, 25};
    std::vector<std::string> arguments = EncoderArgv(JoinArguments(ConversionArguments(run, ConversionSettings{})));
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_TRUE(ReadMediaInfo(run.outputPath).readable);
}

// The output's folder renamed during the run: the output cannot take its
// name there (status 3), and the temporary file goes with the folder and is
// removed from it.
TEST(Output, FolderRenamedDuringTheRunKeepsNothing) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path("chosen"));
    ConversionSettings settings = DvdSettings();
    EncoderRunValues run{FixturePath("sample.mp4"),
                         folder.Path("chosen/out.vob"),
                         {ResolveFrameSize(settings), {}},
                         EncoderConvert,
                         0,
                         25};
    bool renamed = false;
    ReportAnswer rename = [&](const ReportFrame&) -> std::optional<ReportReply> {
        if (!renamed) std::filesystem::rename(folder.Path("chosen"), folder.Path("renamed"));
        renamed = true;
        return kReplyContinue;
    };
    EncoderRun encoder = RunFrontEndText(run, settings, rename);

    EXPECT_TRUE(encoder.result.Exited(3)) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"renamed"});
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path("renamed"))) << "the temporary file was left behind";
}

TEST(Channel, ClosedBeforeTheFirstReportStopsTheRun) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.avi"), folder.Path("gone.avi"), {}, EncoderConvert, 0, 25};
    ChildRequest request = FrontEndRequest(run, ConversionSettings{});
    request.timeoutSeconds = 20;
    request.closeChannelAtStart = true;
    ChildResult result = RunChild(request);

    EXPECT_TRUE(result.Exited(4)) << CommandLine(request.arguments) << "\nstatus " << result.exitStatus << " signal "
                                  << result.signal << "\n"
                                  << result.err;
    EXPECT_TRUE(folder.Entries().empty());
}

// Until the file is complete it lives under another name, so a run that
// dies never leaves a half-written file under the output's name.
TEST(Channel, OutputNameAppearsOnlyWhenComplete) {
    ScratchFolder folder;
    ConversionSettings settings = DvdSettings();
    EncoderRunValues run{
        FixturePath("sample.mp4"), folder.Path("whole.vob"), {ResolveFrameSize(settings), {}}, EncoderConvert, 0, 25};
    int seenEarly = 0;
    ReportAnswer watch = [&](const ReportFrame&) -> std::optional<ReportReply> {
        seenEarly += std::filesystem::exists(run.outputPath);
        return kReplyContinue;
    };
    EncoderRun encoder = RunFrontEndText(run, settings, watch);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(seenEarly, 0) << "the output's name existed during the run";
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"whole.vob"});
}

TEST(Channel, ProbeEndsWhenTheChannelIsClosed) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.avi"), folder.Path("probe.avi"), {}, EncoderProbe, 0, 0};
    ChildRequest request = FrontEndRequest(run, ConversionSettings{});
    request.timeoutSeconds = 10;
    request.closeChannelAtStart = true;
    ChildResult result = RunChild(request);

    EXPECT_FALSE(result.timedOut) << "the probe hung";
    EXPECT_EQ(result.signal, 0) << "the probe was killed by signal " << result.signal;
    EXPECT_TRUE(folder.Entries().empty());
}

// HANDLE values that name no socket: the run reports as text on standard
// error instead, and never writes binary frames there.
class TextMode : public testing::TestWithParam<int> {};

TEST_P(TextMode, ProbeReportsOnStandardError) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("odd-size.avi"), folder.Path("probe.avi"), {}, EncoderProbe, GetParam(), 0};
    EncoderRun encoder = RunArguments(ConversionArguments(run, ConversionSettings{}), 10, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("321"), std::string::npos) << "width not reported";
    EXPECT_NE(encoder.result.err.find("241"), std::string::npos) << "height not reported";
    EXPECT_EQ(encoder.result.err.find('\0'), std::string::npos) << "binary frames on standard error";
    EXPECT_TRUE(folder.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Channel, TextMode, testing::Values(0, -1, 2, 99), [](const testing::TestParamInfo<int>& info) {
    return info.param < 0 ? "Minus" + std::to_string(-info.param) : "Handle" + std::to_string(info.param);
});

TEST(Channel, TextModeConversionFinishes) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath("sample.avi"), folder.Path("shell.avi"), {}, EncoderConvert, 0, 25};
    EncoderRun encoder = RunArguments(ConversionArguments(run, ConversionSettings{}), 60, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"shell.avi"});
    EXPECT_TRUE(ReadMediaInfo(run.outputPath).readable);
}

}  // namespace
