#pragma once

#include "core/ConversionSettings.h"
#include "core/EncodeTargets.h"
#include "core/FileOrder.h"

#include <string>
#include <vector>

// The values of one encoder run that do not come from the settings.
struct EncoderRunValues {
    std::string sourcePath;
    std::string outputPath;
    int horizontalPad = 0;         // > 0: pad left and right (pillarbox)
    int verticalPad = 0;           // > 0: pad top and bottom (letterbox)
    int mode = 0;                  // 0 convert, 1 probe
    int handle = 0;                // the report channel's descriptor number
    double sourceFrameRate = 0.0;  // as reported for the entry, 0 if none
    FileOrder order{};
};

// The encoder's argument text. Refreshes the bitrates of the targets; the
// frame size is taken as the last ResolveFrameSize left it.
std::string BuildEncoderArguments(const EncoderRunValues& run, const ConversionSettings& settings,
                                  EncodeTargets& targets);

// A probe's arguments: the source, the mode and the report channel; a probe
// writes nothing, so it is given no conversion's options.
std::vector<std::string> ProbeArguments(const std::string& sourcePath, int handle);

// The encoder beside the program: programFolder + "kelvoenc" (".exe" on Windows).
std::string EncoderExecutablePath(const std::string& programFolder);
