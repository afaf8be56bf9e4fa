#include "kelvoenc/PicturePlan.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/InputMedia.h"

namespace {

VideoCodecChoice VideoCodecOf(const EncoderOptions& options, ContainerChoice container) {
    if (options.video.codec) return *options.video.codec;
    switch (container) {
    case ContainerChoice::Mpg:
    case ContainerChoice::Vcd: return VideoCodecChoice::Mpeg1;
    case ContainerChoice::Svcd:
    case ContainerChoice::Dvd: return VideoCodecChoice::Mpeg2;
    case ContainerChoice::Asf: return VideoCodecChoice::Wmv2;
    case ContainerChoice::Avi: return VideoCodecChoice::Mpeg4;
    case ContainerChoice::Mp4:
    case ContainerChoice::Matroska: return VideoCodecChoice::H264;
    case ContainerChoice::WebM: return VideoCodecChoice::Av1;
    }
    return VideoCodecChoice::Mpeg4;
}

}  // namespace

PicturePlan PicturePlan::For(const EncoderOptions& options, ContainerChoice container, const InputMedia& source,
                             const PictureTraits& traits) {
    PicturePlan plan;
    plan.codec = VideoCodecOf(options, container);
    plan.shown = source.ShownPicture();
    if (plan.shown.width <= 0 || plan.shown.height <= 0)
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "The video of \"" + source.Path() + "\" does not state its picture size.");
    plan.kept = VideoPlan::Cropped(options, plan.shown, source.Path());
    if (const std::optional<CropRectangle>& crop = options.videoFilter.crop) {
        plan.keptX = crop->x;
        plan.keptY = crop->y;
    }
    plan.geometry = VideoPlan::Geometry(options, plan.codec, plan.kept);
    plan.timing = VideoPlan::Timing(options, plan.codec, container, source.FrameRate());
    plan.upright = source.Upright();
    plan.colours = VideoPlan::Colours(plan.codec, traits, plan.geometry, plan.shown);
    plan.fields = VideoPlan::Fields(plan.codec, traits, plan.kept.height, source.FrameRate(),
                                    *plan.upright.filters != '\0', plan.geometry, plan.timing);
    return plan;
}

SubpictureFrame PicturePlan::Subpictures() const {
    return {geometry.frameWidth,
            geometry.frameHeight,
            (geometry.frameWidth - geometry.pictureWidth) / 2 & ~1,
            (geometry.frameHeight - geometry.pictureHeight) / 2 & ~1,
            geometry.pictureWidth,
            geometry.pictureHeight,
            geometry.sampleAspect,
            shown.width,
            shown.height,
            keptX,
            keptY,
            kept.width,
            kept.height};
}

std::optional<SubtitleOverlay> PicturePlan::DrawnSubtitle(const std::optional<SubtitleSource>& burned,
                                                          const KeptPart& kept) const {
    if (!burned) return std::nullopt;
    try {
        return std::optional<SubtitleOverlay>(std::in_place, *burned, kept, Subpictures(), colours);
    } catch (const EncoderFailure& failure) {
        Notice(std::string(failure.what()) + " No subtitle is drawn into the picture.");
        return std::nullopt;
    }
}
