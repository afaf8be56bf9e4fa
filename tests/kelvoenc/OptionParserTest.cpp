#include "core/ArgumentSplitter.h"
#include "core/EncoderArguments.h"
#include "core/FormatCatalogue.h"
#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/OptionParser.h"

#include <gtest/gtest.h>

namespace {

// What the encoder makes of the arguments the front-end builds.
EncoderOptions ParseRun(const EncoderRunValues& run, const ConversionSettings& settings) {
    return OptionParser::Parse(ConversionArguments(run, settings));
}

EncoderOptions ParseFrontEndText(const ConversionSettings& settings) {
    return ParseRun({"/clips/a b.avi", "/out/a b.avi", {}, 0, 7, 25.0}, settings);
}

EncoderOptions ParseText(const std::string& text) { return OptionParser::Parse(SplitArguments(text)); }

std::string RefusalOf(const std::string& text) {
    try {
        ParseText(text);
    } catch (const EncoderFailure& failure) {
        EXPECT_EQ(failure.Status(), ExitStatus::BadArguments);
        return failure.what();
    }
    return "accepted";
}

}  // namespace

TEST(FrontEndText, DivxWithMp3) {
    EncoderOptions options = ParseFrontEndText(ConversionSettings{});
    EXPECT_EQ(options.sourcePath, "/clips/a b.avi");
    EXPECT_EQ(options.outputPath, "/out/a b.avi");
    EXPECT_EQ(options.mode, 0);
    EXPECT_EQ(options.handle, 7);
    EXPECT_EQ(options.container, ContainerChoice::Avi);
    EXPECT_EQ(options.video.codec, VideoCodecChoice::Mpeg4);
    EXPECT_EQ(options.video.bitrateKbps, 1000);
    EXPECT_TRUE(options.video.rateDistortionDecision);
    EXPECT_EQ(options.video.minQuantiser, 1);
    EXPECT_EQ(options.video.fourcc, "DX50");
    EXPECT_TRUE(options.video.autoAspect);
    EXPECT_EQ(options.audio.codec, AudioCodecChoice::Mp3);
    EXPECT_EQ(options.audio.bitrateKbps, 128);
    EXPECT_EQ(options.audio.lameRate, LameRateMode::Average);
    EXPECT_EQ(options.audio.lameChannels, LameChannelMode::Mono);
    EXPECT_EQ(options.audioFilter.gainDb, 0.0);
    EXPECT_FALSE(options.audioFilter.softClip);
    EXPECT_EQ(options.audioFilter.maxChannels, 2);
    EXPECT_EQ(options.videoFilter.scaler, 2);
    ASSERT_TRUE(options.outputFrameRate);
    EXPECT_EQ(options.outputFrameRate->num, 25);
    EXPECT_EQ(options.outputFrameRate->den, 1);
    EXPECT_EQ(options.endSeconds, 9 * 3600.0);
}

TEST(FrontEndText, XvidWithAc3TakesTheXvidBitrateNotTheAudioOnes) {
    ConversionSettings settings;
    settings.outputFormat = FormatXvid;
    settings.xvidAudioCodec = 1;
    EncoderOptions options = ParseFrontEndText(settings);
    EXPECT_EQ(options.video.codec, VideoCodecChoice::Xvid);
    EXPECT_EQ(options.video.bitrateKbps, 1000);
    EXPECT_EQ(options.audio.codec, AudioCodecChoice::Ac3);
    EXPECT_EQ(options.audio.bitrateKbps, 128);
    EXPECT_EQ(options.audioFilter.maxChannels, 6);
    EXPECT_EQ(options.audioFilter.resampleRate, 44100);
    EXPECT_EQ(options.audioFilter.outputSampleRate, 44100);
}

TEST(FrontEndText, PalDvdWithMp2QuieterAndLetterboxed) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.tvMode = 1;
    settings.dvdAudioCodec = 1;
    settings.dvdAspect = 0;
    settings.volume = 17;
    EncoderOptions options = ParseRun({"/s.mp4", "/o.vob", {{720, 576}, {0, 40}}, 0, 3, 25.0}, settings);
    EXPECT_EQ(options.container, ContainerChoice::Dvd);
    EXPECT_EQ(options.video.codec, VideoCodecChoice::Mpeg2);
    EXPECT_EQ(options.video.keyframeInterval, 15);
    EXPECT_EQ(options.video.bufferKbit, 1835);
    EXPECT_EQ(options.video.maxRateKbps, 9400);
    ASSERT_TRUE(options.video.displayAspect);
    EXPECT_EQ(options.video.displayAspect->num, 4);
    EXPECT_EQ(options.video.displayAspect->den, 3);
    EXPECT_EQ(options.audio.codec, AudioCodecChoice::Mp2);
    EXPECT_EQ(options.audioFilter.gainDb, -3.0);
    EXPECT_FALSE(options.audioFilter.maxChannels);
    EXPECT_EQ(options.audioFilter.outputSampleRate, 48000);
    ASSERT_TRUE(options.videoFilter.scale);
    EXPECT_EQ(options.videoFilter.scale->width, 720);
    EXPECT_EQ(options.videoFilter.scale->height, -3);
    ASSERT_TRUE(options.videoFilter.expand);
    EXPECT_EQ(options.videoFilter.expand->width, 720);
    EXPECT_EQ(options.videoFilter.expand->height, 576);
}

TEST(FrontEndText, AsfMsmpeg4v2KeepsTheSourceTimingAndProbeMode) {
    ConversionSettings settings;
    settings.outputFormat = FormatAsf;
    settings.asfVideoCodec = 1;
    settings.asfAudioCodec = 0;
    settings.wmvQuality = 8;
    EncoderOptions options = ParseRun({"/s.rm", "/o.asf", {}, 1, -1, 0.0}, settings);
    EXPECT_EQ(options.mode, 1);
    EXPECT_EQ(options.handle, -1);
    EXPECT_EQ(options.container, ContainerChoice::Asf);
    EXPECT_EQ(options.video.codec, VideoCodecChoice::Msmpeg4v2);
    EXPECT_EQ(options.video.fixedQuantiser, 9);
    EXPECT_EQ(options.audio.codec, AudioCodecChoice::Wmav1);
    EXPECT_EQ(options.outputFrameRate->Value(), 1000.0);
}

TEST(FrontEndText, NtscRatesAreExactFractions) {
    ConversionSettings settings;
    settings.outputFormat = FormatSvcd;
    EncoderOptions options = ParseFrontEndText(settings);
    EXPECT_EQ(options.container, ContainerChoice::Svcd);
    EXPECT_EQ(options.outputFrameRate->num, 30000);
    EXPECT_EQ(options.outputFrameRate->den, 1001);
    EXPECT_EQ(options.video.minRateKbps, 600);
}

TEST(FrontEndText, Mp4TakesAQualityFactorAndASpeed) {
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H265;
    settings.mp4Quality = 0;
    EncoderOptions options = ParseFrontEndText(settings);
    EXPECT_EQ(options.container, ContainerChoice::Mp4);
    EXPECT_EQ(options.video.codec, VideoCodecChoice::H265);
    EXPECT_EQ(options.video.qualityFactor, 32);
    EXPECT_EQ(options.video.speedPreset, "ultrafast");
    EXPECT_FALSE(options.video.bitrateKbps);
    EXPECT_EQ(options.audio.codec, AudioCodecChoice::Aac);
    EXPECT_EQ(options.audio.bitrateKbps, 128);
    EXPECT_EQ(options.audioFilter.maxChannels, 2);
    EXPECT_FALSE(options.audioFilter.outputSampleRate);
}

TEST(Vocabulary, NumbersInTheirOtherForms) {
    EncoderOptions options =
        ParseText("in -o out -ofps 23.976 -endpos 1:02:03.5 -lavcopts aspect=2.21/1 -af volume=+5db:1,channels=1 0 0");
    EXPECT_EQ(options.outputFrameRate->num, 2997);
    EXPECT_EQ(options.outputFrameRate->den, 125);
    EXPECT_DOUBLE_EQ(*options.endSeconds, 3723.5);
    EXPECT_EQ(options.video.displayAspect->num, 221);
    EXPECT_EQ(options.video.displayAspect->den, 100);
    EXPECT_EQ(options.audioFilter.gainDb, 5.0);
    EXPECT_TRUE(options.audioFilter.softClip);
    EXPECT_EQ(options.audioFilter.maxChannels, 1);
    EXPECT_EQ(ParseText("in -o out -endpos 90 0 0").endSeconds, 90.0);
    EXPECT_EQ(ParseText("in -o out -ss 0:1:30.5 -endpos 100 0 0").startSeconds, 90.5);
    const std::optional<CropRectangle> crop =
        ParseText("in -o out -vf crop=640:272:0:44,scale=-3:480,harddup 0 0").videoFilter.crop;
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->width, 640);
    EXPECT_EQ(crop->height, 272);
    EXPECT_EQ(crop->x, 0);
    EXPECT_EQ(crop->y, 44);
    EXPECT_EQ(ParseText("in -o out -still 1.5 0 0").stillSeconds, 1.5);
    EXPECT_EQ(ParseText("in -o out -audiotracks 3,1 0 0").soundTracks, (std::vector<int>{3, 1}));
}

// The front-end's choice of sound tracks reaches the encoder in its order;
// a file without one gets no word for it.
TEST(FrontEndText, SoundTracksInTheirOrder) {
    EncoderRunValues run{"/clips/film.mkv", "/out/film.mp4", {}, 0, 7, 25.0};
    EXPECT_TRUE(ParseRun(run, ConversionSettings{}).soundTracks.empty());
    run.soundTracks = {2, 1, 3};
    EXPECT_EQ(ParseRun(run, ConversionSettings{}).soundTracks, (std::vector<int>{2, 1, 3}));
}

TEST(Vocabulary, RefusalsNameTheOption) {
    EXPECT_NE(RefusalOf("in -o out -bogus 1 0 0").find("-bogus"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -lavcopts vbitrate=fast 0 0").find("vbitrate"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -lavcopts vfoo=1 0 0").find("vfoo"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -lameopts mode=4 0 0").find("-lameopts mode"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -af volume=loud 0 0").find("-af volume"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -vf scale=320 0 0").find("-vf scale"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -vf rotate=90 0 0").find("rotate"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -ofps 25/0 0 0").find("-ofps"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -sws 11 0 0").find("-sws"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -lavcopts crf=64 0 0").find("-lavcopts crf"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -lavcopts preset=quick 0 0").find("-lavcopts preset"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -still 0 0 0").find("-still"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -audiotracks 1,,2 0 0").find("-audiotracks"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -audiotracks 0 0 0").find("-audiotracks"), std::string::npos);
    // The last two arguments are always MODE and HANDLE, never an option's value.
    EXPECT_NE(RefusalOf("in -o out -endpos 0 7").find("-endpos needs a value"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out 5 7").find("MODE"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -vf crop=320:0:0:0 0 7").find("-vf crop"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -vf crop=320:240:-2:0 0 7").find("-vf crop"), std::string::npos);
    EXPECT_NE(RefusalOf("in -o out -vf crop=320:240 0 7").find("W:H:X:Y"), std::string::npos);
    EXPECT_NE(RefusalOf("in 2 7").find("No output"), std::string::npos);
    EXPECT_NE(RefusalOf("in other -o out 0 7").find("Unexpected argument"), std::string::npos);
    EXPECT_NE(RefusalOf("-o out 0 7").find("No source"), std::string::npos);
}

TEST(Vocabulary, OutOfRangeValuesFromUncheckedSettingsAreLeftToTheEncoders) {
    // A quality index beyond its list gives bitrate 0 and negative
    // quantisers; the encoder picks usable values instead of refusing.
    EXPECT_EQ(RefusalOf("in -o out -lavcopts vbitrate=0:abitrate=0:vqscale=-1:vrc_minrate=0 0 0"), "accepted");
}

TEST(Vocabulary, ProbeAndMeasuringNeedNoOutput) {
    EXPECT_EQ(ParseText("in 1 5").mode, 1);
    EXPECT_EQ(ParseText("in -ss 10 -endpos 20 4 5").mode, 4);
}
