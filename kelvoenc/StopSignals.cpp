#include "kelvoenc/StopSignals.h"

#include "protocol/StopSignals.h"

#include <pthread.h>

namespace {

sigset_t StopSignalSet() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kStopSignals) sigaddset(&signals, signal);
    return signals;
}

}  // namespace

StopSignals::StopSignals() {
    sigemptyset(&m_previous);
    pthread_sigmask(SIG_BLOCK, nullptr, &m_previous);
    Block();
}

void StopSignals::Block() {
    const sigset_t blocked = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

StopSignals::~StopSignals() {
    // A stop signal still pending would end the process the moment it is
    // unblocked; it has been answered already, so take it off first.
    const sigset_t waiting = StopSignalSet();
    while (Pending()) {
        int taken = 0;
        sigwait(&waiting, &taken);
    }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool StopSignals::Pending() {
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int signal : kStopSignals)
        if (sigismember(&pending, signal)) return true;
    return false;
}
