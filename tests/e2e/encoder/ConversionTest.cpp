// Every output format, with each codec choice, converted from a spread of
// sources through the real encoder with the front-end's own argument text,
// and the result checked with ffprobe.

#include "DiscStructure.h"
#include "EncoderTestSupport.h"
#include "core/FormatCatalogue.h"
#include "core/Padding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using Change = std::function<void(ConversionSettings&)>;

struct Expected {
    const char* container;  // ffprobe's format name
    const char* videoCodec;
    const char* fourcc;  // nullptr: not checked
    int width;           // 0: the source's, rounded to even
    int height;
    double frameRate;        // 0: the source's own frames and timing are kept
    double aspect;           // display aspect; 0: not checked
    const char* audioCodec;  // nullptr: no audio stream
    int sampleRate;          // 0: the source's
    int channels;
    DiscProfile disc;
};

struct Case {
    const char* name;
    const char* fixture;
    Change change;
    Expected expected;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

constexpr double k43 = 4.0 / 3, k169 = 16.0 / 9, kNtsc = 30000.0 / 1001, kFilm = 24000.0 / 1001;
constexpr DiscProfile kNoDisc = DiscProfile::None;

Change Format(int format, Change more = {}) {
    return [format, more](ConversionSettings& s) {
        s.outputFormat = format;
        if (more) more(s);
    };
}

// clang-format off
const Case kCases[] = {
    // AVI with both codec choices on each side.
    {"AviDivxMp3FromAvi", "sample.avi", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 320, 240, 25, 0, "mp3", 44100, 2, kNoDisc}},
    // The lowest quality asks AC3 for 64 kbit/s over six channels.
    {"AviDivxAc3FromSurroundLowest", "surround.mp4",
     Format(FormatAvi, [](auto& s) { s.aviAudioCodec = 1; s.aviQuality = 0; }),
     {"avi", "mpeg4", "DX50", 320, 240, 25, 0, "ac3", 44100, 6, kNoDisc}},
    {"AviXvidMp3FromMovScaled", "sample.mov",
     Format(FormatAvi, [](auto& s) { s.aviVideoCodec = 1; s.aviResolution = 17; s.letterbox = 0; }),
     {"avi", "mpeg4", nullptr, 640, 480, 25, 0, "mp3", 48000, 2, kNoDisc}},
    {"AviXvidAc3FromFlv", "sample.flv", Format(FormatAvi, [](auto& s) { s.aviVideoCodec = 1; s.aviAudioCodec = 1; }),
     {"avi", "mpeg4", nullptr, 320, 240, 25, 0, "ac3", 44100, 1, kNoDisc}},
    // LAME takes at most 64 kbit/s at 8 kHz; the preset asks for 128.
    {"AviDivxMp3From8kHz", "sample.3gp", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 176, 144, 15, 0, "mp3", 8000, 1, kNoDisc}},
    // "Original" below 14.985 fps is raised to 15000/1001 by repeating frames.
    {"AviFrom12Fps", "slow.avi", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 320, 240, 15000.0 / 1001, 0, "mp3", 44100, 2, kNoDisc}},
    // autoaspect keeps an anamorphic picture's 16:9, whether scaled or not.
    {"AviDivxFromAnamorphicKeepsAspect", "anamorphic.vob", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 720, 480, kNtsc, k169, "mp3", 48000, 2, kNoDisc}},
    {"AviXvidScaledFromAnamorphicKeepsAspect", "anamorphic.vob",
     Format(FormatAvi, [](auto& s) { s.aviVideoCodec = 1; s.aviResolution = 17; s.letterbox = 0; }),
     {"avi", "mpeg4", nullptr, 640, 480, kNtsc, k169, "mp3", 48000, 2, kNoDisc}},
    {"AviFromTruncatedAvi", "cut.avi", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 320, 240, 25, 0, "mp3", 44100, 2, kNoDisc}},
    {"AviWithoutAudioFromSilent", "silent.avi", Format(FormatAvi),
     {"avi", "mpeg4", "DX50", 320, 240, 25, 0, nullptr, 0, 0, kNoDisc}},
    {"DivxFromOddSize", "odd-size.avi", Format(FormatDivx),
     {"avi", "mpeg4", "DX50", 0, 0, 25, 0, "mp3", 44100, 2, kNoDisc}},
    {"DivxAc3FromMpeg2", "sample.mpeg", Format(FormatDivx, [](auto& s) { s.divxAudioCodec = 1; }),
     {"avi", "mpeg4", "DX50", 320, 240, kNtsc, 0, "ac3", 44100, 2, kNoDisc}},
    {"XvidFromOddSize", "odd-size.avi", Format(FormatXvid),
     {"avi", "mpeg4", nullptr, 0, 0, 25, 0, "mp3", 44100, 2, kNoDisc}},
    {"XvidAc3From3gp", "sample.3gp", Format(FormatXvid, [](auto& s) { s.xvidAudioCodec = 1; }),
     {"avi", "mpeg4", nullptr, 176, 144, 15, 0, "ac3", 44100, 1, kNoDisc}},
    {"XvidMp3FromDivx", "sample.divx", Format(FormatXvid),
     {"avi", "mpeg4", nullptr, 320, 240, 25, 0, "mp3", 44100, 2, kNoDisc}},

    // MPEG program streams.
    {"Mpeg1FromWmvScaled", "sample.wmv", Format(FormatMpeg1, [](auto& s) { s.mpegResolution = 11; s.mpegAspect = 1; }),
     {"mpeg", "mpeg1video", nullptr, 352, 240, 25, k43, "mp2", 44100, 2, kNoDisc}},
    {"Mpeg1FromXvid", "sample.xvid", Format(FormatMpeg1, [](auto& s) { s.mpegAspect = 2; }),
     {"mpeg", "mpeg1video", nullptr, 320, 240, 25, k169, "mp2", 44100, 2, kNoDisc}},
    {"Mpeg2From60Fps", "fast.mp4", Format(FormatMpeg2),
     {"mpeg", "mpeg2video", nullptr, 320, 240, 30, k169, "mp2", 44100, 2, kNoDisc}},
    {"Mpeg2FromRmvbScaledCinemaScope", "sample.rmvb",
     Format(FormatMpeg2, [](auto& s) { s.mpegResolution = 15; s.mpegFrameRate = 3; s.mpegAspect = 3; }),
     {"mpeg", "mpeg2video", nullptr, 640, 480, 25, 2.21, "mp2", 44100, 2, kNoDisc}},
    // A file cut short converts as far as it can be read.
    {"Mpeg1FromTruncatedFile", "cut.mpg", Format(FormatMpeg1),
     {"mpeg", "mpeg1video", nullptr, 320, 240, 25, k169, "mp2", 44100, 2, kNoDisc}},

    // Disc profiles in both TV modes.
    {"VcdNtscFromRm", "sample.rm", Format(FormatVcd, [](auto& s) { s.tvMode = 0; s.dvdAspect = 0; }),
     {"mpeg", "mpeg1video", nullptr, 352, 240, kFilm, k43, "mp2", 44100, 2, DiscProfile::Vcd}},
    {"VcdPalFrom3gp", "sample.3gp", Format(FormatVcd, [](auto& s) { s.tvMode = 1; s.dvdAspect = 0; }),
     {"mpeg", "mpeg1video", nullptr, 352, 288, 25, k43, "mp2", 44100, 1, DiscProfile::Vcd}},
    {"SvcdNtscFromDat", "sample.dat", Format(FormatSvcd, [](auto& s) { s.tvMode = 0; s.dvdAspect = 0; }),
     {"mpeg", "mpeg2video", nullptr, 480, 480, kNtsc, k43, "mp2", 44100, 2, DiscProfile::Svcd}},
    // Letterboxed from an odd size: the scaled height must come out even.
    {"SvcdNtscFromOddSize", "odd-size.avi", Format(FormatSvcd, [](auto& s) { s.tvMode = 0; s.dvdAspect = 0; }),
     {"mpeg", "mpeg2video", nullptr, 480, 480, kNtsc, k43, "mp2", 44100, 2, DiscProfile::Svcd}},
    {"SvcdPalFromAsf", "sample.asf", Format(FormatSvcd, [](auto& s) { s.tvMode = 1; }),
     {"mpeg", "mpeg2video", nullptr, 480, 576, 25, k169, "mp2", 44100, 1, DiscProfile::Svcd}},
    {"DvdNtscAc3FromAnamorphic", "anamorphic.vob", Format(FormatDvd, [](auto& s) { s.tvMode = 0; }),
     {"mpeg", "mpeg2video", nullptr, 720, 480, kNtsc, k169, "ac3", 48000, 2, DiscProfile::Dvd}},
    {"DvdPalMp2FromSurround", "surround.mp4",
     Format(FormatDvd, [](auto& s) { s.tvMode = 1; s.dvdAudioCodec = 1; s.dvdAspect = 0; }),
     {"mpeg", "mpeg2video", nullptr, 720, 576, 25, k43, "mp2", 48000, 2, DiscProfile::Dvd}},
    {"DvdNtscAc3FromSurround", "surround.mp4", Format(FormatDvd, [](auto& s) { s.tvMode = 0; s.dvdAspect = 0; }),
     {"mpeg", "mpeg2video", nullptr, 720, 480, kNtsc, k43, "ac3", 48000, 6, DiscProfile::Dvd}},
    {"DvdNtscFrom12Fps", "slow.avi", Format(FormatDvd, [](auto& s) { s.tvMode = 0; s.dvdAspect = 0; }),
     {"mpeg", "mpeg2video", nullptr, 720, 480, kNtsc, k43, "ac3", 48000, 2, DiscProfile::Dvd}},

    // Windows Media: every video and audio choice; "Auto" keeps the source's frames.
    {"WmvWma1LowestFromMpg", "sample.mpg", Format(FormatWmv, [](auto& s) { s.wmvAudioCodec = 0; s.wmvQuality = 0; }),
     {"asf", "wmv2", nullptr, 320, 240, 0, 0, "wmav1", 44100, 2, kNoDisc}},
    {"WmvWma2BestFromQt", "sample.qt", Format(FormatWmv, [](auto& s) { s.wmvAudioCodec = 1; s.wmvQuality = 8; }),
     {"asf", "wmv2", nullptr, 320, 240, 0, 0, "wmav2", 44100, 2, kNoDisc}},
    {"WmvFrom3g2", "sample.3g2", Format(FormatWmv),
     {"asf", "wmv2", nullptr, 176, 144, 0, 0, "wmav2", 44100, 1, kNoDisc}},
    {"AsfMsmpeg4From60Fps", "fast.mp4", Format(FormatAsf, [](auto& s) { s.asfVideoCodec = 0; s.asfAudioCodec = 1; }),
     {"asf", "msmpeg4v3", nullptr, 320, 240, 0, 0, "wmav2", 44100, 2, kNoDisc}},
    {"AsfMsmpeg4v2From12Fps", "slow.avi", Format(FormatAsf, [](auto& s) { s.asfVideoCodec = 1; s.asfAudioCodec = 0; }),
     {"asf", "msmpeg4v2", nullptr, 320, 240, 0, 0, "wmav1", 44100, 2, kNoDisc}},
    {"AsfWmv2FromM4v", "sample.m4v", Format(FormatAsf, [](auto& s) { s.asfVideoCodec = 2; }),
     {"asf", "wmv2", nullptr, 320, 240, 0, 0, "wmav2", 44100, 2, kNoDisc}},
    {"AsfFromMp4", "sample.mp4", Format(FormatAsf),
     {"asf", "wmv2", nullptr, 320, 240, 0, 0, "wmav2", 44100, 2, kNoDisc}},
};
// clang-format on

constexpr double kDurationTolerance = 0.1;
// Lip sync: a tenth of a second is the most the suite lets through.
constexpr double kStartTolerance = 0.1;

// The source's audio as a player sees it: priming before zero is not media.
double AudioReference(const SourceFacts& source) {
    const StreamInfo* audio = source.info.First("audio");
    return audio ? audio->endTime - std::max(audio->firstTime, 0.0) : 0;
}

void ExpectEvenNear(int actual, int source, const char* what) {
    EXPECT_EQ(actual % 2, 0) << what << " " << actual << " is odd";
    EXPECT_LE(std::abs(actual - source), 1) << what << " " << actual << " strays from the source's " << source;
}

void CheckVideo(const Case& c, const SourceFacts& source, const StreamInfo& video) {
    const Expected& e = c.expected;
    EXPECT_EQ(video.Text("codec_name"), e.videoCodec);
    if (e.fourcc) {
        EXPECT_EQ(video.Text("codec_tag_string"), e.fourcc);
    }
    int width = static_cast<int>(video.Number("width")), height = static_cast<int>(video.Number("height"));
    if (e.width) {
        EXPECT_EQ(width, e.width);
        EXPECT_EQ(height, e.height);
    } else {
        ExpectEvenNear(width, source.width, "width");
        ExpectEvenNear(height, source.height, "height");
    }
    if (e.aspect) {
        EXPECT_NEAR(video.DisplayAspect() / e.aspect, 1.0, 0.03) << video.Text("display_aspect_ratio");
    }

    if (e.frameRate) {
        double rate = video.Rate("r_frame_rate");
        EXPECT_NEAR(rate, e.frameRate, 0.01) << video.Text("r_frame_rate");
        // A constant rate means one frame per frame interval: no gaps, no extras.
        EXPECT_NEAR(video.packets, video.Span() * e.frameRate, 1.5) << "over " << video.Span() << " s";
    } else {
        EXPECT_EQ(video.packets, source.videoPackets) << "frames were added or dropped";
        EXPECT_TRUE(video.timesIncrease) << "two frames share a timestamp";
    }
    EXPECT_NEAR(video.Span(), source.videoSpan, kDurationTolerance);
}

void CheckAudio(const Case& c, const SourceFacts& source, const MediaInfo& output) {
    const Expected& e = c.expected;
    const StreamInfo* audio = output.First("audio");
    if (!e.audioCodec) {
        EXPECT_EQ(audio, nullptr) << "a source without sound gained an audio stream";
        return;
    }
    ASSERT_NE(audio, nullptr) << "no audio stream";
    EXPECT_EQ(output.Count("audio"), 1);
    EXPECT_EQ(audio->Text("codec_name"), e.audioCodec);
    const StreamInfo* sourceAudio = source.info.First("audio");
    long sourceRate = sourceAudio ? sourceAudio->Number("sample_rate") : 0;
    EXPECT_EQ(audio->Number("sample_rate"), e.sampleRate ? e.sampleRate : sourceRate);
    EXPECT_EQ(audio->Number("channels"), e.channels);
    // Audio encoders add priming and padding frames that AVI cannot mark;
    // at low sample rates two of them alone exceed the tolerance.
    double frame = audio->packets ? audio->Span() / audio->packets : 0;
    EXPECT_NEAR(audio->Span(), AudioReference(source), kDurationTolerance + 2 * frame);
    const StreamInfo* video = output.First("video");
    if (video) {
        EXPECT_NEAR(audio->firstTime, video->firstTime, kStartTolerance) << "audio and video start apart";
    }
}

void CheckProgress(const ChildResult& result, const SourceFacts& source) {
    std::vector<int> seconds = ReportValues(result, ReportProgress);
    ASSERT_FALSE(seconds.empty()) << "no progress was reported";
    EXPECT_TRUE(std::is_sorted(seconds.begin(), seconds.end())) << "progress went backwards";
    EXPECT_EQ(std::adjacent_find(seconds.begin(), seconds.end(), [](int a, int b) { return b - a > 1; }), seconds.end())
        << "a whole second passed without a report";
    EXPECT_GE(seconds.front(), 0);
    EXPECT_LE(seconds.back(), static_cast<int>(std::ceil(source.videoSpan)));
    EXPECT_GE(seconds.back(), static_cast<int>(source.videoSpan) - 1);
    EXPECT_EQ(result.reports.size(), seconds.size()) << "a conversion sent reports other than progress";
}

// What the front-end asks of MPEG video: the GOP length, the maximum rate
// and the VBV buffer, by format.
struct MpegRateControl {
    int keyint = 0;  // 0: not an MPEG format
    int maxRate = 0;
    int buffer = 0;
};

MpegRateControl RateControlOf(const ConversionSettings& settings) {
    int v = ResolveBitrates(settings).video;
    int discKeyint = IsPal(settings) ? 15 : 18;
    switch (settings.outputFormat) {
    case FormatMpeg1: return {18, v, 327};
    case FormatMpeg2: return {18, 9400, 1835};
    case FormatVcd: return {discKeyint, v, 327};
    case FormatSvcd: return {discKeyint, v + (2500 - v) / 2, 917};
    case FormatDvd: return {discKeyint, 9400, 1835};
    default: return {};
    }
}

void CheckMpegVideo(const std::string& path, const StreamInfo& video, const ConversionSettings& settings,
                    DiscProfile disc) {
    MpegRateControl control = RateControlOf(settings);
    if (!control.keyint) {
        EXPECT_EQ(video.Number("has_b_frames"), 0) << "B-frames in a format that must not have them";
        return;
    }
    EXPECT_EQ(video.longestKeyInterval, control.keyint) << "GOP length";
    CheckSequenceHeader(path, control.maxRate, control.buffer, disc);
}

class Conversion : public testing::TestWithParam<Case> {};

TEST_P(Conversion, ProducesTheFormatAsTheFrontEndAsks) {
    const Case& c = GetParam();
    const SourceFacts& source = FactsOf(c.fixture);
    ASSERT_TRUE(source.info.readable) << "fixture " << c.fixture << ": " << source.info.error;

    ConversionSettings settings;
    c.change(settings);
    ScratchFolder folder;
    std::string outputName = std::string(c.name) + "." + OutputExtension(settings.outputFormat);
    EncoderRunValues run{FixturePath(c.fixture),
                         folder.Path(outputName),
                         PlanFrame(settings, source.width, source.height, source.sampleAspect),
                         EncoderConvert,
                         0,
                         source.frameRate};
    EncoderRun encoder = RunFrontEndText(run, settings);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{outputName}) << "stray files beside the output";
    MediaInfo output = ReadMediaInfo(run.outputPath);
    ASSERT_TRUE(output.readable) << output.error << encoder.Describe();
    EXPECT_EQ(output.format["format_name"], c.expected.container);
    ASSERT_EQ(output.Count("video"), 1);
    CheckVideo(c, source, *output.First("video"));
    CheckAudio(c, source, output);
    CheckMpegVideo(run.outputPath, *output.First("video"), settings, c.expected.disc);
    if (c.expected.disc != DiscProfile::None) CheckDiscStructure(run.outputPath, output, c.expected.disc);
    CheckProgress(encoder.result, source);
    if (HasFailure()) ADD_FAILURE() << encoder.Describe();
}

// Blanks, quotes, filter-graph punctuation, a leading dash and non-ASCII
// letters in both paths, passed through the front-end's quoting.
TEST(Paths, AwkwardCharactersSurviveTheArgumentText) {
    ScratchFolder folder;
    const std::string awkward = "-my clips, 'best' : été & co";
    std::filesystem::create_directory(folder.Path(awkward));
    std::string source = folder.Path(awkward) + "/" + awkward + ".avi";
    std::filesystem::copy_file(FixturePath("sample.avi"), source);
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    EncoderRunValues run{
        source, folder.Path(awkward) + "/" + awkward + ".vob", PlanFrame(settings, 320, 240), EncoderConvert, 0, 25};
    EncoderRun encoder = RunFrontEndText(run, settings);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    MediaInfo output = ReadMediaInfo(run.outputPath);
    EXPECT_TRUE(output.readable) << output.error;
    EXPECT_EQ(output.Count("video"), 1);
    EXPECT_EQ(output.Count("audio"), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, Conversion, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
