#pragma once

#include <optional>
#include <string>
#include <string_view>

// A time of a film as people write it: "01:02:03.50" (hours, minutes,
// seconds and hundredths), also "2:03.5", "63.5" or "63". Written and read
// the same under every locale.
std::string FormatClockTime(double seconds);
// The seconds a text names; nullopt for anything else (a negative time, a
// minute or second field of 60 or more after the first field, a stray word).
std::optional<double> ParseClockTime(std::string_view text);
