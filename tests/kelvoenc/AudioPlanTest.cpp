#include "kelvoenc/AudioPlan.h"
#include "kelvoenc/EncoderFactory.h"

#include <gtest/gtest.h>

namespace {

SourceSound Sound(int rate, int channels) {
    SourceSound sound;
    sound.sampleRate = rate;
    av_channel_layout_default(&sound.layout, channels);
    return sound;
}

AudioFormat Plan(const EncoderOptions& options, AudioCodecChoice codec, const SourceSound& source) {
    return AudioPlan::Format(options, codec, EncoderFactory::FindAudio(codec), source);
}

}  // namespace

TEST(AudioBitrates, SnapToWhatEachEncoderAccepts) {
    EXPECT_EQ(AudioPlan::Mp2Bitrate(200, 44100), 192);
    EXPECT_EQ(AudioPlan::Mp2Bitrate(224, 22050), 160);
    EXPECT_EQ(AudioPlan::Mp2Bitrate(8, 48000), 32);
    EXPECT_EQ(AudioPlan::Ac3Bitrate(100, 2), 96);
    EXPECT_EQ(AudioPlan::Ac3Bitrate(32, 6), 64);
    EXPECT_EQ(AudioPlan::Ac3Bitrate(1000, 2), 640);
    EXPECT_EQ(AudioPlan::WmaBitrate(16), 24);
    EXPECT_EQ(AudioPlan::LameBitrate(100, 44100, LameRateMode::Constant), 96);
    EXPECT_EQ(AudioPlan::LameBitrate(224, 8000, LameRateMode::Average), 160);
    EXPECT_EQ(AudioPlan::Nearest(88, std::vector<int>{80, 96}), 80);  // a tie takes the lower
}

TEST(AudioFormat, SixChannelsIntoEachEncoder) {
    EncoderOptions options;
    EXPECT_EQ(Plan(options, AudioCodecChoice::Ac3, Sound(48000, 6)).layout.nb_channels, 6);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Mp2, Sound(48000, 6)).layout.nb_channels, 2);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Wmav2, Sound(48000, 6)).layout.nb_channels, 2);
    // Opus keeps 5.1 at twice stereo's rate.
    const AudioFormat opus = Plan(options, AudioCodecChoice::Opus, Sound(44100, 6));
    EXPECT_EQ(opus.layout.nb_channels, 6);
    EXPECT_EQ(opus.bitrateKbps, 256);
    EXPECT_EQ(opus.sampleRate, 48000);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Opus, Sound(48000, 2)).bitrateKbps, 128);
    options.audioFilter.maxChannels = 2;
    EXPECT_EQ(Plan(options, AudioCodecChoice::Ac3, Sound(48000, 6)).layout.nb_channels, 2);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Ac3, Sound(48000, 1)).layout.nb_channels, 1);
}

TEST(AudioFormat, LameMonoModeAndRates) {
    EncoderOptions options;
    options.audio.lameChannels = LameChannelMode::Mono;
    AudioFormat mp3 = Plan(options, AudioCodecChoice::Mp3, Sound(96000, 2));
    EXPECT_EQ(mp3.layout.nb_channels, 1);
    EXPECT_EQ(mp3.sampleRate, 48000);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Mp3, Sound(8000, 1)).sampleRate, 8000);
    // A channel count asked of the audio filter wins over the mode.
    options.audioFilter.maxChannels = 2;
    EXPECT_EQ(Plan(options, AudioCodecChoice::Mp3, Sound(48000, 6)).layout.nb_channels, 2);
    EXPECT_EQ(Plan(options, AudioCodecChoice::Mp3, Sound(48000, 1)).layout.nb_channels, 1);
}

TEST(AudioFormat, RequestedRatesWithinEachEncoder) {
    EncoderOptions options;
    options.audioFilter.outputSampleRate = 44100;
    EXPECT_EQ(Plan(options, AudioCodecChoice::Ac3, Sound(8000, 1)).sampleRate, 44100);
    EXPECT_EQ(Plan(EncoderOptions{}, AudioCodecChoice::Ac3, Sound(22050, 2)).sampleRate, 32000);
    EXPECT_EQ(Plan(EncoderOptions{}, AudioCodecChoice::Wmav2, Sound(96000, 2)).sampleRate, 48000);
    EXPECT_EQ(Plan(EncoderOptions{}, AudioCodecChoice::Mp2, Sound(11025, 2)).sampleRate, 16000);
}
