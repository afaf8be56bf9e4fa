#pragma once

#include "core/ConversionSettings.h"
#include "core/EncodeTargets.h"

// Letterbox and pillarbox amounts for one source.
struct Padding {
    int horizontal = 0;  // > 0: source relatively narrower than the target, pad left and right
    int vertical = 0;    // > 0: source relatively wider than the target, pad top and bottom
};

// Resolves the target frame size W x H into `targets` first. With letterbox
// on and all four sizes non-zero: horizontal = W - w*H/h and
// vertical = H - h*W/w in 32-bit integer arithmetic with truncating division
// (640x480 to 720x480 gives 80 and 0; 1280x720 gives -133 and 75).
// Otherwise both are 0.
Padding ComputePadding(const ConversionSettings& settings, EncodeTargets& targets, int sourceWidth,
                       int sourceHeight);
