#pragma once

#include "gui/runner/EncoderProcess.h"

#include <QTimer>

class QSocketNotifier;

#include <sys/types.h>

// The encoder as a child process on POSIX: the report channel is a connected
// Unix stream socket pair whose child end is descriptor 3 in the encoder;
// standard output goes to the null device and standard error into a pipe of
// which the last few kilobytes are kept. The end of the process is watched
// through a process descriptor, so the wait sleeps in the event loop.
// Stopping sends SIGTERM and, after kStopGraceMs, SIGKILL.
class PosixEncoderProcess final : public EncoderProcess {
public:
    static constexpr int kStopGraceMs = 2000;

    PosixEncoderProcess();
    ~PosixEncoderProcess() override;
    PosixEncoderProcess(const PosixEncoderProcess&) = delete;
    PosixEncoderProcess& operator=(const PosixEncoderProcess&) = delete;

    int ChannelHandle() const override;
    bool Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error) override;
    EncoderExit WaitForExit(const ReportHandler& onReport) override;
    void Reply(ReportReply reply) override;
    void Stop() override;

private:
    // Each returns false once its descriptor has reached its end.
    bool ReadReports();
    bool ReadErrors();
    // Hands the buffered reports over until one is left unanswered.
    void HandlePendingReports();
    void Send(ReportReply reply);
    void Kill();
    EncoderExit Reap();
    // A process still running is stopped as Stop would, waiting for it here.
    void StopAndReap();
    void CloseAll();

    pid_t m_pid = -1;    // the running child; -1 once reaped
    int m_channel = -1;  // our end of the report channel
    int m_errors = -1;   // read end of the encoder's standard error
    int m_exit = -1;     // process descriptor, readable once the process has ended
    std::string m_pendingReport;
    std::string m_errorTail;
    const ReportHandler* m_onReport = nullptr;  // during WaitForExit
    bool m_awaitingReply = false;
    QSocketNotifier* m_reportNotifier = nullptr;  // during WaitForExit
    QTimer m_killTimer;
};
