#include "text/ProgressText.h"

#include "text/FormatText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

std::string ConvertingTitle(int position, int count, const std::string& sourcePath) {
    return FormatText("Converting %d of %d \u2014 ", position, count) +
           std::filesystem::path(sourcePath).filename().string();
}

std::string ConvertingTitle(const std::vector<int>& positions, int count) {
    std::string list;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const char* separator = i == 0 ? "" : i + 1 == positions.size() ? " and " : ", ";
        list += separator + std::to_string(positions[i]);
    }
    return "Converting " + list + " of " + std::to_string(count);
}

std::string FormatClock(std::int64_t seconds) {
    return FormatText("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds % 3600 / 60), static_cast<long long>(seconds % 60));
}

std::optional<ProgressDisplay> ComputeProgressDisplay(double value, double doneSeconds, double totalSeconds,
                                                      std::uint32_t elapsedMs) {
    double perMille = (value + doneSeconds) * 1000.0 / totalSeconds;
    // A negative position (or an empty total) has no meaning on the bar either.
    if (!std::isfinite(perMille) || perMille > 1000.0 || perMille < 0.0) return std::nullopt;

    std::int64_t estimateMs = perMille == 0.0 ? static_cast<std::int64_t>(totalSeconds) * 1000
                                              : static_cast<std::int64_t>(elapsedMs * 1000.0 / perMille);
    int pm = static_cast<int>(perMille);
    std::string finished = FormatText("Finished %d.%01d%%", pm / 10, pm % 10);
    std::string text = "Total time:" + FormatClock(estimateMs / 1000) + ";" +
                       "Elapsed time:" + FormatClock(elapsedMs / 1000) + ";" + finished;
    const std::int64_t secondsLeft = std::max<std::int64_t>(0, estimateMs / 1000 - elapsedMs / 1000);
    return ProgressDisplay{std::move(text), pm, "Time left: " + FormatClock(secondsLeft)};
}
