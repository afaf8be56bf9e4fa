#pragma once

#include <optional>
#include <vector>

// Pixels cut from each edge of a picture as it is shown (turned upright),
// in the source's own pixels.
struct CropEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsNone() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const CropEdges&) const = default;
};

enum class CropMode {
    None,       // the whole picture
    Automatic,  // the black borders measured over the kept part
    Custom,     // the user's own edges
};

// What the automatic crop measured: the borders every measured point keeps
// picture inside, and how many of the points found exactly those.
struct MeasuredCrop {
    CropEdges edges;
    int agreeing = 0;
    int points = 0;

    bool operator==(const MeasuredCrop&) const = default;
};

// What the user chose for one listed file alone, over the batch's settings.
struct FileOrder {
    // The sound tracks to keep, numbered from 1 in the source's order, the
    // one to play first leading; none: as the batch's settings say.
    std::optional<std::vector<int>> soundTracks{};
    // The subtitle tracks to keep, numbered from 1: the source's own in its
    // order, then the subtitle files beside it; none: as the batch's
    // settings say.
    std::optional<std::vector<int>> subtitleTracks{};
    std::optional<int> shownSubtitle{};  // the one players show from the start
    bool burnSubtitle = false;         // the shown one (else the first kept) drawn into the picture

    // The part kept, in seconds of the source from its start; none: from
    // its first picture, to its end.
    std::optional<double> startSeconds{};
    std::optional<double> endSeconds{};

    CropMode crop = CropMode::None;
    CropEdges customCrop{};                   // with CropMode::Custom
    std::optional<MeasuredCrop> measuredCrop{};  // with CropMode::Automatic, once measured

    bool operator==(const FileOrder&) const = default;
};
