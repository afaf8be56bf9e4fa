#pragma once

#include "core/ConversionSettings.h"
#include "core/FileOrder.h"
#include "core/KeptPart.h"
#include "core/Padding.h"
#include "core/SubtitleChoice.h"

#include <optional>
#include <string>
#include <vector>

// The values of one conversion run that do not come from the settings.
struct EncoderRunValues {
    std::string sourcePath;
    std::string outputPath;
    FramePlan frame{};             // the planned frame size and bars
    int mode = 0;                  // 0 convert, 1 probe
    int handle = 0;                // the report channel's descriptor number
    double sourceFrameRate = 0.0;  // as reported for the entry, 0 if none
    int fittedVideoKbps = 0;       // > 0: the batch's video rate, fitted to its disc
    FileOrder order{};             // its start and end
    std::optional<PictureCrop> crop{};  // what KeptPicture keeps; none: the whole picture
    // The sound tracks to keep, numbered from 1, the one to play first
    // leading; none: the one players pick.
    std::vector<int> soundTracks{};
    SubtitlePick subtitles{};  // none: no subtitles
};

// kelvoenc's arguments, one word each, as its runs are started with them:
// a conversion; a preview, the picture that conversion makes of the source
// `seconds` in, written to run.outputPath with no report channel; a probe
// (the source, the mode and the report channel, since a probe writes
// nothing); the measuring of a crop over the part from `start` to `end`
// (none: the source's own); a menu's still, the source's picture `seconds`
// in; and a menu page, a still of the settings' disc format held for a
// second over silence.
std::vector<std::string> ConversionArguments(const EncoderRunValues& run, const ConversionSettings& settings);
std::vector<std::string> PreviewArguments(const EncoderRunValues& run, const ConversionSettings& settings,
                                          double seconds);
std::vector<std::string> ProbeArguments(const std::string& sourcePath, int handle);
std::vector<std::string> MeasureCropArguments(const std::string& sourcePath, std::optional<double> start,
                                              std::optional<double> end, int handle);
std::vector<std::string> StillArguments(const std::string& sourcePath, const std::string& picturePath, double seconds);
std::vector<std::string> MenuPageArguments(const std::string& picturePath, const std::string& outputPath,
                                           const ConversionSettings& settings, int fittedVideoKbps);

// A conversion's argument text, as the log shows it: the words joined by
// blanks, the source and the output (the first and third words) in quotes.
std::string JoinArguments(const std::vector<std::string>& words);

// The encoder beside the program.
std::string EncoderExecutablePath(const std::string& programFolder);
