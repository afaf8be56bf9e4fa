#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Texts of the progress window.
inline constexpr const char* kFirstProgressText = "Total time:00:00:00,Elapsed time:00:00:00;Finished 0.0%";
inline constexpr const char* kCancellingText = "Cancel processing...";
inline constexpr int kProgressBarMaximum = 1000;

// The progress window's title while a file converts: "Converting 3 of 8 —
// party.avi", with the 1-based position, the batch's size and the source's
// file name.
std::string ConvertingTitle(int position, int count, const std::string& sourcePath);
// While several convert side by side, their positions in ascending order:
// "Converting 3 and 4 of 10", "Converting 3, 4 and 7 of 10".
std::string ConvertingTitle(const std::vector<int>& positions, int count);

// Seconds as "%02d:%02d:%02d"; hours are not capped (100:00:00).
std::string FormatClock(std::int64_t seconds);

struct ProgressDisplay {
    std::string text;      // "Total time:...;Elapsed time:...;Finished 24.8%"
    int barPosition;       // per-mille of the batch
    std::string timeLeft;  // "Time left: 00:03:08", the estimate less the time elapsed
};

// What a progress report shows: `value` seconds of the current file are done,
// `doneSeconds` of the batch's earlier files, of `totalSeconds` in all, after
// `elapsedMs` of the batch. The estimated total time assumes the batch keeps
// its average speed so far; before anything is done it is the batch's media
// duration. Nothing is shown (nullopt) for a position beyond the batch or
// before its start.
std::optional<ProgressDisplay> ComputeProgressDisplay(double value, double doneSeconds, double totalSeconds,
                                                      std::uint32_t elapsedMs);
