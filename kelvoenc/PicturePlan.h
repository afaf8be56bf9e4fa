#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/SubpicturePainter.h"
#include "kelvoenc/SubtitleOverlay.h"
#include "kelvoenc/SubtitleSources.h"
#include "kelvoenc/VideoPlan.h"

#include <optional>

class InputMedia;

// How one source's pictures become the output's: its codec, the picture as
// shown, and the output's geometry, timing, colours and fields. A
// conversion and its preview make their pictures by the same plan.
struct PicturePlan {
    VideoCodecChoice codec = VideoCodecChoice::Mpeg4;
    SourcePicture shown;  // the whole stored picture, turned upright
    SourcePicture kept;   // the part of it the crop keeps, from keptX, keptY
    int keptX = 0;
    int keptY = 0;
    VideoGeometry geometry;
    FrameTiming timing;
    UprightTransform upright;
    OutputColours colours;
    FieldHandling fields = FieldHandling::Deinterlace;

    // Throws SourceUnreadable for a video without a picture size, and
    // BadArguments for a crop outside its picture.
    static PicturePlan For(const EncoderOptions& options, ContainerChoice container, const InputMedia& source,
                           const PictureTraits& traits);

    // Where subtitles go: the picture centred in the frame, as the filters
    // pad it.
    SubpictureFrame Subpictures() const;
    // The subtitle drawn into the pictures; one that cannot be read is not
    // drawn, with its reason, and the pictures are still made.
    std::optional<SubtitleOverlay> DrawnSubtitle(const std::optional<SubtitleSource>& burned,
                                                 const KeptPart& kept) const;
};
