#pragma once

#include "gui/runner/EncoderProcess.h"

#include <sys/types.h>

// The encoder as a child process on POSIX: the report channel is a connected
// Unix stream socket pair whose child end is descriptor 3 in the encoder;
// standard output goes to the null device and standard error into a pipe of
// which the last few kilobytes are kept. The end of the process is watched
// through a process descriptor, so the wait sleeps in the event loop.
class PosixEncoderProcess final : public EncoderProcess {
public:
    PosixEncoderProcess() = default;
    ~PosixEncoderProcess() override;
    PosixEncoderProcess(const PosixEncoderProcess&) = delete;
    PosixEncoderProcess& operator=(const PosixEncoderProcess&) = delete;

    int ChannelHandle() const override;
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               std::string& error) override;
    EncoderExit WaitForExit(const ReportHandler& onReport) override;

private:
    // Each returns false once its descriptor has reached its end.
    bool ReadReports(const ReportHandler& onReport);
    bool ReadErrors();
    EncoderExit Reap();
    void CloseAll();

    pid_t m_pid = -1;
    int m_channel = -1;  // our end of the report channel
    int m_errors = -1;   // read end of the encoder's standard error
    int m_exit = -1;     // process descriptor, readable once the process has ended
    std::string m_pendingReport;
    std::string m_errorTail;
};
