#pragma once

#include <optional>
#include <string>
#include <vector>

// Everything one run of the encoder was asked to do, as typed values.
// Optional fields were not given; the pipeline chooses for them.

struct Fraction {
    int num = 0;
    int den = 1;
    double Value() const { return static_cast<double>(num) / den; }
};

enum class VideoCodecChoice { Mpeg4, Xvid, Mpeg1, Mpeg2, Wmv2, Msmpeg4v3, Msmpeg4v2, H264, H265, Av1 };
enum class AudioCodecChoice { Mp3, Mp2, Ac3, Wmav1, Wmav2, Aac, Opus };
enum class ContainerChoice { Avi, Mpg, Asf, Vcd, Svcd, Dvd, Mp4, Matroska, WebM };

inline bool IsMpegVideo(VideoCodecChoice codec) {
    return codec == VideoCodecChoice::Mpeg1 || codec == VideoCodecChoice::Mpeg2;
}

// The codecs that spend their bits by a constant quality factor.
inline bool IsConstantQualityVideo(VideoCodecChoice codec) {
    return codec == VideoCodecChoice::H264 || codec == VideoCodecChoice::H265 || codec == VideoCodecChoice::Av1;
}

// How LAME spends its bits: vbr=0, vbr=3, any other vbr value.
enum class LameRateMode { Constant, Average, Variable };
// LAME's channel mode: mode=0..3.
enum class LameChannelMode { Stereo, JointStereo, DualChannel, Mono };

struct VideoEncodeOptions {
    std::optional<VideoCodecChoice> codec;  // -ovc xvid, else -lavcopts vcodec
    std::optional<int> bitrateKbps;         // vbitrate, or bitrate with Xvid
    std::optional<int> minQuantiser;        // vqmin
    std::optional<int> maxQuantiser;        // vqmax
    std::optional<int> fixedQuantiser;      // vqscale
    std::optional<int> qualityFactor;       // crf (H.264, H.265, AV1)
    std::string speedPreset;                // preset: a name (H.264, H.265) or a number (AV1); empty when not given
    bool rateDistortionDecision = false;    // vhq
    std::optional<int> keyframeInterval;    // keyint
    std::optional<int> bufferKbit;          // vrc_buf_size
    std::optional<int> minRateKbps;         // vrc_minrate
    std::optional<int> maxRateKbps;         // vrc_maxrate
    bool autoAspect = false;                // autoaspect=1 of the chosen encoder
    std::optional<Fraction> displayAspect;  // aspect=W/H or a decimal
    std::string fourcc;                     // -ffourcc, empty when not given
};

struct AudioEncodeOptions {
    std::optional<AudioCodecChoice> codec;  // -oac mp3lame, else -lavcopts acodec
    std::optional<int> bitrateKbps;         // abitrate, or br with LAME
    std::optional<LameRateMode> lameRate;
    std::optional<LameChannelMode> lameChannels;
};

struct AudioFilterOptions {
    std::optional<double> gainDb;         // volume=±Ndb
    bool softClip = false;                // the bare 1 after volume
    std::optional<int> maxChannels;       // channels=N
    std::optional<int> resampleRate;      // lavcresample=RATE
    std::optional<int> outputSampleRate;  // -srate
};

// A size from -vf: negative means "computed from the other side", 0 the
// source's own.
struct FrameSizeRequest {
    int width = 0;
    int height = 0;
};

// A part of the picture as shown (turned upright), in source pixels.
struct CropRectangle {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

struct VideoFilterOptions {
    std::optional<CropRectangle> crop;       // crop=W:H:X:Y, before any scaling
    std::optional<FrameSizeRequest> scale;   // scale=W:H
    std::optional<FrameSizeRequest> expand;  // expand=W:H, centred black
    int scaler = 2;                          // -sws
};

struct EncoderOptions {
    std::string sourcePath;
    std::string outputPath;
    int mode = 0;    // an EncoderMode
    int handle = 0;  // descriptor of the report channel

    std::optional<ContainerChoice> container;
    VideoEncodeOptions video;
    AudioEncodeOptions audio;
    AudioFilterOptions audioFilter;
    VideoFilterOptions videoFilter;
    std::optional<Fraction> outputFrameRate;  // -ofps
    std::optional<double> startSeconds;       // -ss: source time the output begins at
    std::optional<double> endSeconds;         // -endpos: source time it stops at
    std::optional<double> stillSeconds;       // -still: the first picture held this long, over silence
    std::vector<int> soundTracks;             // -audiotracks: numbers from 1; none: the one players pick
    std::vector<int> subtitleTracks;          // -subtitles: numbers from 1; none: no subtitles
    std::optional<int> shownSubtitle;         // -shownsubtitle: else the source's own flags
    std::optional<int> burnedSubtitle;        // -burnsubtitle
};
