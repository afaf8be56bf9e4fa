#pragma once

#include "kelvoenc/InputMedia.h"
#include "kelvoenc/ReadAhead.h"
#include "kelvoenc/VideoPlan.h"

// The source's first decoded picture, for what it tells of all of them
// (its fields and colours, which containers often leave out), and on
// request the video's length.
class FirstPicture {
public:
    // Reads the source until its first picture is decoded and, with
    // measureLength, when the container does not state its length, on to
    // the end to measure it. Throws when no picture decodes. The packets
    // read go to `readAhead` when one is given.
    static FirstPicture Read(InputMedia& source, bool measureLength, ReadAhead* readAhead = nullptr);

    PictureTraits traits;
    double seconds = -1;  // the video's length, negative when not measured
    // Where reading met the picture, and the earliest time of the picture's
    // and the sound's packets read to find it, in microseconds of the
    // source's clock (AV_NOPTS_VALUE when not stated).
    std::int64_t pictureMicroseconds = AV_NOPTS_VALUE;
    std::int64_t earliestMicroseconds = AV_NOPTS_VALUE;
    bool keyPicture = false;  // one decoded without any before it
};
