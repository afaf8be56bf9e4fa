#pragma once

#include <string>

// printf-style formatting into a std::string, for texts with numbers. The
// numbers are written the same way under every locale (a point before the
// decimals, no grouping): these texts are read by the encoder, by the INI
// files and by the tests, never reformatted for the user's language.
__attribute__((format(printf, 1, 2))) std::string FormatText(const char* format, ...);
