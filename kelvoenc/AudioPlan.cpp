#include "kelvoenc/AudioPlan.h"

#include "kelvoenc/EncoderFailure.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// MPEG audio bitrates of layers II and III, for 32 kHz and up and for the
// half rates below.
constexpr int kMp2Bitrates[] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int kMp3Bitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kHalfRateBitrates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr int kAc3Bitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};

// MP4's sound stays at 44.1 or 48 kHz, the rates every player takes.
constexpr int kAacRates[] = {44100, 48000};

constexpr int kWmaMinimumKbps = 24;
constexpr int kWmaMaximumRate = 48000;

const char* CodecName(AudioCodecChoice codec) {
    switch (codec) {
    case AudioCodecChoice::Mp3: return "MP3";
    case AudioCodecChoice::Mp2: return "MP2";
    case AudioCodecChoice::Ac3: return "AC3";
    case AudioCodecChoice::Wmav1: return "WMA 1";
    case AudioCodecChoice::Wmav2: return "WMA 2";
    case AudioCodecChoice::Aac: return "AAC";
    case AudioCodecChoice::Opus: return "Opus";
    }
    return "the audio encoder";
}

int MaximumChannels(AudioCodecChoice codec) {
    return codec == AudioCodecChoice::Ac3 || codec == AudioCodecChoice::Opus ? 6 : 2;
}

// Opus takes 128 kbit/s for stereo and twice that for 5.1.
int DefaultBitrate(AudioCodecChoice codec, int channels) {
    switch (codec) {
    case AudioCodecChoice::Ac3: return 192;
    case AudioCodecChoice::Mp2: return 192;
    case AudioCodecChoice::Opus: return channels > 2 ? 256 : 128;
    default: return 128;
    }
}

void NoteChange(AudioCodecChoice codec, const std::string& what, int asked, int made, const std::string& unit) {
    if (asked != made)
        Notice(std::string("the audio ") + what + " " + std::to_string(asked) + unit + " was changed to " +
               std::to_string(made) + unit + ": the nearest " + CodecName(codec) + " accepts.");
}

int ChannelCount(const EncoderOptions& options, AudioCodecChoice codec, int sourceChannels) {
    int channels = sourceChannels;
    if (options.audioFilter.maxChannels) channels = std::min(channels, *options.audioFilter.maxChannels);
    // LAME's mono mode names the mode for a mono input; a channel count the
    // audio filter asks for says what the input is, so it wins: mode=3 with
    // channels=2 gives (joint) stereo from a source of two or more channels.
    bool mono = options.audio.lameChannels == LameChannelMode::Mono && !options.audioFilter.maxChannels;
    if (codec == AudioCodecChoice::Mp3 && mono) channels = 1;
    int limit = MaximumChannels(codec);
    if (channels > limit) {
        Notice("the audio is mixed down from " + std::to_string(channels) + " to " + std::to_string(limit) +
               " channels: " + CodecName(codec) + " carries at most " + std::to_string(limit) + ".");
        channels = limit;
    }
    return channels;
}

bool Supports(const AVCodec* encoder, const AVChannelLayout& layout) {
    if (!encoder->ch_layouts) return true;
    for (const AVChannelLayout* offered = encoder->ch_layouts; offered->nb_channels; ++offered)
        if (av_channel_layout_compare(offered, &layout) == 0) return true;
    return false;
}

// The source's own layout when it survives, else the usual one for the count.
AVChannelLayout ChooseLayout(const AVCodec* encoder, const AVChannelLayout& source, int channels) {
    AVChannelLayout layout{};
    if (source.nb_channels == channels && source.order == AV_CHANNEL_ORDER_NATIVE && Supports(encoder, source)) {
        av_channel_layout_copy(&layout, &source);
        return layout;
    }
    av_channel_layout_default(&layout, channels);
    if (Supports(encoder, layout)) return layout;
    for (const AVChannelLayout* offered = encoder->ch_layouts; offered->nb_channels; ++offered)
        if (offered->nb_channels == channels) {
            av_channel_layout_copy(&layout, offered);
            return layout;
        }
    av_channel_layout_default(&layout, 2);
    return layout;
}

int ChooseSampleRate(const EncoderOptions& options, AudioCodecChoice codec, const AVCodec* encoder, int sourceRate) {
    const AudioFilterOptions& filters = options.audioFilter;
    int wanted = filters.outputSampleRate ? *filters.outputSampleRate
                 : filters.resampleRate   ? *filters.resampleRate
                                          : sourceRate;
    int rate = wanted;
    if (codec == AudioCodecChoice::Aac) {
        rate = AudioPlan::Nearest(wanted, kAacRates);
    } else if (encoder->supported_samplerates) {
        std::vector<int> allowed;
        for (const int* offered = encoder->supported_samplerates; *offered; ++offered) allowed.push_back(*offered);
        rate = AudioPlan::Nearest(wanted, allowed);
    } else if (codec == AudioCodecChoice::Wmav1 || codec == AudioCodecChoice::Wmav2) {
        rate = std::clamp(wanted, 8000, kWmaMaximumRate);
    }
    NoteChange(codec, "sample rate", wanted, rate, " Hz");
    return rate;
}

int ChooseBitrate(const EncoderOptions& options, AudioCodecChoice codec, int sampleRate, int channels) {
    const int usual = DefaultBitrate(codec, channels);
    int wanted = options.audio.bitrateKbps.value_or(usual);
    if (wanted == 0) {
        Notice("an audio bitrate of 0 kbit/s cannot be encoded; " + std::to_string(usual) + " kbit/s are used.");
        wanted = usual;
    }
    int bitrate = wanted;
    switch (codec) {
    case AudioCodecChoice::Mp3:
        bitrate = AudioPlan::LameBitrate(wanted, sampleRate, options.audio.lameRate.value_or(LameRateMode::Average));
        break;
    case AudioCodecChoice::Mp2: bitrate = AudioPlan::Mp2Bitrate(wanted, sampleRate); break;
    case AudioCodecChoice::Ac3: bitrate = AudioPlan::Ac3Bitrate(wanted, channels); break;
    case AudioCodecChoice::Wmav1:
    case AudioCodecChoice::Wmav2: bitrate = AudioPlan::WmaBitrate(wanted); break;
    case AudioCodecChoice::Aac:
    case AudioCodecChoice::Opus: break;
    }
    NoteChange(codec, "bitrate", wanted, bitrate, " kbit/s");
    return bitrate;
}

}  // namespace

AVChannelLayout AudioPlan::KnownLayout(const AVChannelLayout& layout) {
    AVChannelLayout known{};
    if (layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_copy(&known, &layout);
    else
        av_channel_layout_default(&known, layout.nb_channels);
    return known;
}

int AudioPlan::Nearest(int wanted, std::span<const int> allowed) {
    int nearest = allowed.front();
    for (int candidate : allowed) {
        long distance = std::labs(long(candidate) - wanted);
        long best = std::labs(long(nearest) - wanted);
        if (distance < best || (distance == best && candidate < nearest)) nearest = candidate;
    }
    return nearest;
}

int AudioPlan::Mp2Bitrate(int kbps, int sampleRate) {
    return sampleRate >= 32000 ? Nearest(kbps, kMp2Bitrates) : Nearest(kbps, kHalfRateBitrates);
}

// The encoder's bit allocation fails for five or six channels below 40
// kbit/s; leave them room.
int AudioPlan::Ac3Bitrate(int kbps, int channels) {
    int minimum = channels >= 5 ? 64 : channels >= 3 ? 48 : 32;
    return Nearest(std::max(kbps, minimum), kAc3Bitrates);
}

int AudioPlan::LameBitrate(int kbps, int sampleRate, LameRateMode mode) {
    bool halfRate = sampleRate < 32000;
    switch (mode) {
    case LameRateMode::Constant: return halfRate ? Nearest(kbps, kHalfRateBitrates) : Nearest(kbps, kMp3Bitrates);
    case LameRateMode::Average: return std::clamp(kbps, 8, halfRate ? 160 : 320);
    case LameRateMode::Variable: return kbps;
    }
    return kbps;
}

int AudioPlan::WmaBitrate(int kbps) { return std::max(kbps, kWmaMinimumKbps); }

AudioFormat AudioPlan::Format(const EncoderOptions& options, AudioCodecChoice codec, const AVCodec* encoder,
                              const SourceSound& source) {
    AudioFormat format;
    int channels = ChannelCount(options, codec, std::max(source.layout.nb_channels, 1));
    av_channel_layout_uninit(&format.layout);
    format.layout = ChooseLayout(encoder, source.layout, channels);
    format.sampleRate = ChooseSampleRate(options, codec, encoder, source.sampleRate > 0 ? source.sampleRate : 44100);
    format.sampleFormat = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    format.bitrateKbps = ChooseBitrate(options, codec, format.sampleRate, format.layout.nb_channels);
    return format;
}
