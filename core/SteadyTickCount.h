#pragma once

#include <cstdint>

// Milliseconds of a steady clock, wrapping at 2^32 like a tick counter; take
// differences in unsigned 32-bit arithmetic.
std::uint32_t SteadyTickCount();
