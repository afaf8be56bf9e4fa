#pragma once

#include "protocol/ReportFrame.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Answers one report of the encoder: a reply to send back, or nothing to
// close the channel instead (the front-end has gone away).
using ReportAnswer = std::function<std::optional<ReportReply>(const ReportFrame&)>;

struct ChildRequest {
    std::vector<std::string> arguments;  // arguments[0] is the program's path
    std::string workingFolder;           // empty: the test's own
    double timeoutSeconds = 60;
    // The child's end of a report channel, inherited at this descriptor
    // number; -1 for none. The parent's end is `channelParentEnd`.
    int channelChildEnd = -1;
    int channelParentEnd = -1;
    ReportAnswer answer;  // empty: every report is answered with 0
    // A probe run's further sources: each "source read" report is answered
    // with the next of them while any are left.
    std::vector<std::string> nextSources;
    // Close the parent's end right after the start, before any report.
    bool closeChannelAtStart = false;
    // Added to the child's environment, as "NAME=value".
    std::vector<std::string> environment;
    // Told the child's process id right after the start.
    std::function<void(int pid)> started;
};

struct ChildResult {
    bool started = false;
    bool timedOut = false;  // killed after the time limit
    int exitStatus = -1;    // -1 unless the child exited normally
    int signal = 0;         // the signal that ended it, 0 if none
    std::string out;
    std::string err;
    std::vector<ReportFrame> reports;
    bool channelBroken = false;  // the child sent a partial frame or the channel failed
    long peakMemoryKb = 0;       // the child's largest resident size
    double seconds = 0;          // from the start to the end

    bool Exited(int status) const { return exitStatus == status; }
};

// Runs a program without a shell, collects its standard output and error,
// answers its reports and kills it when it overruns the time limit.
ChildResult RunChild(ChildRequest request);

// A connected Unix stream socket pair for the report channel: the child's
// end stays inheritable, the parent's end is closed on exec.
struct ChannelPair {
    int parentEnd = -1;
    int childEnd = -1;
};
ChannelPair MakeReportChannel();
