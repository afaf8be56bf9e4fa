#include "kelvoenc/VideoPlan.h"

#include "kelvoenc/EncoderFailure.h"
#include "protocol/MpegFrameRates.h"
#include "protocol/SourceTiming.h"
#include "text/FormatText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int kMinimumSide = 16;
// The largest even side each encoder takes: MPEG-1/2 headers have 12 bits
// for it, MPEG-4 part 2 headers 13 (and the encoder refuses 8191 and 8192).
constexpr int kMpegMaximumSide = 4094;
constexpr int kMpeg4MaximumSide = 8190;
constexpr int kMaximumSide = 8192;
constexpr int kSmallestAv1Side = 64;

// Frames at least this high or wide are HD, tagged BT.709; 576 and 288
// lines are PAL's.
constexpr int kHdHeight = 720;
constexpr int kHdWidth = 1280;
constexpr int kPalLines = 288;
// 29.97 and 30000/1001 are the same rate.
constexpr double kSameRateTolerance = 0.001;

int MaximumSide(VideoCodecChoice codec) {
    if (IsMpegVideo(codec)) return kMpegMaximumSide;
    return codec == VideoCodecChoice::Mpeg4 ? kMpeg4MaximumSide : kMaximumSide;
}

bool IsValid(AVRational ratio) { return ratio.num > 0 && ratio.den > 0; }

AVRational Reduce(std::int64_t num, std::int64_t den) {
    AVRational ratio{1, 1};
    av_reduce(&ratio.num, &ratio.den, num, den, 65535);
    return ratio;
}

std::string RateText(AVRational rate) { return FormatText("%.3f", av_q2d(rate)); }

// One side of scale=W:H: positive as given, 0 the source's own, negative
// computed from the other side so that the picture keeps the source's
// display shape in output pixels of `pixelAspect` (width / height).
struct ScaledSize {
    double width;
    double height;
};

ScaledSize RequestedSize(const std::optional<FrameSizeRequest>& request, const SourcePicture& source,
                         double displayAspect, double pixelAspect) {
    if (!request) return {double(source.width), double(source.height)};
    double width = request->width > 0 ? request->width : source.width;
    double height = request->height > 0 ? request->height : source.height;
    if (request->width < 0 && request->height > 0) width = height * displayAspect / pixelAspect;
    if (request->height < 0 && request->width > 0) height = width * pixelAspect / displayAspect;
    return {width, height};
}

void NoteOddSize(int asked, int made, const char* side) {
    if (asked != made)
        Notice("the " + std::string(side) + " " + std::to_string(asked) + " was changed to " + std::to_string(made) +
               ": the encoders take even sizes from " + std::to_string(kMinimumSide) + " up.");
}

// MPEG-1 can only flag these pixel shapes (height / width of a pixel).
constexpr double kMpeg1PelShapes[] = {1.0,    0.6735, 0.7031, 0.7615, 0.8055, 0.8437, 0.8935,
                                      0.9157, 0.9815, 1.0255, 1.0695, 1.0950, 1.1575, 1.2015};

AVRational NearestMpeg1SampleAspect(AVRational wanted) {
    double nearest = kMpeg1PelShapes[0];
    for (double shape : kMpeg1PelShapes)
        if (std::fabs(1 / shape - av_q2d(wanted)) < std::fabs(1 / nearest - av_q2d(wanted))) nearest = shape;
    return Reduce(10000, std::lround(nearest * 10000));
}

// The pixel shape that shows a frame of this size at the flagged display
// aspect, as the codec can store it. MPEG video has no flag for a square
// display: 1/1 is its flag for square pixels.
AVRational FlaggedSampleAspect(Fraction display, VideoCodecChoice codec, int frameWidth, int frameHeight) {
    if (display.num == display.den) return {1, 1};
    AVRational wanted = Reduce(std::int64_t(display.num) * frameHeight, std::int64_t(display.den) * frameWidth);
    return codec == VideoCodecChoice::Mpeg1 ? NearestMpeg1SampleAspect(wanted) : wanted;
}

}  // namespace

int VideoPlan::EvenSize(double size) {
    long rounded = std::lround(size);
    rounded -= rounded % 2;
    return static_cast<int>(std::max<long>(rounded, kMinimumSide));
}

AVRational VideoPlan::NearestMpegRate(AVRational rate) {
    AVRational nearest{kMpegFrameRates[0].num, kMpegFrameRates[0].den};
    for (const MpegFrameRate& standard : kMpegFrameRates) {
        AVRational candidate{standard.num, standard.den};
        if (std::fabs(av_q2d(candidate) - av_q2d(rate)) < std::fabs(av_q2d(nearest) - av_q2d(rate)))
            nearest = candidate;
    }
    return nearest;
}

SourcePicture VideoPlan::Cropped(const EncoderOptions& options, SourcePicture shown, const std::string& sourcePath) {
    const std::optional<CropRectangle>& crop = options.videoFilter.crop;
    if (!crop) return shown;
    if (crop->x + crop->width > shown.width || crop->y + crop->height > shown.height)
        throw EncoderFailure(
            ExitStatus::BadArguments,
            FormatText("-vf crop=%d:%d:%d:%d reaches outside the %dx%d picture of \"%s\".", crop->width, crop->height,
                       crop->x, crop->y, shown.width, shown.height, sourcePath.c_str()));
    shown.width = crop->width;
    shown.height = crop->height;
    return shown;
}

VideoGeometry VideoPlan::Geometry(const EncoderOptions& options, VideoCodecChoice codec, SourcePicture source) {
    AVRational sourceAspect = IsValid(source.sampleAspect) ? source.sampleAspect : AVRational{1, 1};
    std::int64_t displayNum = std::int64_t(source.width) * sourceAspect.num;
    std::int64_t displayDen = std::int64_t(source.height) * sourceAspect.den;
    double displayAspect = double(displayNum) / double(displayDen);

    const int maximum = MaximumSide(codec);
    const VideoEncodeOptions& video = options.video;
    const std::optional<FrameSizeRequest>& expand = options.videoFilter.expand;
    int paddedWidth = expand ? std::min(EvenSize(expand->width), maximum) : 0;
    int paddedHeight = expand ? std::min(EvenSize(expand->height), maximum) : 0;
    // A side computed from the other fits the picture to the pixels of the
    // padded frame; without padding the frame's shape follows the picture.
    double pixelAspect = video.displayAspect && expand
                             ? av_q2d(FlaggedSampleAspect(*video.displayAspect, codec, paddedWidth, paddedHeight))
                             : 1.0;

    ScaledSize size = RequestedSize(options.videoFilter.scale, source, displayAspect, pixelAspect);
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
    if (expand) {
        geometry.frameWidth = paddedWidth;
        geometry.frameHeight = paddedHeight;
        NoteOddSize(expand->width, geometry.frameWidth, "padded width");
        NoteOddSize(expand->height, geometry.frameHeight, "padded height");
        if (geometry.pictureWidth > geometry.frameWidth || geometry.pictureHeight > geometry.frameHeight) {
            double shrink = std::min(double(geometry.frameWidth) / geometry.pictureWidth,
                                     double(geometry.frameHeight) / geometry.pictureHeight);
            geometry.pictureWidth = std::min(EvenSize(geometry.pictureWidth * shrink), geometry.frameWidth);
            geometry.pictureHeight = std::min(EvenSize(geometry.pictureHeight * shrink), geometry.frameHeight);
        }
    }

    // SVT-AV1 takes no side under 64: a smaller picture is framed in black.
    if (codec == VideoCodecChoice::Av1) {
        geometry.frameWidth = std::max(geometry.frameWidth, kSmallestAv1Side);
        geometry.frameHeight = std::max(geometry.frameHeight, kSmallestAv1Side);
    }

    if (video.displayAspect) {
        geometry.sampleAspect =
            FlaggedSampleAspect(*video.displayAspect, codec, geometry.frameWidth, geometry.frameHeight);
    } else if (expand && video.autoAspect) {
        // A padded frame is laid out in square pixels: the picture was fitted
        // to it, and an even side's rounding is no shape to flag.
        geometry.sampleAspect = {1, 1};
    } else if (video.autoAspect) {
        // The picture keeps the source's display aspect whatever its pixel
        // size.
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
        if (av_q2d(asked) >= kKeepSourceTimingRate) {
            // Only a container with timestamps of its own can keep the
            // source's timing; the others run at the source's nominal rate.
            keepSourceTiming = (container == ContainerChoice::Asf || container == ContainerChoice::Mp4 ||
                                container == ContainerChoice::Matroska || container == ContainerChoice::WebM) &&
                               !IsMpegVideo(codec);
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
        // ASF, Matroska and WebM keep milliseconds; MP4 gets the 90 kHz clock of MPEG, which
        // holds the common rates exactly and the frames of a 2000 fps
        // source apart.
        timing.timeBase = container == ContainerChoice::Mp4 ? AVRational{1, 90000} : AVRational{1, 1000};
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
    timing.repeatsPictures = av_cmp_q(timing.rate, sourceRate) > 0;
    return timing;
}

namespace {

// What players take an untagged picture of this size for: BT.709 from 720
// lines or 1280 columns up, BT.601 (PAL's or NTSC's) below.
OutputColours ColoursForSize(int width, int height) {
    OutputColours colours;
    if (height >= kHdHeight || width >= kHdWidth) return colours;
    const bool pal = height % kPalLines == 0;
    colours.primaries = pal ? AVCOL_PRI_BT470BG : AVCOL_PRI_SMPTE170M;
    colours.transfer = AVCOL_TRC_SMPTE170M;
    colours.matrix = pal ? AVCOL_SPC_BT470BG : AVCOL_SPC_SMPTE170M;
    return colours;
}

// H.264, H.265 and AV1 carry their colours' tags, which players follow.
bool CarriesColourTags(VideoCodecChoice codec) {
    return codec == VideoCodecChoice::H264 || codec == VideoCodecChoice::H265 || codec == VideoCodecChoice::Av1;
}

}  // namespace

OutputColours VideoPlan::Colours(VideoCodecChoice codec, const PictureTraits& source, const VideoGeometry& geometry,
                                 const SourcePicture& sourcePicture) {
    OutputColours colours;
    if (source.IsHdr() && (codec == VideoCodecChoice::H265 || codec == VideoCodecChoice::Av1)) {
        colours.pixelFormat = AV_PIX_FMT_YUV420P10LE;
        colours.primaries = source.primaries;
        colours.transfer = source.transfer;
        colours.matrix = source.matrix;
        colours.hdrMetadata = source.hdrMetadata;
        colours.av1HdrMetadata = source.av1HdrMetadata;
        return colours;
    }
    if (source.IsHdr() || !CarriesColourTags(codec)) return ColoursForSize(geometry.frameWidth, geometry.frameHeight);
    // An SDR picture into a tagged format keeps its colours and says which:
    // converting the matrix would cost bits (a fifth more in H.265) for a
    // picture that looks the same. What the source leaves unstated is what
    // players take it for.
    colours = ColoursForSize(sourcePicture.width, sourcePicture.height);
    if (source.primaries != AVCOL_PRI_UNSPECIFIED) colours.primaries = source.primaries;
    if (source.transfer != AVCOL_TRC_UNSPECIFIED) colours.transfer = source.transfer;
    if (source.matrix != AVCOL_SPC_UNSPECIFIED) colours.matrix = source.matrix;
    if (source.deep && codec == VideoCodecChoice::Av1) colours.pixelFormat = AV_PIX_FMT_YUV420P10LE;
    return colours;
}

FieldHandling VideoPlan::Fields(VideoCodecChoice codec, const PictureTraits& source, int sourceHeight,
                                AVRational sourceRate, bool turned, const VideoGeometry& geometry,
                                const FrameTiming& timing) {
    if (!source.interlaced) return FieldHandling::Deinterlace;
    const bool sameFieldRate = !timing.keepSourceTiming && IsValid(sourceRate) &&
                               std::fabs(av_q2d(timing.rate) / av_q2d(sourceRate) - 1) < kSameRateTolerance;
    if (codec != VideoCodecChoice::Mpeg2 || turned || geometry.pictureHeight != sourceHeight || !sameFieldRate)
        return FieldHandling::Deinterlace;
    return source.topFieldFirst ? FieldHandling::KeepTopFieldFirst : FieldHandling::KeepBottomFieldFirst;
}
