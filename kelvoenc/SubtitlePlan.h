#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/SubtitleSources.h"

#include <optional>
#include <string>
#include <vector>

// What becomes of the chosen subtitle tracks in the output's format: the
// ones kept as tracks of its own (text in an MP4; text or pictures as a
// DVD's subpictures, up to 32, or as they are in Matroska), with the flags players
// go by, and the one drawn into the picture, text or pictures, which is
// where the formats without subtitle tracks take the one shown (else the
// first chosen). What cannot be kept is said.
class InputMedia;

struct SubtitlePlan {
    std::vector<SubtitleSource> kept;
    std::optional<SubtitleSource> burned;

    // None when no subtitle is chosen, else For the source's subtitles.
    static SubtitlePlan ForSource(const EncoderOptions& options, ContainerChoice container, const InputMedia& source);

    static SubtitlePlan For(const EncoderOptions& options, ContainerChoice container,
                            const std::vector<SubtitleSource>& sources, const std::string& sourcePath);
};
