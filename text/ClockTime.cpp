#include "text/ClockTime.h"

#include "text/FormatText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// A field of digits, with a fraction after the last one only.
std::optional<double> Field(std::string_view digits, bool mayHaveFraction) {
    if (digits.empty()) return std::nullopt;
    double value = 0;
    double scale = 0;  // > 0 once past the point
    for (char c : digits) {
        if (c == '.' && mayHaveFraction && scale == 0) {
            scale = 1;
        } else if (c >= '0' && c <= '9') {
            if (scale > 0) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == ".") return std::nullopt;
    return value;
}

std::vector<std::string_view> Fields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    for (std::size_t colon; (colon = text.find(':', from)) != std::string_view::npos; from = colon + 1)
        fields.push_back(text.substr(from, colon - from));
    fields.push_back(text.substr(from));
    return fields;
}

}  // namespace

std::string FormatClockTime(double seconds) {
    const auto hundredths = static_cast<std::int64_t>(std::llround(std::max(0.0, seconds) * 100));
    return FormatText("%02lld:%02lld:%02lld.%02lld", static_cast<long long>(hundredths / 360000),
                      static_cast<long long>(hundredths / 6000 % 60), static_cast<long long>(hundredths / 100 % 60),
                      static_cast<long long>(hundredths % 100));
}

std::optional<double> ParseClockTime(std::string_view text) {
    const std::vector<std::string_view> fields = Fields(text);
    if (fields.size() > 3) return std::nullopt;
    double seconds = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool last = i + 1 == fields.size();
        const std::optional<double> value = Field(fields[i], last);
        if (!value || (i > 0 && *value >= 60)) return std::nullopt;
        seconds = seconds * 60 + *value;
    }
    return seconds;
}
