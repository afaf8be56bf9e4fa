#pragma once

#include <csignal>

// Ctrl-C, a terminal hang-up or a termination request stop a run like a
// stop request does, so the temporary file is cleaned up. The signals are
// blocked for every thread created after this object and polled wherever the
// program waits: the muxing loop, the wait for the front-end's reply and
// every read of the source. A broken pipe on standard error becomes a write
// error instead of a sudden end.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // A stop signal has arrived (and waits, blocked, to be taken).
    static bool Pending();

private:
    sigset_t m_previous;
};
