#pragma once

#include <cstdint>

// The engine's state across runs: the user's stop request and the last
// progress value handled.
struct BatchProgress {
    bool cancelRequested = false;     // set by the progress window's Cancel
    double previousProgress = 999.0;  // the last progress value handled; never reset
};

// Milliseconds of a steady clock, wrapping at 2^32 like a tick counter; take
// differences in unsigned 32-bit arithmetic.
std::uint32_t SteadyTickCount();
