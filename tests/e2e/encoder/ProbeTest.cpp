// Probe mode against ffprobe's own reading of every source the suite has.

#include "EncoderTestSupport.h"
#include "core/ProbeResult.h"
#include "protocol/ExitStatus.h"
#include "protocol/ProbeReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

const char* const kSources[] = {
    "sample.avi",
    "sample.divx",
    "sample.xvid",
    "sample.mpg",
    "sample.mpeg",
    "sample.dat",
    "sample.wmv",
    "sample.asf",
    "sample.rm",
    "sample.rmvb",
    "sample.mov",
    "sample.qt",
    "sample.3gp",
    "sample.3g2",
    "sample.mp4",
    "sample.m4v",
    "sample.flv",
    "odd-size.avi",
    "surround.mp4",
    "silent.avi",
    "fast.mp4",
    "slow.avi",
    "anamorphic.vob",
    "cut.mpg",
    "cut.avi",
    // Turned by a display matrix: the size as shown.
    "portrait-90.mp4",
    "portrait-180.mp4",
    "portrait-270.mp4",
    // Timestamps in milliseconds: the rate is the stream's own, not a guess.
    "rate-12.wmv",
    "rate-15.wmv",
    "rate-24000-1001.wmv",
    "rate-30.wmv",
    "rate-12.flv",
    "rate-15.flv",
    "rate-24000-1001.flv",
    "rate-30.flv",
    "rate-12.mkv",
    "rate-15.mkv",
    "rate-24000-1001.mkv",
    "rate-30.mkv",
};

constexpr std::size_t kReportsPerSource = 7;

// One source's reports: its five values, as ffprobe reads them, its kind
// of pictures (progressive SDR, as every source here), then the source read
// with status 0.
void ExpectReportsAsFfprobeReads(const std::vector<ReportFrame>& reports, const SourceFacts& source) {
    ASSERT_EQ(reports.size(), kReportsPerSource);
    constexpr std::uint32_t kOrder[] = {ReportDuration,     ReportWidth,       ReportHeight,    ReportFrameRate,
                                        ReportSampleAspect, ReportPictureKind, ReportSourceRead};
    for (std::uint32_t i = 0; i < kReportsPerSource; ++i) {
        EXPECT_EQ(reports[i].message, kEncoderNotifyMessage);
        EXPECT_EQ(reports[i].code, kOrder[i]) << "reports out of order";
    }
    EXPECT_EQ(reports[0].value, static_cast<int>(std::floor(source.info.Duration())));
    EXPECT_EQ(reports[1].value, source.width);
    EXPECT_EQ(reports[2].value, source.height);
    EXPECT_NEAR(reports[3].value, source.frameRate * 10'000'000, 1000);
    EXPECT_NEAR(reports[4].value, source.info.First("video")->SampleAspect() * 10'000'000, 1000);
    EXPECT_EQ(reports[5].value, 0);
    EXPECT_EQ(reports[6].value, 0);
}

// The reports but the sound tracks', whose number follows the source.
std::vector<ReportFrame> WithoutSoundTracks(const std::vector<ReportFrame>& reports) {
    std::vector<ReportFrame> kept;
    std::copy_if(reports.begin(), reports.end(), std::back_inserter(kept), [](const ReportFrame& report) {
        return report.code != ReportSoundTrack && report.code != ReportSoundTrackText;
    });
    return kept;
}

class Probe : public testing::TestWithParam<const char*> {};

TEST_P(Probe, ReportsWhatFfprobeReads) {
    const SourceFacts& source = FactsOf(GetParam());
    ASSERT_TRUE(source.info.readable) << source.info.error;
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(GetParam()), folder.Path("never-written.avi"), {}, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, {}, 10);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    ExpectReportsAsFfprobeReads(WithoutSoundTracks(encoder.result.reports), source);
    EXPECT_EQ(ReportValues(encoder.result, ReportSoundTrack).size(), std::size_t(source.info.Count("audio")));
    EXPECT_TRUE(folder.Entries().empty()) << "the probe created a file";
    if (HasFailure()) ADD_FAILURE() << encoder.Describe();
}

INSTANTIATE_TEST_SUITE_P(EverySource, Probe, testing::ValuesIn(kSources), FixtureTestName);

// One run handed every source in turn, a missing one among them, reports
// each as a run of its own would; the missing one does not end the run.
TEST(ProbeRun, ReadsSourceAfterSourceAsSeparateRunsWould) {
    ScratchFolder folder;
    ChildRequest request = FrontEndRequest(
        EncoderRunValues{FixturePath(kSources[0]), folder.Path("never-written.avi"), {}, EncoderProbe, 0, 0},
        ConversionSettings{});
    request.nextSources.push_back(folder.Path("missing.avi"));
    for (const char* source : kSources) request.nextSources.push_back(FixturePath(source));
    ChildResult result = RunChild(request);

    ASSERT_TRUE(result.Exited(0)) << result.err;
    const std::vector<ReportFrame> reports = WithoutSoundTracks(result.reports);
    constexpr auto kEach = static_cast<std::ptrdiff_t>(kReportsPerSource);
    ASSERT_EQ(reports.size(), kReportsPerSource * (std::size(kSources) + 2)) << result.err;
    ExpectReportsAsFfprobeReads({reports.begin(), reports.begin() + kEach}, FactsOf(kSources[0]));
    for (std::size_t i = kEach; i < 2 * kEach - 1; ++i)
        EXPECT_EQ(reports[i].value, 0) << "the missing file's report " << i;
    EXPECT_EQ(reports[2 * kEach - 1].code, ReportSourceRead);
    EXPECT_EQ(reports[2 * kEach - 1].value, static_cast<int>(ExitStatus::SourceUnreadable));
    for (std::size_t i = 0; i < std::size(kSources); ++i) {
        auto first = reports.begin() + 2 * kEach + kEach * static_cast<std::ptrdiff_t>(i);
        SCOPED_TRACE(kSources[i]);
        ExpectReportsAsFfprobeReads({first, first + kEach}, FactsOf(kSources[i]));
    }
    EXPECT_TRUE(folder.Entries().empty()) << "the probe created a file";
}

// Where ffprobe's plain reading is not what "Original" needs: a rate pulled
// down by held pictures, or too slow to convert at, and a length counted
// from 0 rather than from the first timestamp, and never 0; and the
// chapters' starts (milliseconds) from the same start; and, where a row
// lists them, the sound tracks.
struct TimingCase {
    const char* fixture;
    int seconds;
    double frameRate;
    std::vector<int> chapters = {};
    std::vector<SoundTrackReport> sounds = {};
    std::vector<SubtitleTrackReport> subtitles = {};
};

class ProbeTiming : public testing::TestWithParam<TimingCase> {};

TEST_P(ProbeTiming, ReportsAUsableRateTheLengthAndTheChaptersFromTheStart) {
    const TimingCase& c = GetParam();
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(c.fixture), folder.Path("never-written.avi"), {}, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, {}, 10);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(ReportValues(encoder.result, ReportDuration), std::vector<int>{c.seconds});
    EXPECT_EQ(ReportValues(encoder.result, ReportFrameRate), std::vector<int>{int(c.frameRate * 10'000'000)});
    EXPECT_EQ(ReportValues(encoder.result, ReportChapter), c.chapters);
    if (c.sounds.empty()) return;
    ProbeResult probed;
    for (const ReportFrame& report : encoder.result.reports) probed.Take(report.code, report.value);
    EXPECT_EQ(probed.Entry(c.fixture).soundTracks, c.sounds);
    EXPECT_EQ(probed.Entry(c.fixture).subtitleTracks, c.subtitles);
}

INSTANTIATE_TEST_SUITE_P(Source, ProbeTiming,
                         testing::Values(TimingCase{"held-picture.mp4", 14, 25}, TimingCase{"slideshow.mkv", 30, 1},
                                         TimingCase{"late-start.mkv", 3, 25},
                                         TimingCase{"tracks.mkv",
                                                    3,
                                                    25,
                                                    {0, 1000, 2000},
                                                    {{"eng", 1, true, "mp2", ""},
                                                     {"deu", 1, false, "mp2", ""},
                                                     {"fra", 1, false, "mp2", "Kommentar"}},
                                                    // its own, then the Latin-1 file beside it
                                                    {{"eng", false, true, false, "subrip", "English"},
                                                     {"fra", false, false, false, "ass", "Styled"},
                                                     {"ita", false, false, true, "dvb_subtitle", ""},
                                                     {"spa", false, false, true, "dvd_subtitle", ""},
                                                     {"deu", false, false, false, "subrip", "tracks.de.srt"}}},
                                         // Under a second counts as one, or the window would refuse it.
                                         TimingCase{"half-second.mp4", 1, 25}),
                         [](const testing::TestParamInfo<TimingCase>& info) {
                             return FixtureTestName({info.param.fixture, info.index});
                         });

// What kind the pictures are, from the decoded pictures where the
// container says nothing (DV in AVI).
struct KindCase {
    const char* fixture;
    int kind;
};

class ProbeKind : public testing::TestWithParam<KindCase> {};

TEST_P(ProbeKind, ReportsHdrAndFieldsAsDecoded) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(GetParam().fixture), folder.Path("never-written.avi"), {}, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, {}, 10);
    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(ReportValues(encoder.result, ReportPictureKind), std::vector<int>{GetParam().kind});
}

INSTANTIATE_TEST_SUITE_P(Source, ProbeKind,
                         testing::Values(KindCase{"hlg.mp4", kPictureHdr},
                                         KindCase{"dv.avi", kPictureInterlaced | kPictureBottomFieldFirst},
                                         KindCase{"interlaced-1080.ts", kPictureInterlaced | kPictureBottomFieldFirst}),
                         [](const testing::TestParamInfo<KindCase>& info) {
                             return FixtureTestName({info.param.fixture, info.index});
                         });

// Measuring the borders (mode 4), run as a probe's text with its mode
// changed: the picture every point shows, in the upright picture's pixels,
// and how many of the 10 points found just that.
std::string MeasureAll(std::string text) { return text.replace(text.rfind(" 1 "), 3, " 4 "); }
std::string MeasureOneToThree(std::string text) { return text.replace(text.rfind(" 1 "), 3, " -ss 1 -endpos 3 4 "); }

struct CropCase {
    const char* fixture;
    std::string (*edit)(std::string);
    int width, height, left, top;
    int agreeing;
};

class MeasureCrop : public testing::TestWithParam<CropCase> {};

TEST_P(MeasureCrop, KeepsThePictureEveryPointShows) {
    const CropCase& c = GetParam();
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(c.fixture), folder.Path("never-written.avi"), {}, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, {}, 20, c.edit);

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(ReportValues(encoder.result, ReportCropWidth), std::vector<int>{c.width});
    EXPECT_EQ(ReportValues(encoder.result, ReportCropHeight), std::vector<int>{c.height});
    EXPECT_EQ(ReportValues(encoder.result, ReportCropLeft), std::vector<int>{c.left});
    EXPECT_EQ(ReportValues(encoder.result, ReportCropTop), std::vector<int>{c.top});
    EXPECT_EQ(ReportValues(encoder.result, ReportCropAgreement), std::vector<int>{10 << 16 | c.agreeing});
    EXPECT_TRUE(folder.Entries().empty()) << "measuring created a file";
}

INSTANTIATE_TEST_SUITE_P(
    Source, MeasureCrop,
    testing::Values(CropCase{"letterboxed.mp4", MeasureAll, 640, 272, 0, 44, 10},
                    // Its dark scene's top rows are black at one point of ten.
                    CropCase{"dark-scene.mp4", MeasureAll, 640, 272, 0, 44, 9},
                    CropCase{"dark-scene.mp4", MeasureOneToThree, 640, 272, 0, 44, 7},
                    CropCase{"pillarboxed.avi", MeasureAll, 480, 360, 80, 0, 10},
                    // All picture, 320x240 stored, shown upright.
                    CropCase{"portrait-90.mp4", MeasureAll, 240, 320, 0, 0, 10}),
    [](const testing::TestParamInfo<CropCase>& info) {
        return FixtureTestName({info.param.fixture, info.index}) + "_" + std::to_string(info.index);
    });

}  // namespace
