// What the filters do to the picture and the sound: letterbox and
// pillarbox bars where the front-end asks for them, the time limit and
// the volume change.

#include "EncoderTestSupport.h"
#include "core/Padding.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

namespace {

constexpr double kBlackAtMost = 24;    // limited-range black is 16
constexpr double kPictureAtLeast = 40;  // the test pattern is far brighter

struct Converted {
    EncoderRun encoder;
    MediaInfo output;
};

Converted Convert(ScratchFolder& folder, const std::string& fixture, const ConversionSettings& settings,
                  std::string (*edit)(std::string) = nullptr) {
    const SourceFacts& source = FactsOf(fixture);
    EncodeTargets targets;
    Padding pads = ComputePadding(settings, targets, source.width, source.height);
    std::string output = folder.Path("out." + OutputExtension(settings.outputFormat));
    EncoderRunValues run{FixturePath(fixture), output, pads.horizontal, pads.vertical, EncoderConvert, 0,
                         source.frameRate};
    Converted converted{RunFrontEndText(run, settings, targets, {}, 90, edit), {}};
    if (converted.encoder.result.Exited(0)) converted.output = ReadMediaInfo(output);
    return converted;
}

// A 16:9 anamorphic 720x480 source into a 4:3 640x480 AVI: scaled to
// 640x360 by its display aspect, with 60 black rows above and below.
TEST(Letterbox, WideSourceGetsBlackBarsAboveAndBelow) {
    ConversionSettings settings;
    settings.aviResolution = 17;  // 640 x 480
    ScratchFolder folder;
    Converted c = Convert(folder, "anamorphic.vob", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    ASSERT_NE(c.output.First("video"), nullptr);
    EXPECT_EQ(c.output.First("video")->Number("width"), 640);
    EXPECT_EQ(c.output.First("video")->Number("height"), 480);
    EXPECT_NEAR(c.output.First("video")->DisplayAspect(), 4.0 / 3, 0.01) << "the bars make the frame 4:3";

    std::string path = folder.Path("out.avi");
    EXPECT_LE(MeanLuma(path, 0, 0, 640, 56), kBlackAtMost) << "top bar";
    EXPECT_GE(MeanLuma(path, 0, 66, 640, 10), kPictureAtLeast) << "picture below the top bar";
    EXPECT_GE(MeanLuma(path, 0, 404, 640, 10), kPictureAtLeast) << "picture above the bottom bar";
    EXPECT_LE(MeanLuma(path, 0, 424, 640, 56), kBlackAtMost) << "bottom bar";
}

// A 4:3 320x240 source into NTSC DVD 720x480: scaled to 640x480, with 40
// black columns on either side.
TEST(Letterbox, NarrowSourceGetsBlackBarsLeftAndRight) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.dvdAspect = 0;
    ScratchFolder folder;
    Converted c = Convert(folder, "sample.avi", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    std::string path = folder.Path("out.vob");
    EXPECT_LE(MeanLuma(path, 0, 0, 36, 480), kBlackAtMost) << "left bar";
    EXPECT_GE(MeanLuma(path, 44, 0, 16, 480), kPictureAtLeast) << "picture right of the left bar";
    EXPECT_LE(MeanLuma(path, 684, 0, 36, 480), kBlackAtMost) << "right bar";
}

std::string StopAtOneAndAHalf(std::string text) {
    return text.replace(text.find(" -endpos 9:0:0"), 14, " -endpos 1.5");
}

std::string StopAtTwoAsClockTime(std::string text) {
    return text.replace(text.find(" -endpos 9:0:0"), 14, " -endpos 0:0:2");
}

struct LimitCase {
    const char* name;
    std::string (*edit)(std::string);
    double seconds;
};

void PrintTo(const LimitCase& c, std::ostream* out) { *out << c.name; }

class TimeLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(TimeLimit, StopsAtSourceTime) {
    ScratchFolder folder;
    Converted c = Convert(folder, "sample.mp4", ConversionSettings{}, GetParam().edit);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    ASSERT_NE(c.output.First("video"), nullptr);
    ASSERT_NE(c.output.First("audio"), nullptr);
    EXPECT_NEAR(c.output.First("video")->Span(), GetParam().seconds, 0.1);
    EXPECT_NEAR(c.output.First("audio")->Span(), GetParam().seconds, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Endpos, TimeLimit,
                         testing::Values(LimitCase{"Seconds", StopAtOneAndAHalf, 1.5},
                                         LimitCase{"ClockTime", StopAtTwoAsClockTime, 2.0}),
                         [](const testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

// DVD keeps the channels as they are, so the gain is all that changes.
class Volume : public testing::TestWithParam<int> {};

TEST_P(Volume, ChangesLoudnessByTheChosenDecibels) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.volume = GetParam();
    ScratchFolder folder;
    Converted c = Convert(folder, "sample.mov", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    double change = MeanVolume(folder.Path("out.vob")) - MeanVolume(FixturePath("sample.mov"));
    EXPECT_NEAR(change, GetParam() - 20, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Gain, Volume, testing::Values(10, 25));

}  // namespace
