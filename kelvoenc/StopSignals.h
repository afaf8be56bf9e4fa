#pragma once

#include <csignal>

// Ctrl-C, a terminal hang-up or a termination request stop a conversion
// like a stop request does, so the temporary file is cleaned up. The signals
// are blocked for every thread created after this object and polled by the
// muxing loop; a broken pipe on standard error becomes a
// write error instead of a sudden end.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool Pending() const;

private:
    sigset_t m_previous;
};
