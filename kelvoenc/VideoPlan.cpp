#include "kelvoenc/VideoPlan.h"

#include "kelvoenc/EncoderFailure.h"
#include "core/FormatText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int kMinimumSide = 16;
// MPEG-1/2 headers have 12 bits for each side.
constexpr int kMpegMaximumSide = 4094;

bool IsValid(AVRational ratio) { return ratio.num > 0 && ratio.den > 0; }

AVRational Reduce(std::int64_t num, std::int64_t den) {
    AVRational ratio{1, 1};
    av_reduce(&ratio.num, &ratio.den, num, den, 65535);
    return ratio;
}

std::string RateText(AVRational rate) { return FormatText("%.3f", av_q2d(rate)); }

// One side of scale=W:H: positive as given, 0 the source's own, negative
// computed from the other side through the display aspect.
struct ScaledSize {
    double width;
    double height;
};

ScaledSize RequestedSize(const std::optional<FrameSizeRequest>& request, const SourcePicture& source,
                         double displayAspect) {
    if (!request) return {double(source.width), double(source.height)};
    double width = request->width > 0 ? request->width : source.width;
    double height = request->height > 0 ? request->height : source.height;
    if (request->width < 0 && request->height > 0) width = height * displayAspect;
    if (request->height < 0 && request->width > 0) height = width / displayAspect;
    return {width, height};
}

void NoteOddSize(int asked, int made, const char* side) {
    if (asked != made)
        Notice("the " + std::string(side) + " " + std::to_string(asked) + " was changed to " + std::to_string(made) +
               ": the encoders take even sizes from " + std::to_string(kMinimumSide) + " up.");
}

}  // namespace

int VideoPlan::EvenSize(double size) {
    long rounded = std::lround(size);
    rounded -= rounded % 2;
    return static_cast<int>(std::max<long>(rounded, kMinimumSide));
}

AVRational VideoPlan::NearestMpegRate(AVRational rate) {
    static constexpr AVRational kRates[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                            {30, 1},       {50, 1}, {60000, 1001}, {60, 1}};
    AVRational nearest = kRates[0];
    for (AVRational candidate : kRates)
        if (std::fabs(av_q2d(candidate) - av_q2d(rate)) < std::fabs(av_q2d(nearest) - av_q2d(rate)))
            nearest = candidate;
    return nearest;
}

VideoGeometry VideoPlan::Geometry(const EncoderOptions& options, VideoCodecChoice codec, SourcePicture source) {
    AVRational sourceAspect = IsValid(source.sampleAspect) ? source.sampleAspect : AVRational{1, 1};
    std::int64_t displayNum = std::int64_t(source.width) * sourceAspect.num;
    std::int64_t displayDen = std::int64_t(source.height) * sourceAspect.den;
    double displayAspect = double(displayNum) / double(displayDen);

    ScaledSize size = RequestedSize(options.videoFilter.scale, source, displayAspect);
    const int maximum = IsMpegVideo(codec) ? kMpegMaximumSide : 8192;
    if (size.width > maximum || size.height > maximum) {
        double shrink = std::min(maximum / size.width, maximum / size.height);
        Notice("the picture was made smaller to " + std::to_string(int(size.width * shrink)) + "x" +
               std::to_string(int(size.height * shrink)) + ": the video encoder takes at most " +
               std::to_string(maximum) + " pixels a side.");
        size = {size.width * shrink, size.height * shrink};
    }
    VideoGeometry geometry;
    geometry.pictureWidth = EvenSize(size.width);
    geometry.pictureHeight = EvenSize(size.height);
    if (size.width == std::floor(size.width)) NoteOddSize(int(size.width), geometry.pictureWidth, "width");
    if (size.height == std::floor(size.height)) NoteOddSize(int(size.height), geometry.pictureHeight, "height");

    geometry.frameWidth = geometry.pictureWidth;
    geometry.frameHeight = geometry.pictureHeight;
    if (const auto& expand = options.videoFilter.expand) {
        geometry.frameWidth = std::min(EvenSize(expand->width), maximum);
        geometry.frameHeight = std::min(EvenSize(expand->height), maximum);
        NoteOddSize(expand->width, geometry.frameWidth, "padded width");
        NoteOddSize(expand->height, geometry.frameHeight, "padded height");
        if (geometry.pictureWidth > geometry.frameWidth || geometry.pictureHeight > geometry.frameHeight) {
            double shrink = std::min(double(geometry.frameWidth) / geometry.pictureWidth,
                                     double(geometry.frameHeight) / geometry.pictureHeight);
            geometry.pictureWidth = std::min(EvenSize(geometry.pictureWidth * shrink), geometry.frameWidth);
            geometry.pictureHeight = std::min(EvenSize(geometry.pictureHeight * shrink), geometry.frameHeight);
        }
    }

    const VideoEncodeOptions& video = options.video;
    if (video.displayAspect) {
        geometry.sampleAspect = Reduce(std::int64_t(video.displayAspect->num) * geometry.frameHeight,
                                       std::int64_t(video.displayAspect->den) * geometry.frameWidth);
    } else if (video.autoAspect) {
        // The picture keeps the source's display aspect whatever its pixel
        // size; padding adds pixels of the same shape.
        geometry.sampleAspect = Reduce(displayNum * geometry.pictureHeight, displayDen * geometry.pictureWidth);
    }
    return geometry;
}

FrameTiming VideoPlan::Timing(const EncoderOptions& options, VideoCodecChoice codec, ContainerChoice container,
                              AVRational sourceRate) {
    if (!IsValid(sourceRate)) {
        Notice("the source does not state its frame rate; 25 frames per second are assumed.");
        sourceRate = {25, 1};
    }
    AVRational rate = sourceRate;
    bool keepSourceTiming = false;
    if (options.outputFrameRate) {
        AVRational asked{options.outputFrameRate->num, options.outputFrameRate->den};
        if (av_q2d(asked) >= 1000) {
            // Only a container with timestamps of its own can keep the
            // source's timing; the others run at the source's nominal rate.
            keepSourceTiming = container == ContainerChoice::Asf && !IsMpegVideo(codec);
        } else if (asked.num > 0) {
            rate = asked;
        } else {
            Notice("-ofps 0 means the source's own rate, " + RateText(sourceRate) + " frames per second.");
        }
    }
    FrameTiming timing;
    if (keepSourceTiming) {
        timing.keepSourceTiming = true;
        timing.rate = sourceRate;
        timing.timeBase = {1, 1000};
        return timing;
    }
    if (IsMpegVideo(codec)) {
        AVRational standard = NearestMpegRate(rate);
        if (std::fabs(av_q2d(standard) / av_q2d(rate) - 1) > 0.0001)
            Notice("the frame rate " + RateText(rate) + " was changed to " + RateText(standard) +
                   ": MPEG-1/2 video takes only the standard rates.");
        rate = standard;
    }
    // MPEG-4 stores the time base's denominator in 16 bits.
    av_reduce(&timing.rate.num, &timing.rate.den, rate.num, rate.den, 65535);
    timing.timeBase = av_inv_q(timing.rate);
    return timing;
}
