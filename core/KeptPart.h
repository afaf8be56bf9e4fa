#pragma once

#include "core/FileOrder.h"
#include "core/FormatCatalogue.h"
#include "core/SourceEntry.h"

#include <optional>
#include <string>
#include <vector>

// The part of a listed file a conversion keeps: the stretch between the
// chosen start and end, and the picture inside the crop in use.

// The rectangle of the shown (upright) picture a conversion keeps, in the
// source's pixels; every value even, as 4:2:0 pictures need.
struct PictureCrop {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;

    bool operator==(const PictureCrop&) const = default;
};

// The seconds of the source a conversion keeps: min(length, end) - start,
// never below 0. A file of unknown length (0) runs to its end, if it has one.
double KeptSeconds(const SourceEntry& entry);

// The source's chapters as the kept part has them: those before the start
// or from the end on dropped, the rest moved by the start, and a chapter
// running across the start beginning at 0.
std::vector<double> KeptChapters(const SourceEntry& entry);

// The edges the order's crop cuts: Custom's own, Automatic's once measured;
// none for CropMode::None and for Automatic not measured yet.
std::optional<CropEdges> CropInUse(const FileOrder& order);

// Why these edges cannot crop a shown picture of `width` x `height` (a
// negative edge, or nothing left between them), as words that follow the
// file's name; empty when they can.
std::string CropProblem(const CropEdges& edges, int width, int height);

// What the entry's crop keeps of its shown picture: X and Y are the left
// and top edges taken down to even, W and H what remains before the right
// and bottom edges, taken down to even. None without a crop in use, for a
// picture of unknown size, and for edges CropProblem refuses.
std::optional<PictureCrop> KeptPicture(const SourceEntry& entry);

// The shown picture's size after the crop: what a conversion plans its
// frame and bars with.
FrameSize KeptPictureSize(const SourceEntry& entry);
