#pragma once

#include "kelvoenc/FfmpegHandles.h"

// Where the filter stage hands its finished pictures: the video's encoder,
// or a preview that keeps the first.
class PictureSink {
public:
    virtual ~PictureSink() = default;

    // False when no more pictures are wanted.
    virtual bool Take(AVFrame* picture) = 0;
    // The last picture has been handed over.
    virtual void Finish() = 0;
};
