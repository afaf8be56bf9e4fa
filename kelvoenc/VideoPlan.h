#pragma once

#include "kelvoenc/EncoderOptions.h"

extern "C" {
#include <libavutil/rational.h>
}

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
};

class VideoPlan {
public:
    static VideoGeometry Geometry(const EncoderOptions& options, VideoCodecChoice codec, SourcePicture source);
    static FrameTiming Timing(const EncoderOptions& options, VideoCodecChoice codec, ContainerChoice container,
                              AVRational sourceRate);

    // The nearest even size of at least 16.
    static int EvenSize(double size);
    // The nearest rate MPEG-1/2 video can carry.
    static AVRational NearestMpegRate(AVRational rate);
};
