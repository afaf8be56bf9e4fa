// Every quality preset with every audio codec the settings dialog offers,
// for each format whose pieces differ: the encoder must convert each one,
// picking values its libraries accept where a preset asks for one they
// refuse. One-second clips keep the sweep short; the sources alternate
// between mono 22.05 kHz and 5.1 48 kHz, the two ends encoders trip on.
// Then what the quality buys, on a noisy clip: the bitrate formats spend
// what their preset asks, the fixed-quantiser formats as much as the ffmpeg
// command line at the same quantiser, and every output keeps the source's
// length and starts its sound with its picture.

#include "EncoderTestSupport.h"
#include "core/FormatCatalogue.h"
#include "core/Padding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char* const kSweepSources[] = {"tiny-mono.avi", "tiny-surround.mp4"};

// The format's short name, "mp4-h265" as "mp4_h265".
std::string FormatName(const testing::TestParamInfo<int>& info) {
    std::string name = FormatCatalogue::Format(info.param).shortName;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class EveryPreset : public testing::TestWithParam<int> {};

TEST_P(EveryPreset, Converts) {
    const int format = GetParam();
    const std::size_t qualities = FormatCatalogue::QualityList(format).entries.size();
    const ChoiceList audioCodecs = FormatCatalogue::AudioCodecList(format);
    const ChoiceList videoCodecs = FormatCatalogue::VideoCodecList(format);
    int run = 0;
    for (std::size_t quality = 0; quality < qualities; ++quality) {
        for (std::size_t audio = 0; audio < audioCodecs.entries.size(); ++audio, ++run) {
            ConversionSettings settings;
            settings.outputFormat = format;
            settings.*FormatCatalogue::QualityField(format) = static_cast<int>(quality);
            if (audioCodecs.enabled) settings.*audioCodecs.storeTo = static_cast<int>(audio);
            if (videoCodecs.enabled) settings.*videoCodecs.storeTo = run % static_cast<int>(videoCodecs.entries.size());
            settings.tvMode = run % 2;
            const char* fixture = kSweepSources[run % 2];
            const SourceFacts& source = FactsOf(fixture);
            ScratchFolder folder;
            EncoderRunValues values{FixturePath(fixture),
                                    folder.Path("out." + OutputExtension(format)),
                                    PlanFrame(settings, source.width, source.height, source.sampleAspect),
                                    EncoderConvert,
                                    0,
                                    source.frameRate};
            EncoderRun encoder = RunFrontEndText(values, settings);

            SCOPED_TRACE(encoder.Describe());
            ASSERT_TRUE(encoder.result.Exited(0)) << "quality " << quality << ", audio codec " << audio;
            MediaInfo output = ReadMediaInfo(values.outputPath, false);
            EXPECT_EQ(output.Count("video"), 1);
            EXPECT_EQ(output.Count("audio"), 1);
        }
    }
}

// DivX and Xvid are AVI with one codec fixed, so AVI's sweep covers them;
// the MKV rows take the MP4 rows' steps, so MP4's sweep covers theirs.
INSTANTIATE_TEST_SUITE_P(Presets, EveryPreset,
                         testing::Values(FormatAvi, FormatMpeg1, FormatMpeg2, FormatVcd, FormatSvcd, FormatDvd,
                                         FormatWmv, FormatAsf, FormatMp4H264, FormatMp4H265, FormatWebm),
                         FormatName);

constexpr const char* kNoisySource = "noisy.avi";
constexpr const char* kLongNoisySource = "noisy-long.avi";

double VideoKbps(const StreamInfo& video) { return video.bytes * 8 / video.Span() / 1000; }

// Within one frame of the source's length, sound starting with the picture.
// Audio encoders put one packet of priming before the sound and pad the
// last; players skip both, so one audio packet more is let through.
void ExpectLengthAndStartKept(const MediaInfo& output, const char* source = kNoisySource) {
    const StreamInfo* video = output.First("video");
    const StreamInfo* audio = output.First("audio");
    ASSERT_TRUE(video && audio);
    double frame = 1 / std::max(video->Rate("avg_frame_rate"), 1.0);
    double priming = audio->packets ? audio->Span() / audio->packets : 0;
    double length = FactsOf(source).videoSpan;
    EXPECT_NEAR(video->Span(), length, frame) << "video length";
    EXPECT_NEAR(audio->Span(), length, frame + priming) << "audio length";
    EXPECT_NEAR(audio->firstTime, video->firstTime, frame + priming) << "audio and video start apart";
}

class BitrateFormat : public testing::TestWithParam<int> {};

TEST_P(BitrateFormat, SpendsWhatThePresetAsks) {
    ConversionSettings settings;
    settings.outputFormat = GetParam();
    ScratchFolder folder;
    Converted converted = ConvertFixture(folder, kLongNoisySource, settings);
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    const int asked = ResolveBitrates(settings).video;
    ASSERT_NE(converted.output.First("video"), nullptr);
    EXPECT_NEAR(VideoKbps(*converted.output.First("video")) / asked, 1.0, 0.2) << "asked for " << asked << " kbit/s";
    ExpectLengthAndStartKept(converted.output, kLongNoisySource);
}

INSTANTIATE_TEST_SUITE_P(Presets, BitrateFormat,
                         testing::Values(FormatAvi, FormatMpeg1, FormatMpeg2, FormatDivx, FormatXvid, FormatVcd,
                                         FormatSvcd, FormatDvd),
                         FormatName);

struct QuantiserCase {
    int format;
    int asfVideoCodec;
    const char* ffmpegEncoder;
};

class FixedQuantiser : public testing::TestWithParam<QuantiserCase> {};

long FfmpegVideoBytes(const ScratchFolder& folder, const char* encoder, int quantiser) {
    std::string output = folder.Path("ffmpeg-" + std::to_string(quantiser) + ".asf");
    ChildRequest request;
    request.arguments = {FFMPEG_PATH,
                         "-nostdin",
                         "-v",
                         "error",
                         "-i",
                         FixturePath(kNoisySource),
                         "-an",
                         "-c:v",
                         encoder,
                         "-q:v",
                         std::to_string(quantiser),
                         output};
    if (!RunChild(request).Exited(0)) return 0;
    const MediaInfo info = ReadMediaInfo(output);
    const StreamInfo* video = info.First("video");
    return video ? video->bytes : 0;
}

TEST_P(FixedQuantiser, ShrinksAsTheQuantiserGrowsLikeFfmpeg) {
    long previous = 0;
    for (int quality : {8, 4, 0}) {  // quantisers 9, 19, 29
        ConversionSettings settings;
        settings.outputFormat = GetParam().format;
        settings.asfVideoCodec = GetParam().asfVideoCodec;
        settings.wmvQuality = quality;
        ScratchFolder folder;
        Converted converted = ConvertFixture(folder, kNoisySource, settings);
        ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
        ASSERT_NE(converted.output.First("video"), nullptr);
        long bytes = converted.output.First("video")->bytes;
        int quantiser = WmvQuantiser(quality);
        long reference = FfmpegVideoBytes(folder, GetParam().ffmpegEncoder, quantiser);
        ASSERT_GT(reference, 0) << "ffmpeg could not make the reference";
        EXPECT_NEAR(double(bytes) / reference, 1.0, 0.3) << "quantiser " << quantiser;
        if (previous) {
            EXPECT_LT(bytes, previous) << "quantiser " << quantiser << " did not shrink the file";
        }
        previous = bytes;
        ExpectLengthAndStartKept(converted.output);
    }
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, FixedQuantiser,
                         testing::Values(QuantiserCase{FormatWmv, 0, "wmv2"}, QuantiserCase{FormatAsf, 0, "msmpeg4"},
                                         QuantiserCase{FormatAsf, 1, "msmpeg4v2"}),
                         [](const testing::TestParamInfo<QuantiserCase>& info) {
                             return std::string(info.param.ffmpegEncoder);
                         });

}  // namespace
