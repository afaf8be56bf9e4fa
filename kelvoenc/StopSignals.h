#pragma once

#include <csignal>

// Ctrl-C, a terminal hang-up, a quit or a termination request stop a run
// like a stop request does, so the temporary file is cleaned up. The signals
// are blocked for every thread created after Block() and polled wherever the
// program waits: the muxing loop, the wait for the front-end's reply and
// every read of the source. One that arrived before the program could block
// it (held back by the front-end's own signal mask) is found pending and
// stops the run the same way. A broken pipe on standard error is ignored: a
// write error, not a sudden end after the output is in place.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Blocks the stop signals for the calling thread and the threads it
    // starts from now on, and ignores SIGPIPE.
    static void Block();
    // A stop signal has arrived (and waits, blocked, to be taken).
    static bool Pending();

private:
    sigset_t m_previous;
};
