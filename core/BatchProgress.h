#pragma once

#include <cstdint>

// The state of the run in progress, shared by the encoder run, its report
// handling and the batch driver.
struct BatchProgress {
    std::uint32_t startTick = 0;     // SteadyTickCount() at the start of the batch
    double doneSeconds = 0.0;        // durations of the batch's finished files
    bool cancelRequested = false;    // set by the progress window's Cancel
    bool probeFailed = false;        // cleared before each probe, set by a bad property report
    double previousProgress = 999.0; // the last progress value handled; never reset
    int pumpCounter = 0;             // progress reports since the last extra pump
};

// Milliseconds of a steady clock, wrapping at 2^32 like a tick counter; take
// differences in unsigned 32-bit arithmetic.
std::uint32_t SteadyTickCount();
