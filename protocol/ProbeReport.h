#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "protocol/ReportFrame.h"

// A probe's ratios (frame rate, pixel shape) travel as whole numbers: the
// ratio times kReportRatioScale, 0 when unknown. The encoder writes them and
// the front-end reads them only through these.
inline constexpr double kReportRatioScale = 10'000'000;

// A ratio as a report's value; 0 for an unknown or unusable one, the largest
// value for one too large to carry.
inline std::int32_t RatioReport(double ratio) {
    if (!(ratio > 0)) return 0;
    const double scaled = std::round(ratio * kReportRatioScale);
    if (scaled >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(scaled);
}

// A report's value as the ratio it carries. A negative value (an older
// encoder's overflow) stands for the largest ratio.
inline double ReportedRatio(std::int32_t value) {
    return (value < 0 ? std::numeric_limits<std::int32_t>::max() : value) / kReportRatioScale;
}
