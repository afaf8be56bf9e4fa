#pragma once

#include "engine/EncoderProcess.h"

#include <QSocketNotifier>
#include <QTimer>

#include <memory>

#include <sys/types.h>

// The encoder as a child process on POSIX: the report channel is a connected
// Unix stream socket pair whose child end is descriptor 3 in the encoder;
// standard output goes to the null device and standard error into a pipe of
// which the last few kilobytes are kept. The end of the process is watched
// through a process descriptor (or, without one, the channel's end), so
// nothing waits outside the event loop. Stopping sends SIGTERM and, after
// kStopGraceMs, SIGKILL; one still running when this object goes is
// followed to its end the same way, without waiting for it.
class PosixEncoderProcess final : public EncoderProcess {
    Q_OBJECT
public:
    static constexpr int kStopGraceMs = 2000;

    PosixEncoderProcess();
    ~PosixEncoderProcess() override;
    PosixEncoderProcess(const PosixEncoderProcess&) = delete;
    PosixEncoderProcess& operator=(const PosixEncoderProcess&) = delete;

    int ChannelHandle() const override;
    bool Start(const std::string& program, const std::vector<std::string>& arguments, std::string& error) override;
    void Reply(ReportReply reply) override;
    void ReplyWithSource(const std::string& path) override;
    void Stop() override;

private:
    void WatchDescriptors();
    void OnChannelReadable();
    void OnErrorsReadable();
    void OnExited();
    // Each returns false once its descriptor has reached its end.
    bool ReadReports();
    bool ReadErrors();
    // Hands the next buffered report over, unless one waits for its reply.
    void HandPendingReport();
    void Answer(const std::string& bytes);
    void Send(const std::string& bytes);
    void Kill();
    EncoderExit Reap();
    // A process still running is asked to stop and handed to a reaper that
    // follows it to its end from the event loop; nothing waits for it here.
    void LetGo();
    void CloseAll();

    pid_t m_pid = -1;    // the running child; -1 once reaped
    int m_channel = -1;  // our end of the report channel
    int m_errors = -1;   // read end of the encoder's standard error
    int m_exit = -1;     // process descriptor, readable once the process has ended
    std::string m_pendingReport;
    std::string m_errorTail;
    bool m_awaitingReply = false;
    bool m_handing = false;  // HandPendingReport is handing reports over
    std::unique_ptr<QSocketNotifier> m_reportNotifier;
    std::unique_ptr<QSocketNotifier> m_errorNotifier;
    std::unique_ptr<QSocketNotifier> m_exitNotifier;
    QTimer m_killTimer;
};
