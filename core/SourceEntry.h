#pragma once

#include "core/FileOrder.h"
#include "protocol/ProbeReport.h"

#include <string>
#include <vector>

// One file of the source list: its path, the properties the encoder
// reported when it was added, and what the user chose for it alone.
struct SourceEntry {
    std::string path;
    double durationSeconds = 0.0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    double sourceFrameRate = 0.0;
    double sourceSampleAspect = 1.0;  // width / height of one pixel
    bool hdr = false;                 // PQ or HLG pictures
    bool interlaced = false;
    bool bottomFieldFirst = false;                // of interlaced pictures
    std::vector<double> chapterSeconds{};         // where the source's chapters start; none when it has none
    std::vector<SoundTrackReport> soundTracks{};  // in the source's order
    // The source's own, then the subtitle files beside it.
    std::vector<SubtitleTrackReport> subtitleTracks{};
    FileOrder order{};
};
