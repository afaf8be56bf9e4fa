#pragma once

#include "kelvoenc/EncoderOptions.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <span>

// What the audio becomes: sample rate, channels, sample format and bitrate,
// each corrected to the nearest value the chosen encoder accepts, with one
// line on standard error for every correction.
struct AudioFormat {
    int sampleRate = 44100;
    AVChannelLayout layout{};  // always of native order
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_S16;
    int bitrateKbps = 128;
};

struct SourceSound {
    int sampleRate = 0;
    AVChannelLayout layout{};  // may be of unspecified order
};

class AudioPlan {
public:
    static AudioFormat Format(const EncoderOptions& options, AudioCodecChoice codec, const AVCodec* encoder,
                              const SourceSound& source);

    // The layout itself when its channel order is native, else the usual
    // layout for its channel count: some decoders leave the order unspecified.
    static AVChannelLayout KnownLayout(const AVChannelLayout& layout);

    // The value of the list nearest to the wanted one (the lower on a tie).
    static int Nearest(int wanted, std::span<const int> allowed);

    // The bitrates each encoder accepts, in kbit/s.
    static int Mp2Bitrate(int kbps, int sampleRate);
    static int Ac3Bitrate(int kbps, int channels);
    static int LameBitrate(int kbps, int sampleRate, LameRateMode mode);
    static int WmaBitrate(int kbps);
};
