#include "core/Padding.h"

#include "core/FormatCatalogue.h"

#include <cstdint>

namespace {

// Each step wraps to 32 bits as 32-bit arithmetic does, without the undefined
// behaviour of signed overflow.
std::int32_t Wrap32(std::int64_t value) { return static_cast<std::int32_t>(value); }

std::int32_t Pad(std::int32_t target, std::int32_t sourceAlong, std::int32_t otherTarget, std::int32_t sourceAcross) {
    std::int32_t product = Wrap32(std::int64_t{sourceAlong} * otherTarget);
    return Wrap32(std::int64_t{target} - Wrap32(std::int64_t{product} / sourceAcross));
}

}  // namespace

Padding ComputePadding(const ConversionSettings& settings, EncodeTargets& targets, int sourceWidth,
                       int sourceHeight) {
    ResolveFrameSize(settings, targets);
    int width = targets.width;
    int height = targets.height;
    if (!settings.letterbox || width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return {};
    return {Pad(width, sourceWidth, height, sourceHeight), Pad(height, sourceHeight, width, sourceWidth)};
}
