#pragma once

#include <optional>
#include <vector>

// What the user chose for one listed file alone, over the batch's settings.
struct FileOrder {
    // The sound tracks to keep, numbered from 1 in the source's order, the
    // one to play first leading; none: as the batch's settings say.
    std::optional<std::vector<int>> soundTracks;
};
