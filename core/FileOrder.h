#pragma once

#include <optional>
#include <vector>

// What the user chose for one listed file alone, over the batch's settings.
struct FileOrder {
    // The sound tracks to keep, numbered from 1 in the source's order, the
    // one to play first leading; none: as the batch's settings say.
    std::optional<std::vector<int>> soundTracks;
    // The subtitle tracks to keep, numbered from 1: the source's own in its
    // order, then the subtitle files beside it; none: as the batch's
    // settings say.
    std::optional<std::vector<int>> subtitleTracks;
    std::optional<int> shownSubtitle;  // the one players show from the start
    bool burnSubtitle = false;         // the shown one (else the first kept) drawn into the picture

    bool operator==(const FileOrder&) const = default;
};
