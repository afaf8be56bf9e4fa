#pragma once

#include "kelvoenc/EncoderOptions.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

#include <string>

// What the video becomes: the scaled picture, the frame it sits in (larger
// when padded), the shape of its pixels and its timing. Every choice an
// encoder would refuse is corrected here, with one line on standard error.

struct SourcePicture {
    int width = 0;
    int height = 0;
    AVRational sampleAspect{1, 1};  // 0/1 counts as square
};

// The filters that stand a stored picture upright, each followed by a comma;
// a transpose swaps its sides.
struct UprightTransform {
    const char* filters = "";
    bool swapsSides = false;
};

// PQ or HLG, as HDR phones and TVs record.
inline bool IsHdrTransfer(AVColorTransferCharacteristic transfer) {
    return transfer == AVCOL_TRC_SMPTE2084 || transfer == AVCOL_TRC_ARIB_STD_B67;
}

// What the first decoded picture shows of them all: its fields and colours.
struct PictureTraits {
    bool interlaced = false;
    bool topFieldFirst = true;
    AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
    AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
    AVColorSpace matrix = AVCOL_SPC_UNSPECIFIED;
    std::string hdrMetadata;     // the mastering display and light levels in x265's words, when stated
    std::string av1HdrMetadata;  // the same in SVT-AV1's words
    bool deep = false;           // more than 8 bits a sample

    bool IsHdr() const { return IsHdrTransfer(transfer); }
};

// The colours the output is made in and tagged with, always in limited
// range; HDR pictures into an SDR output are tone-mapped.
struct OutputColours {
    AVPixelFormat pixelFormat = AV_PIX_FMT_YUV420P;
    AVColorPrimaries primaries = AVCOL_PRI_BT709;
    AVColorTransferCharacteristic transfer = AVCOL_TRC_BT709;
    AVColorSpace matrix = AVCOL_SPC_BT709;
    std::string hdrMetadata;     // kept for x265
    std::string av1HdrMetadata;  // kept for SVT-AV1
};

enum class FieldHandling {
    Deinterlace,        // pictures flagged interlaced woven into frames before any scaling
    KeepTopFieldFirst,  // encoded interlaced, as the source, each picture in its own field order
    KeepBottomFieldFirst,
};

struct VideoGeometry {
    int pictureWidth = 0;  // the scaled source
    int pictureHeight = 0;
    int frameWidth = 0;  // the encoded frame; the picture is centred in it
    int frameHeight = 0;
    AVRational sampleAspect{1, 1};
};

struct FrameTiming {
    bool keepSourceTiming = false;  // no frame added or dropped, timestamps kept
    AVRational rate{25, 1};         // the constant rate otherwise
    AVRational timeBase{1, 25};     // the encoder's
    bool repeatsPictures = false;   // a faster rate than the source's: frames are only added
};

class VideoPlan {
public:
    // The part of the shown picture the crop (-vf crop) keeps, with the
    // same pixel shape; the whole picture without one. A crop reaching
    // outside the picture is refused (BadArguments) naming the source.
    static SourcePicture Cropped(const EncoderOptions& options, SourcePicture shown, const std::string& sourcePath);
    static VideoGeometry Geometry(const EncoderOptions& options, VideoCodecChoice codec, SourcePicture source);
    static FrameTiming Timing(const EncoderOptions& options, VideoCodecChoice codec, ContainerChoice container,
                              AVRational sourceRate);

    // H.265 and AV1 keep an HDR source's pictures in 10 bits with its tags,
    // and AV1 a deep SDR source's in 10 bits too; H.264, H.265 and AV1 keep
    // an SDR source's colours, tagged; every other output is SDR, BT.709 at
    // HD sizes and BT.601 below.
    static OutputColours Colours(VideoCodecChoice codec, const PictureTraits& source, const VideoGeometry& geometry,
                                 const SourcePicture& sourcePicture);
    // An interlaced source keeps its fields only where MPEG-2 video carries
    // them at the source's height and field rate, unturned. Every other
    // source is deinterlaced wherever its pictures are flagged interlaced:
    // a recording may start progressive and turn interlaced later.
    static FieldHandling Fields(VideoCodecChoice codec, const PictureTraits& source, int sourceHeight,
                                AVRational sourceRate, bool turned, const VideoGeometry& geometry,
                                const FrameTiming& timing);

    // The nearest even size of at least 16.
    static int EvenSize(double size);
    // The nearest rate MPEG-1/2 video can carry.
    static AVRational NearestMpegRate(AVRational rate);
};
