#include "core/KeptPart.h"

#include "text/FormatText.h"

#include <algorithm>

namespace {

int DownToEven(int value) { return value - value % 2; }

std::optional<PictureCrop> Kept(const CropEdges& edges, int width, int height) {
    const int x = DownToEven(edges.left);
    const int y = DownToEven(edges.top);
    return PictureCrop{DownToEven(width - x - edges.right), DownToEven(height - y - edges.bottom), x, y};
}

}  // namespace

double KeptSeconds(const SourceEntry& entry) {
    const FileOrder& order = entry.order;
    double end = entry.durationSeconds;
    if (order.endSeconds) end = end > 0 ? std::min(end, *order.endSeconds) : *order.endSeconds;
    return std::max(0.0, end - order.startSeconds.value_or(0.0));
}

std::vector<double> KeptChapters(const SourceEntry& entry) {
    const double start = entry.order.startSeconds.value_or(0.0);
    const std::optional<double> end = entry.order.endSeconds;
    std::vector<double> kept;
    for (double chapter : entry.chapterSeconds) {
        if (end && chapter >= *end) break;
        const double moved = std::max(0.0, chapter - start);
        // Of the chapters from before the start, one runs across it: it begins at 0.
        if (moved > 0.0 || kept.empty()) kept.push_back(moved);
    }
    return kept;
}

std::optional<CropEdges> CropInUse(const FileOrder& order) {
    switch (order.crop) {
    case CropMode::Custom: return order.customCrop;
    case CropMode::Automatic:
        if (order.measuredCrop) return order.measuredCrop->edges;
        return std::nullopt;
    case CropMode::None: return std::nullopt;
    }
    return std::nullopt;
}

std::string CropProblem(const CropEdges& edges, int width, int height) {
    const bool negative = std::min({edges.left, edges.top, edges.right, edges.bottom}) < 0;
    const std::optional<PictureCrop> kept = Kept(edges, width, height);
    if (!negative && kept->width > 0 && kept->height > 0) return "";
    return FormatText("the crop (left %d, top %d, right %d, bottom %d) leaves no picture of its %dx%d frame",
                      edges.left, edges.top, edges.right, edges.bottom, width, height);
}

std::optional<PictureCrop> KeptPicture(const SourceEntry& entry) {
    const std::optional<CropEdges> edges = CropInUse(entry.order);
    if (!edges || edges->IsNone() || entry.sourceWidth <= 0 || entry.sourceHeight <= 0) return std::nullopt;
    if (!CropProblem(*edges, entry.sourceWidth, entry.sourceHeight).empty()) return std::nullopt;
    return Kept(*edges, entry.sourceWidth, entry.sourceHeight);
}

FrameSize KeptPictureSize(const SourceEntry& entry) {
    const std::optional<PictureCrop> kept = KeptPicture(entry);
    if (!kept) return {entry.sourceWidth, entry.sourceHeight};
    return {kept->width, kept->height};
}
