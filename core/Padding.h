#pragma once

#include "core/ConversionSettings.h"
#include "core/FormatCatalogue.h"

// Letterbox and pillarbox amounts for one source.
struct Padding {
    int horizontal = 0;  // > 0: source relatively narrower than the target, pad left and right
    int vertical = 0;    // > 0: source relatively wider than the target, pad top and bottom
};

// The frame an output is encoded in and the bars the picture gets inside it.
struct FramePlan {
    FrameSize size;
    Padding pads;
};

// Resolves the target frame size W x H first; an MP4 size
// turns upright (720 x 1280 for "1280 x 720") for a source whose shown
// shape is portrait. With letterbox
// on and all sizes known, the pads compare display shapes: the source's
// (width x sample aspect / height) against the output frame's (the aspect
// MPEG and disc formats flag, else W / H for square pixels), and count the
// target pixels left over across and down: 640x480 square to DVD NTSC 4:3
// gives 0 and 0, 640x480 to a 720x480 AVI gives 80 and -60, 1280x720 to
// DVD NTSC 4:3 gives -240 and 120. MPEG1/MPEG2 at "Original" size keep the
// source's frame and pad inside it to the flagged shape: when a pad is
// needed the frame becomes the source size. Otherwise both pads are 0.
FramePlan PlanFrame(const ConversionSettings& settings, int sourceWidth, int sourceHeight,
                    double sourceSampleAspect = 1.0);
