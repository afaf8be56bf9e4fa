#include "kelvoenc/EncoderFactory.h"

#include "kelvoenc/EncoderFailure.h"
#include "protocol/ThreadShare.h"
#include "text/FormatText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kDefaultVideoKbps = 800;
constexpr int kMpegDefaultKeyint = 15;
constexpr int kDefaultKeyint = 250;
constexpr int kLameVariableQuality = 4;
constexpr int kDefaultQualityFactor = 23;
constexpr const char* kDefaultSpeedPreset = "medium";
constexpr int kDefaultAv1QualityFactor = 35;
constexpr const char* kDefaultAv1Preset = "10";
constexpr double kWebSeekSeconds = 5.0;
// At a constant rate MPEG-1/2 video states how long each picture waits in
// the buffer, in 16 bits of a 90 kHz clock; a picture that would wait
// longer stops the library outright. At its coarsest quantiser the encoder
// still spends up to about two bits a pixel on a noisy picture.
constexpr double kLongestPictureWaitSeconds = 0xFFFF / 90000.0;
constexpr double kWorstBitsPerPixel = 2;

const AVCodec* FindEncoder(const char* name, const char* label) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        throw EncoderFailure(ExitStatus::OutputUnwritable,
                             std::string("The ") + label + " encoder (" + name + ") is not available in this FFmpeg.");
    return codec;
}

void Open(AVCodecContext* context, const AVCodec* codec, OptionDictionary& options) {
    CheckFfmpeg(avcodec_open2(context, codec, options.Address()), ExitStatus::OutputUnwritable,
                std::string("Cannot start the ") + codec->long_name + " encoder");
}

int ClampQuantiser(int value, const char* name) {
    int clamped = std::clamp(value, 1, 31);
    if (clamped != value)
        Notice(std::string(name) + " " + std::to_string(value) + " was changed to " + std::to_string(clamped) +
               ": quantisers run from 1 to 31.");
    return clamped;
}

void SetQuantisers(AVCodecContext* context, const VideoEncodeOptions& video) {
    if (video.minQuantiser) context->qmin = ClampQuantiser(*video.minQuantiser, "vqmin");
    if (video.maxQuantiser) context->qmax = ClampQuantiser(*video.maxQuantiser, "vqmax");
    if (context->qmin > context->qmax) {
        Notice("vqmax was raised to vqmin, " + std::to_string(context->qmin) + ".");
        context->qmax = context->qmin;
    }
    if (video.fixedQuantiser) {
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = FF_QP2LAMBDA * ClampQuantiser(*video.fixedQuantiser, "vqscale");
    }
}

// Bitrate, its bounds and the VBV buffer; the bitrate kept within the bounds.
void SetRateControl(AVCodecContext* context, const VideoEncodeOptions& video) {
    int kbps = video.bitrateKbps.value_or(kDefaultVideoKbps);
    if (kbps == 0) {
        Notice("a video bitrate of 0 kbit/s cannot be encoded; " + std::to_string(kDefaultVideoKbps) +
               " kbit/s are used.");
        kbps = kDefaultVideoKbps;
    }
    std::int64_t bitrate = std::int64_t(kbps) * 1000;
    // A bound of 0 is no bound.
    if (video.minRateKbps > 0) context->rc_min_rate = std::int64_t(*video.minRateKbps) * 1000;
    if (video.maxRateKbps > 0) context->rc_max_rate = std::int64_t(*video.maxRateKbps) * 1000;
    if (context->rc_max_rate && context->rc_min_rate > context->rc_max_rate) {
        Notice("vrc_minrate was lowered to vrc_maxrate.");
        context->rc_min_rate = context->rc_max_rate;
    }
    std::int64_t bounded = bitrate;
    if (context->rc_max_rate) bounded = std::min(bounded, context->rc_max_rate);
    bounded = std::max(bounded, context->rc_min_rate);
    if (bounded != bitrate)
        Notice("the video bitrate " + std::to_string(bitrate / 1000) + " kbit/s was changed to " +
               std::to_string(bounded / 1000) + " kbit/s to stay within vrc_minrate and vrc_maxrate.");
    context->bit_rate = bounded;
    if (video.bufferKbit) context->rc_buffer_size = *video.bufferKbit * 1000;
    // The encoders take a maximum rate and a buffer together or neither: a
    // maximum rate needs a buffer to be measured against, a buffer without a
    // maximum is filled at the average rate.
    if (context->rc_max_rate && !context->rc_buffer_size)
        context->rc_buffer_size = static_cast<int>(std::min<std::int64_t>(context->rc_max_rate, 1835000));
    if (context->rc_buffer_size && !context->rc_max_rate) context->rc_max_rate = context->bit_rate;
}

// A constant rate too low for the picture size becomes a variable one under
// the same maximum.
void FitConstantRateToTheSize(AVCodecContext* context) {
    if (!context->rc_max_rate || context->rc_min_rate != context->rc_max_rate) return;
    const double largestPicture = kWorstBitsPerPixel * context->width * context->height;
    if (largestPicture <= kLongestPictureWaitSeconds * static_cast<double>(context->rc_max_rate)) return;
    Notice(FormatText("a constant %lld kbit/s is too little for %dx%d pictures; the bitrate varies up to it instead.",
                      static_cast<long long>(context->rc_max_rate / 1000), context->width, context->height));
    context->rc_min_rate = 0;
}

// SVT-AV1 at the asked quality factor and numbered preset, on the run's
// share of the cores, with the colours' tags in its own stream too. It says
// only its errors.
void SetAv1Quality(const VideoEncodeOptions& video, const OutputColours& colours, OptionDictionary& settings) {
    setenv("SVT_LOG", "1", 0);
    settings.Set("crf", std::to_string(video.qualityFactor.value_or(kDefaultAv1QualityFactor)).c_str());
    const bool numbered = !video.speedPreset.empty() && std::isdigit(static_cast<unsigned char>(video.speedPreset[0]));
    settings.Set("preset", numbered ? video.speedPreset.c_str() : kDefaultAv1Preset);
    std::string words = FormatText("color-primaries=%d:transfer-characteristics=%d:matrix-coefficients=%d",
                                   int(colours.primaries), int(colours.transfer), int(colours.matrix));
    if (!colours.av1HdrMetadata.empty()) words += ":" + colours.av1HdrMetadata;
    const int share = ThreadShareFromEnvironment();
    if (share > 0) words += ":lp=" + std::to_string(share);
    settings.Set("svtav1-params", words.c_str());
}

// H.264 High or H.265 Main at the asked quality factor and speed; the
// encoder picks the level that fits the size and rate, and keeps its own
// B-frames and frame threads.
void SetConstantQuality(VideoCodecChoice codec, const VideoEncodeOptions& video, const OutputColours& colours,
                        OptionDictionary& settings) {
    if (codec == VideoCodecChoice::Av1) return SetAv1Quality(video, colours, settings);
    settings.Set("crf", std::to_string(video.qualityFactor.value_or(kDefaultQualityFactor)).c_str());
    settings.Set("preset", video.speedPreset.empty() ? kDefaultSpeedPreset : video.speedPreset.c_str());
    const bool tenBits = colours.pixelFormat == AV_PIX_FMT_YUV420P10LE;
    settings.Set("profile", codec == VideoCodecChoice::H264 ? "high" : tenBits ? "main10" : "main");
    // x265 writes its own banner and statistics on standard error, whose
    // last line the front-end shows as a failure's cause. Its worker pool
    // takes its size from its own parameters, not from the thread count.
    if (codec == VideoCodecChoice::H265) {
        const int share = ThreadShareFromEnvironment();
        std::string words = "log-level=error";
        if (share > 0) words += ":pools=" + std::to_string(share);
        if (!colours.hdrMetadata.empty()) words += ":" + colours.hdrMetadata;
        settings.Set("x265-params", words.c_str());
    }
}

// The tags players read the colours by, and the fields' order where they are kept.
void SetPictureKind(AVCodecContext* context, const OutputColours& colours, FieldHandling fields) {
    context->pix_fmt = colours.pixelFormat;
    context->color_primaries = colours.primaries;
    context->color_trc = colours.transfer;
    context->colorspace = colours.matrix;
    context->color_range = AVCOL_RANGE_MPEG;
    context->field_order = AV_FIELD_PROGRESSIVE;
    if (fields == FieldHandling::KeepTopFieldFirst || fields == FieldHandling::KeepBottomFieldFirst) {
        context->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
        context->field_order = fields == FieldHandling::KeepTopFieldFirst ? AV_FIELD_TT : AV_FIELD_BB;
    }
}

// The run's share of the cores, or every core (up to the share's limit).
int EncoderThreads() {
    const int share = ThreadShareFromEnvironment();
    if (share > 0) return share;
    return static_cast<int>(
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(kMaxThreadShare)));
}

}  // namespace

const AVCodec* EncoderFactory::FindVideo(VideoCodecChoice codec) {
    switch (codec) {
    case VideoCodecChoice::Mpeg4: return FindEncoder("mpeg4", "MPEG-4 (DivX)");
    case VideoCodecChoice::Xvid: return FindEncoder("libxvid", "Xvid");
    case VideoCodecChoice::Mpeg1: return FindEncoder("mpeg1video", "MPEG-1 video");
    case VideoCodecChoice::Mpeg2: return FindEncoder("mpeg2video", "MPEG-2 video");
    case VideoCodecChoice::Wmv2: return FindEncoder("wmv2", "WMV 8");
    case VideoCodecChoice::Msmpeg4v3: return FindEncoder("msmpeg4", "MS MPEG-4 v3");
    case VideoCodecChoice::Msmpeg4v2: return FindEncoder("msmpeg4v2", "MS MPEG-4 v2");
    case VideoCodecChoice::H264: return FindEncoder("libx264", "H.264 (x264)");
    case VideoCodecChoice::H265: return FindEncoder("libx265", "H.265 (x265)");
    case VideoCodecChoice::Av1: return FindEncoder("libsvtav1", "AV1 (SVT-AV1)");
    }
    return FindEncoder("mpeg4", "MPEG-4");
}

const AVCodec* EncoderFactory::FindAudio(AudioCodecChoice codec) {
    switch (codec) {
    case AudioCodecChoice::Mp3: return FindEncoder("libmp3lame", "MP3 (LAME)");
    case AudioCodecChoice::Mp2: return FindEncoder("mp2", "MP2");
    case AudioCodecChoice::Ac3: return FindEncoder("ac3", "AC3");
    case AudioCodecChoice::Wmav1: return FindEncoder("wmav1", "WMA 1");
    case AudioCodecChoice::Wmav2: return FindEncoder("wmav2", "WMA 2");
    case AudioCodecChoice::Aac: return FindEncoder("aac", "AAC");
    case AudioCodecChoice::Opus: return FindEncoder("libopus", "Opus");
    }
    return FindEncoder("mp2", "MP2");
}

CodecContextPtr EncoderFactory::OpenVideo(const EncoderOptions& options, VideoCodecChoice codec,
                                          ContainerChoice container, const VideoGeometry& geometry,
                                          const FrameTiming& timing, const OutputColours& colours, FieldHandling fields,
                                          bool globalHeader) {
    const AVCodec* encoder = FindVideo(codec);
    CodecContextPtr context = MakeCodecContext(encoder);
    const VideoEncodeOptions& video = options.video;
    context->width = geometry.frameWidth;
    context->height = geometry.frameHeight;
    context->sample_aspect_ratio = geometry.sampleAspect;
    SetPictureKind(context.get(), colours, fields);
    context->time_base = timing.timeBase;
    context->framerate = timing.rate;
    context->gop_size = video.keyframeInterval.value_or(IsMpegVideo(codec) ? kMpegDefaultKeyint : kDefaultKeyint);
    // A browser seeks to a keyframe: a WebM file has one at least every 5 seconds.
    if (container == ContainerChoice::WebM)
        context->gop_size = std::min(context->gop_size, std::max(1, int(kWebSeekSeconds * av_q2d(timing.rate))));
    if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    OptionDictionary settings;
    if (IsConstantQualityVideo(codec)) {
        context->thread_count = ThreadShareFromEnvironment();
        SetConstantQuality(codec, video, colours, settings);
        Open(context.get(), encoder, settings);
        return context;
    }
    context->max_b_frames = 0;
    SetRateControl(context.get(), video);
    if (IsMpegVideo(codec)) FitConstantRateToTheSize(context.get());
    SetQuantisers(context.get(), video);
    if (codec == VideoCodecChoice::Xvid) {
        // Xvid runs its own threads; it takes the count from us.
        context->thread_count = EncoderThreads();
    } else {
        context->thread_count = ThreadShareFromEnvironment();
        context->thread_type = FF_THREAD_SLICE;
        if (video.rateDistortionDecision) settings.Set("mbd", "rd");
    }
    if (container == ContainerChoice::Svcd) settings.Set("scan_offset", "1");
    Open(context.get(), encoder, settings);
    return context;
}

CodecContextPtr EncoderFactory::OpenAudio(const EncoderOptions& options, AudioCodecChoice codec,
                                          const AudioFormat& format, bool globalHeader) {
    const AVCodec* encoder = FindAudio(codec);
    CodecContextPtr context = MakeCodecContext(encoder);
    context->sample_fmt = format.sampleFormat;
    context->sample_rate = format.sampleRate;
    CheckFfmpeg(av_channel_layout_copy(&context->ch_layout, &format.layout), ExitStatus::OutputUnwritable,
                "Cannot set the audio channels");
    context->time_base = AVRational{1, format.sampleRate};
    context->bit_rate = std::int64_t(format.bitrateKbps) * 1000;
    if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    OptionDictionary settings;
    if (codec == AudioCodecChoice::Mp3) {
        const AudioEncodeOptions& audio = options.audio;
        LameRateMode rate = audio.lameRate.value_or(LameRateMode::Average);
        if (rate == LameRateMode::Average) settings.Set("abr", "1");
        if (rate == LameRateMode::Variable) {
            context->flags |= AV_CODEC_FLAG_QSCALE;
            context->global_quality = FF_QP2LAMBDA * kLameVariableQuality;
        }
        if (audio.lameChannels == LameChannelMode::Stereo) settings.Set("joint_stereo", "0");
        if (audio.lameChannels == LameChannelMode::DualChannel) {
            Notice("LAME's dual-channel mode is written as plain stereo.");
            settings.Set("joint_stereo", "0");
        }
    }
    Open(context.get(), encoder, settings);
    return context;
}
