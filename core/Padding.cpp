#include "core/Padding.h"

#include "core/FormatCatalogue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// A display shape as a fraction of whole numbers; long double holds their
// products exactly for every real picture size.
struct Shape {
    long double across;
    long double down;
};

// The simplest fraction within the seven decimals the probe reports, so
// that a 64/45 pixel gives exactly the 16:9 shape it was made for.
Shape SimplestFraction(double value) {
    constexpr double kReportPrecision = 0.00000005;
    if (!(value > 0)) return {1, 1};
    long double num = 1, den = 0, previousNum = 0, previousDen = 1;
    double rest = value;
    for (int term = 0; term < 20; ++term) {
        long double whole = std::floor(rest);
        long double nextNum = whole * num + previousNum;
        long double nextDen = whole * den + previousDen;
        previousNum = num, previousDen = den, num = nextNum, den = nextDen;
        if (std::fabs(double(num / den) - value) < kReportPrecision || rest == whole) break;
        rest = 1.0 / (rest - double(whole));
    }
    return {num, den};
}

Shape SourceShape(int width, int height, double sampleAspect) {
    Shape pixel = SimplestFraction(sampleAspect);
    return {width * pixel.across, height * pixel.down};
}

Shape FrameShape(const ConversionSettings& settings, int width, int height) {
    const AspectEntry* flagged = ChosenAspect(settings);
    if (flagged && flagged->displayWidth > 0 && flagged->displayHeight > 0)
        return {static_cast<long double>(flagged->displayWidth), static_cast<long double>(flagged->displayHeight)};
    return {static_cast<long double>(width), static_cast<long double>(height)};
}

// Target pixels along one side not covered when the picture fills the other:
// target - target x (picture shape / frame shape), the product truncated.
int Leftover(int target, long double pictureShape, long double frameShape) {
    long double covered = std::floor(target * pictureShape / frameShape);
    long double left = target - covered;
    return static_cast<int>(
        std::clamp<long double>(left, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Padding PadsFor(Shape picture, Shape frame, int width, int height) {
    return {Leftover(width, picture.across * frame.down, picture.down * frame.across),
            Leftover(height, picture.down * frame.across, picture.across * frame.down)};
}

bool IsPortrait(Shape shape) { return shape.down > shape.across; }

// MP4's sizes name landscape frames; a portrait source, as it shows, comes
// out at the same size turned upright, as phones record it.
void TurnForPortraitSource(const ConversionSettings& settings, FrameSize& size, Shape source) {
    if (FamilyOf(settings.outputFormat) == FormatFamily::ConstantQuality && IsPortrait(source) &&
        size.width > size.height)
        std::swap(size.width, size.height);
}

}  // namespace

FramePlan PlanFrame(const ConversionSettings& settings, int sourceWidth, int sourceHeight, double sourceSampleAspect) {
    FramePlan plan{ResolveFrameSize(settings), {}};
    if (sourceWidth <= 0 || sourceHeight <= 0) return plan;
    Shape source = SourceShape(sourceWidth, sourceHeight, sourceSampleAspect);
    TurnForPortraitSource(settings, plan.size, source);
    if (!settings.letterbox) return plan;
    // MPEG1/MPEG2 at "Original" size keep the source's frame, flagged with
    // the chosen aspect, so the picture is padded inside it.
    bool inSourceFrame = plan.size.width == 0 && plan.size.height == 0 && IsMpegFamily(settings.outputFormat);
    FrameSize frame = inSourceFrame ? FrameSize{sourceWidth, sourceHeight} : plan.size;
    if (frame.width == 0 || frame.height == 0) return plan;
    plan.pads = PadsFor(source, FrameShape(settings, frame.width, frame.height), frame.width, frame.height);
    if (!inSourceFrame) return plan;
    if (plan.pads.horizontal <= 0 && plan.pads.vertical <= 0) return {plan.size, {}};
    plan.size = frame;
    return plan;
}
