#include "encoder/StopSignals.h"

#include <pthread.h>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

StopSignals::StopSignals() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signal : kStopSignals) sigaddset(&blocked, signal);
    sigaddset(&blocked, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &blocked, &m_previous);
}

StopSignals::~StopSignals() {
    // A stop signal still pending would end the process the moment it is
    // unblocked; it has been answered already, so take it off first.
    while (Pending()) {
        sigset_t waiting;
        sigemptyset(&waiting);
        for (int signal : kStopSignals) sigaddset(&waiting, signal);
        int taken = 0;
        sigwait(&waiting, &taken);
    }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool StopSignals::Pending() const {
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int signal : kStopSignals)
        if (sigismember(&pending, signal)) return true;
    return false;
}
