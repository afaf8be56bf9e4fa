#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceEntry.h"

#include <string>
#include <vector>

// Which of a source's sound tracks its output keeps, numbered as kelvoenc
// takes them: from 1, in the source's order of sound tracks.
class SoundTrackChoice {
public:
    // The file's own choice, else the batch's: for "All tracks", every one,
    // the track the source marks to be played first leading. Nothing (the
    // one players pick) for "The default track" and for a source with one
    // track, so that such a file's argument text stays as it was.
    static std::vector<int> Chosen(const SourceEntry& source, const ConversionSettings& settings);

    // The tracks the output keeps, as many as the format holds: the chosen
    // ones, else the one players pick; none for a silent source.
    static std::vector<int> Kept(const SourceEntry& source, const ConversionSettings& settings);

    // The languages of the kept tracks in their output order, as many as
    // the format holds, for a disc's tables; "" for a track without one.
    static std::vector<std::string> Languages(const SourceEntry& source, const ConversionSettings& settings);

    // What the output leaves out of the tracks chosen, in words ("2 sound
    // tracks left out: the format holds one"); empty when nothing.
    static std::string LeftOut(const SourceEntry& source, const ConversionSettings& settings);
};
