#include "engine/StopSignalNotifier.h"

#include "protocol/StopSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The self-pipe: the handler only writes the signal's number, the event loop does the rest.
int g_pipe[2] = {-1, -1};

void OnStopSignal(int signal) {
    char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

StopSignalNotifier::StopSignalNotifier(QObject* parent) : QObject(parent) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignalNotifier::OnSignal);

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t unblock;
    sigemptyset(&unblock);
    for (int signal : kStopSignals) {
        ::sigaction(signal, &action, nullptr);
        sigaddset(&unblock, signal);
    }
    // A launcher may hand the signals over blocked; a blocked SIGTERM would
    // never reach the handler.
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
}

StopSignalNotifier::~StopSignalNotifier() {
    if (!m_notifier) return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (int signal : kStopSignals) ::sigaction(signal, &fallback, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void StopSignalNotifier::OnSignal() {
    char bytes[16];
    // Every signal waiting asks the same: the pipe is only emptied.
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit Received();
}
