#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>

// How many threads one encoder run may keep busy. The front-end runs several
// conversions at once and gives each its share of the cores through this
// environment variable, so that the argument text stays as it is; without it
// a run takes every core.
inline constexpr const char* kThreadShareVariable = "KELVOENC_THREADS";
inline constexpr int kMaxThreadShare = 16;

// The share from the environment: 1 to kMaxThreadShare, or 0 (as many as the
// libraries like) when the variable is unset or not a number.
inline int ThreadShareFromEnvironment() {
    const char* text = std::getenv(kThreadShareVariable);
    if (!text) return 0;
    char* end = nullptr;
    long threads = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || threads < 1) return 0;
    return static_cast<int>(std::min<long>(threads, kMaxThreadShare));
}

// The variable's setting for a share, "KELVOENC_THREADS=3".
inline std::string ThreadShareSetting(int threads) {
    return std::string(kThreadShareVariable) + "=" + std::to_string(threads);
}
