#pragma once

#include "kelvoenc/AudioPlan.h"
#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/VideoPlan.h"

#include <string>

// Opens the FFmpeg encoders the options name, set up as the options ask
// within what each encoder accepts.
class EncoderFactory {
public:
    static const AVCodec* FindVideo(VideoCodecChoice codec);
    static const AVCodec* FindAudio(AudioCodecChoice codec);

    static CodecContextPtr OpenVideo(const EncoderOptions& options, VideoCodecChoice codec, ContainerChoice container,
                                     const VideoGeometry& geometry, const FrameTiming& timing,
                                     const OutputColours& colours, FieldHandling fields, bool globalHeader);
    static CodecContextPtr OpenAudio(const EncoderOptions& options, AudioCodecChoice codec, const AudioFormat& format,
                                     bool globalHeader);
};
