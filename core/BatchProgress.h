#pragma once

#include <cstdint>

// The engine's state across runs: the user's stop request.
struct BatchProgress {
    bool cancelRequested = false;  // set by the progress window's Cancel
};

// Milliseconds of a steady clock, wrapping at 2^32 like a tick counter; take
// differences in unsigned 32-bit arithmetic.
std::uint32_t SteadyTickCount();
