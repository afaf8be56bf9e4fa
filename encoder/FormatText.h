#pragma once

#include <cstdio>
#include <string>

// printf-style formatting into a std::string, for filter descriptions and
// messages with numbers.
template <typename... Values>
std::string FormatText(const char* format, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}
