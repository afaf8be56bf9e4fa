#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "protocol/ProbeReport.h"

#include <string>
#include <vector>

class InputMedia;

// One subtitle track a conversion can take: a stream of the source, or a
// subtitle file beside it (film.srt, film.de.srt, film.ass, film.ssa,
// film.vtt) with the language its name gives. A file named like the source
// alone is the one players load by themselves, so it counts as shown by
// default.
struct SubtitleSource {
    SubtitleTrackReport report;
    std::string path;          // the file that holds it
    std::string formatName;    // the demuxer that reads that file
    int streamIndex = 0;       // its stream in that file
    int subtitleIndex = 0;     // the same, counting that file's subtitle streams alone
    std::string characterSet;  // of a text file that is not UTF-8: "CP1252"; else empty
    bool besideTheSource = false;
};

class SubtitleSources {
public:
    // The source's own subtitle tracks in its order, then the files beside
    // it in the order of their names; numbered from 1 in that order.
    static std::vector<SubtitleSource> Of(const InputMedia& source);
    // The file that holds a track, opened to read that track alone.
    static InputFormatPtr Open(const SubtitleSource& track);
};
