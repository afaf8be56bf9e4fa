#pragma once

#include <string>

// printf-style formatting into a std::string, for texts with numbers.
__attribute__((format(printf, 1, 2))) std::string FormatText(const char* format, ...);
