#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceEntry.h"

#include <optional>
#include <string>
#include <vector>

// The subtitle tracks one run is given, numbered as kelvoenc takes them:
// from 1, the source's own in its order, then the files beside it.
struct SubtitlePick {
    std::vector<int> tracks{};    // to keep
    std::optional<int> shown{};   // the one players show from the start
    std::optional<int> burned{};  // the one drawn into the picture

    bool operator==(const SubtitlePick&) const = default;
};

class SubtitleChoice {
public:
    // The file's own choice, else the batch's: for "Forced and default",
    // the tracks the source shows by itself (flagged forced or default, and
    // a file named like the source alone); for "All", every one.
    static SubtitlePick Chosen(const SourceEntry& source, const ConversionSettings& settings);

    // The languages of a DVD's subpicture streams, in order: the chosen
    // tracks but the one drawn in, up to 32; "" for a track without one.
    // None for the other formats.
    static std::vector<std::string> DiscLanguages(const SourceEntry& source, const ConversionSettings& settings);

    // What the output leaves out of the subtitles chosen, in words ("2
    // subtitles left out: MP4 holds text subtitles"); empty when nothing.
    static std::string LeftOut(const SourceEntry& source, const ConversionSettings& settings);
};
