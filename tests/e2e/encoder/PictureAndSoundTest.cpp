// What the filters do to the picture and the sound: letterbox and
// pillarbox bars where the front-end asks for them, the time limit and
// the volume change.

#include "EncoderTestSupport.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr double kBlackAtMost = 24;     // limited-range black is 16
constexpr double kPictureAtLeast = 40;  // the test pattern is far brighter

// A 16:9 anamorphic 720x480 source into a 4:3 640x480 AVI: scaled to
// 640x360 by its display aspect, with 60 black rows above and below.
TEST(Letterbox, WideSourceGetsBlackBarsAboveAndBelow) {
    ConversionSettings settings;
    settings.aviResolution = 17;  // 640 x 480
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, "anamorphic.vob", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    ASSERT_NE(c.output.First("video"), nullptr);
    EXPECT_EQ(c.output.First("video")->Number("width"), 640);
    EXPECT_EQ(c.output.First("video")->Number("height"), 480);
    EXPECT_NEAR(c.output.First("video")->DisplayAspect(), 4.0 / 3, 0.01) << "the bars make the frame 4:3";

    const std::string& path = c.path;
    EXPECT_LE(MeanLuma(path, 0, 0, 640, 56), kBlackAtMost) << "top bar";
    EXPECT_GE(MeanLuma(path, 0, 66, 640, 10), kPictureAtLeast) << "picture below the top bar";
    EXPECT_GE(MeanLuma(path, 0, 404, 640, 10), kPictureAtLeast) << "picture above the bottom bar";
    EXPECT_LE(MeanLuma(path, 0, 424, 640, 56), kBlackAtMost) << "bottom bar";
}

// A 4:3 320x240 source into a 16:9 NTSC DVD: 540 of the 720 pixels wide,
// since the frame shows wider than its pixel count, with 90 black columns on
// either side.
TEST(Letterbox, NarrowSourceGetsBlackBarsLeftAndRight) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.dvdAspect = 1;
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, "sample.avi", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    EXPECT_LE(MeanLuma(c.path, 0, 0, 84, 480), kBlackAtMost) << "left bar";
    EXPECT_GE(MeanLuma(c.path, 96, 0, 16, 480), kPictureAtLeast) << "picture right of the left bar";
    EXPECT_GE(MeanLuma(c.path, 608, 0, 16, 480), kPictureAtLeast) << "picture left of the right bar";
    EXPECT_LE(MeanLuma(c.path, 636, 0, 84, 480), kBlackAtMost) << "right bar";
}

// The picture as players show it, letterbox on: the active picture (what
// cropdetect leaves of the frame) times the output's pixel shape, against
// the source's own display shape. Disc formats in both TV modes and both
// flagged aspects, MPEG1/MPEG2 at "Original" size in each aspect, each from
// a square-pixel 4:3, a square-pixel 16:9 and an anamorphic PAL 16:9 source.
struct ShapeCase {
    const char* name;
    int format;
    int tvMode;
    int aspect;  // the MPEG or the disc aspect position
    double tolerance;
};

void PrintTo(const ShapeCase& c, std::ostream* out) { *out << c.name; }

constexpr double kShapeTolerance = 0.02;
// MPEG-1 flags pixel shapes from a short list; the nearest to 16:9 at the
// VCD sizes are 2.1% (PAL) and 2.2% (NTSC) off.
constexpr double kMpeg1WideTolerance = 0.025;

const ShapeCase kShapeCases[] = {
    {"VcdNtsc4x3", FormatVcd, 0, 0, kShapeTolerance},    {"VcdNtsc16x9", FormatVcd, 0, 1, kMpeg1WideTolerance},
    {"VcdPal4x3", FormatVcd, 1, 0, kShapeTolerance},     {"VcdPal16x9", FormatVcd, 1, 1, kMpeg1WideTolerance},
    {"SvcdNtsc4x3", FormatSvcd, 0, 0, kShapeTolerance},  {"SvcdNtsc16x9", FormatSvcd, 0, 1, kShapeTolerance},
    {"SvcdPal4x3", FormatSvcd, 1, 0, kShapeTolerance},   {"SvcdPal16x9", FormatSvcd, 1, 1, kShapeTolerance},
    {"DvdNtsc4x3", FormatDvd, 0, 0, kShapeTolerance},    {"DvdNtsc16x9", FormatDvd, 0, 1, kShapeTolerance},
    {"DvdPal4x3", FormatDvd, 1, 0, kShapeTolerance},     {"DvdPal16x9", FormatDvd, 1, 1, kShapeTolerance},
    {"Mpeg1Square", FormatMpeg1, 0, 0, kShapeTolerance}, {"Mpeg1_4x3", FormatMpeg1, 0, 1, kShapeTolerance},
    {"Mpeg1_16x9", FormatMpeg1, 0, 2, kShapeTolerance},  {"Mpeg1_221x100", FormatMpeg1, 0, 3, kShapeTolerance},
    {"Mpeg2Square", FormatMpeg2, 0, 0, kShapeTolerance}, {"Mpeg2_4x3", FormatMpeg2, 0, 1, kShapeTolerance},
    {"Mpeg2_16x9", FormatMpeg2, 0, 2, kShapeTolerance},  {"Mpeg2_221x100", FormatMpeg2, 0, 3, kShapeTolerance},
};

const char* const kShapeSources[] = {"square-4x3.avi", "square-16x9.avi", "anamorphic-pal.mpg", "portrait-90.mp4"};

class PictureShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(PictureShape, ShowsAsTheSourceDoes) {
    const ShapeCase& c = GetParam();
    for (const char* fixture : kShapeSources) {
        ConversionSettings settings;
        settings.outputFormat = c.format;
        settings.tvMode = c.tvMode;
        settings.mpegAspect = settings.dvdAspect = c.aspect;
        ScratchFolder folder;
        Converted converted = ConvertFixture(folder, fixture, settings);
        ASSERT_TRUE(converted.encoder.result.Exited(0)) << fixture << "\n" << converted.encoder.Describe();
        const StreamInfo* video = converted.output.First("video");
        ASSERT_NE(video, nullptr) << fixture;

        const SourceFacts& source = FactsOf(fixture);
        double sourceShape = source.width * source.sampleAspect / source.height;
        double pixel = video->SampleAspect() > 0 ? video->SampleAspect() : 1;
        PictureArea active = ActivePicture(converted.path);
        ASSERT_GT(active.height, 0) << fixture << ": no picture found";
        EXPECT_NEAR(active.width * pixel / active.height / sourceShape, 1.0, c.tolerance)
            << fixture << ": active " << active.width << "x" << active.height << " of " << video->Number("width") << "x"
            << video->Number("height") << ", pixel " << pixel << "\n"
            << CommandLine(converted.encoder.argv);
    }
}

INSTANTIATE_TEST_SUITE_P(LetterboxOn, PictureShape, testing::ValuesIn(kShapeCases),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

// Phone clips stored turned or mirrored, with a display matrix: the output
// stands as the clip is shown, its white quarter at the top left, from the
// first pictures to the last, even where the picture shrinks halfway.
class Turned : public testing::TestWithParam<const char*> {};

TEST_P(Turned, OutputStandsUpright) {
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, GetParam(), ConversionSettings{});
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    const StreamInfo* video = c.output.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Number("width"), 240);
    EXPECT_EQ(video->Number("height"), 320);

    for (double from : {0.0, video->Span() - 0.4}) {
        EXPECT_GE(MeanLuma(c.path, 10, 10, 100, 140, from), 200) << "top left from " << from;
        EXPECT_LE(MeanLuma(c.path, 130, 10, 100, 140, from), 160) << "top right from " << from;
        EXPECT_LE(MeanLuma(c.path, 10, 170, 100, 140, from), 160) << "bottom left from " << from;
    }
}

INSTANTIATE_TEST_SUITE_P(DisplayMatrix, Turned,
                         testing::Values("portrait-90.mp4", "portrait-180.mp4", "portrait-270.mp4", "shrinking-180.mp4",
                                         "mirrored.mp4", "upside-down.mp4", "transposed.mp4", "transposed-back.mp4"),
                         FixtureTestName);

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
    Converted c = ConvertFixture(folder, "sample.mp4", ConversionSettings{}, GetParam().edit);
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

// A clip of moving pictures with a flash and a beep at 12 s, cut from 10 s
// to 20 s: ten seconds, beginning with the very picture ffmpeg finds at
// 10 s (about 1 off after encoding; the pictures beside it are 3 off), the
// flash and the beep together 2 s in, and progress counted from the start.
struct StartCase {
    const char* name;
    const char* fixture;
    int format;
};

void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class StartTime : public testing::TestWithParam<StartCase> {};

TEST_P(StartTime, BeginsWithThePictureAtTheStartAndKeepsTheSoundWithIt) {
    ConversionSettings settings;
    settings.outputFormat = GetParam().format;
    settings.dvdAspect = 0;  // 4:3, so that the picture fills the frame
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, GetParam().fixture, settings, nullptr, {.startSeconds = 10, .endSeconds = 20});
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    ASSERT_NE(c.output.First("video"), nullptr);
    EXPECT_NEAR(c.output.First("video")->Span(), 10.0, 0.041);
    const std::vector<int> progress = ReportValues(c.encoder.result, ReportProgress);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0) << "progress counts from the start";
    EXPECT_GE(progress.back(), 9);
    EXPECT_LE(progress.back(), 10);

    EXPECT_LT(FirstPictureDifference(c.path, FixturePath(GetParam().fixture), 10, 320, 240), 1.6)
        << "the first picture is not the source's at 10 s";
    const std::vector<double> flashes = FlashTimes(c.path), beeps = BeepTimes(c.path);
    ASSERT_EQ(flashes.size(), 1u);
    ASSERT_EQ(beeps.size(), 1u);
    // The pictures' times count from the file's start time (an MPEG
    // stream's is not 0), the beep's from 0.
    const double flash = flashes[0] - std::atof(c.output.format.at("start_time").c_str());
    EXPECT_NEAR(flash, 2.0, 0.1);
    EXPECT_NEAR(flash, beeps[0], 0.04);
}

INSTANTIATE_TEST_SUITE_P(Ss, StartTime,
                         testing::Values(StartCase{"Mp4", "clock.avi", FormatMp4H264},
                                         StartCase{"Avi", "clock.avi", FormatAvi},
                                         StartCase{"Dvd", "clock.avi", FormatDvd},
                                         StartCase{"Mp4FromVob", "clock.vob", FormatMp4H264}),
                         [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

// The preview (mode 3) shows what the conversion makes from the same
// options: a phone clip turned upright into MP4, a 16:9 source letterboxed
// into a 4:3 DVD.
struct PreviewCase {
    const char* name;
    const char* fixture;
    int format;
};

void PrintTo(const PreviewCase& c, std::ostream* out) { *out << c.name; }

class Preview : public testing::TestWithParam<PreviewCase> {};

TEST_P(Preview, ShowsTheConvertedPicture) {
    ConversionSettings settings;
    settings.outputFormat = GetParam().format;
    settings.dvdAspect = 0;
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, GetParam().fixture, settings, nullptr, {.startSeconds = 0.5});
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    const SourceFacts& source = FactsOf(GetParam().fixture);
    EncoderRunValues run{FixturePath(GetParam().fixture),
                         folder.Path("preview.png"),
                         PlanFrame(settings, source.width, source.height, source.sampleAspect),
                         EncoderPreview,
                         0,
                         source.frameRate};
    EncoderRun preview = RunArguments(PreviewArguments(run, settings, 0.5), 20);
    ASSERT_TRUE(preview.result.Exited(0)) << preview.Describe();
    const MediaInfo picture = ReadMediaInfo(folder.Path("preview.png"), false);
    ASSERT_NE(picture.First("video"), nullptr);
    const StreamInfo& png = *picture.First("video");
    const StreamInfo& video = *c.output.First("video");
    EXPECT_EQ(png.Text("pix_fmt"), "rgb24");
    EXPECT_EQ(png.Number("height"), video.Number("height"));
    EXPECT_NEAR(png.Number("width"), video.Number("height") * video.DisplayAspect(), 2) << "not at the display shape";
    const std::string size = std::to_string(int(png.Number("width"))) + ":" + std::to_string(int(png.Number("height")));
    EXPECT_GE(PictureSimilarity(folder.Path("preview.png"), c.path, "trim=end_frame=1,scale=" + size + ",format=rgb24"),
              0.9);
}

INSTANTIATE_TEST_SUITE_P(Mode3, Preview,
                         testing::Values(PreviewCase{"TurnedPhoneClipToMp4", "portrait-90.mp4", FormatMp4H264},
                                         PreviewCase{"WideSourceLetterboxedOnADvd", "anamorphic.vob", FormatDvd}),
                         [](const testing::TestParamInfo<PreviewCase>& info) { return std::string(info.param.name); });

// DVD keeps the channels as they are, so the gain is all that changes.
class Volume : public testing::TestWithParam<int> {};

TEST_P(Volume, ChangesLoudnessByTheChosenDecibels) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.volume = GetParam();
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, "sample.mov", settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    double change = MeanVolume(folder.Path("out.vob")) - MeanVolume(FixturePath("sample.mov"));
    EXPECT_NEAR(change, GetParam() - 20, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Gain, Volume, testing::Values(10, 25));

// A loud surround source mixed down to fewer channels never clips, whatever
// the output's sample format.
struct MixCase {
    const char* name;
    const char* fixture;
    int format;
    int ConversionSettings::*audioCodec = nullptr;
    int codec = 0;
};

void PrintTo(const MixCase& c, std::ostream* out) { *out << c.name; }

class Mixdown : public testing::TestWithParam<MixCase> {};

TEST_P(Mixdown, NeverClips) {
    ConversionSettings settings;
    settings.outputFormat = GetParam().format;
    if (GetParam().audioCodec) settings.*GetParam().audioCodec = GetParam().codec;
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, GetParam().fixture, settings);
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();

    EXPECT_LE(PeakLevel(c.path), 0.0) << c.path;
}

INSTANTIATE_TEST_SUITE_P(Loud, Mixdown,
                         testing::Values(MixCase{"FiveOneToMp3", "loud-5.1.mkv", FormatAvi},
                                         MixCase{"FiveOneToWma", "loud-5.1.mkv", FormatWmv},
                                         MixCase{"SevenOneToWma", "loud-7.1.mkv", FormatAsf},
                                         MixCase{"SevenOneToAac", "loud-7.1.mkv", FormatMp4H264},
                                         MixCase{"SevenOneToMp2", "loud-7.1.mkv", FormatMpeg2},
                                         MixCase{"SevenOneToAc3FiveOne", "loud-7.1.mkv", FormatDvd}),
                         [](const testing::TestParamInfo<MixCase>& info) { return std::string(info.param.name); });

// Two recordings joined end to end, each with sound half a second longer
// than its picture: the flash and the beep of each still come together.
TEST(Sync, JoinedRecordingsKeepTheirFlashWithTheirBeep) {
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, "joined-longer-sound.ts", ConversionSettings{});
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    const std::vector<double> flashes = FlashTimes(c.path), beeps = BeepTimes(c.path);
    ASSERT_EQ(flashes.size(), 2u);
    ASSERT_EQ(beeps.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(flashes[i], beeps[i], 0.08) << "recording " << i + 1;
}

// The sound players would play: the default track among those that can be
// played, else the first of them (its tone 880 Hz, the other one's 440 Hz),
// or none when no track can be mixed; a line says which, or why.
struct TrackCase {
    const char* fixture;
    bool sound;
    const char* says;
};

class SoundTrack : public testing::TestWithParam<TrackCase> {};

double ToneVolume(const std::string& path, int frequency) {
    return MeanVolume(path, "bandpass=f=" + std::to_string(frequency) + ":width_type=q:w=20,");
}

TEST_P(SoundTrack, IsTheOnePlayersChoose) {
    ScratchFolder folder;
    Converted c = ConvertFixture(folder, GetParam().fixture, ConversionSettings{});
    ASSERT_TRUE(c.encoder.result.Exited(0)) << c.encoder.Describe();
    EXPECT_NE(c.encoder.result.err.find(GetParam().says), std::string::npos) << c.encoder.result.err;
    ASSERT_EQ(c.output.First("audio") != nullptr, GetParam().sound);
    if (!GetParam().sound) return;
    EXPECT_GT(ToneVolume(c.path, 880), ToneVolume(c.path, 440) + 10);
}

INSTANTIATE_TEST_SUITE_P(Source, SoundTrack,
                         testing::Values(TrackCase{"empty-pid.ts", true, "track 2"},
                                         TrackCase{"commentary-first.mkv", true, "track 2"},
                                         TrackCase{"undecodable-first.mkv", true, "track 2"},
                                         TrackCase{"64-channels.mkv", false, "64 channels without a layout"}),
                         [](const testing::TestParamInfo<TrackCase>& info) {
                             return FixtureTestName({info.param.fixture, info.index});
                         });

// The sound tracks chosen (English 440 Hz, German 660 Hz, French 880 Hz)
// in their order, the first played first; a format of one track keeps the
// first and says which it leaves out.
TEST(ChosenSoundTracks, KeepTheirOrderAndTheFormatsRoom) {
    const struct {
        int format;
        std::vector<int> tracks;
        std::vector<std::string> languages;  // the output's tracks in order
        std::vector<std::string> defaults;   // their flags (AVI has none)
        int firstTone;                       // Hz
        const char* said;
    } cases[] = {
        {FormatMp4H264, {3, 1}, {"fra", "eng"}, {"1", "0"}, 880, ""},
        {FormatAvi, {2, 3}, {""}, {"0"}, 660, "sound track 3 (\"Kommentar\") of"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        const std::string output = folder.Path("out." + OutputExtension(c.format));
        ConversionSettings settings;
        settings.outputFormat = c.format;
        EncoderRunValues run{
            FixturePath("tracks.mkv"), output, PlanFrame(settings, 320, 240, 1.0), EncoderConvert, 0, 25.0};
        run.soundTracks = c.tracks;
        EncoderRun encoder = RunFrontEndText(run, settings, {}, 60);
        ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
        EXPECT_NE(encoder.result.err.find(c.said), std::string::npos) << encoder.result.err;
        std::vector<std::string> languages, defaults;
        for (const StreamInfo& stream : ReadMediaInfo(output).streams)
            if (stream.Type() == "audio") {
                languages.push_back(stream.Text("tags.language"));
                defaults.push_back(stream.Text("disposition.default"));
            }
        EXPECT_EQ(languages, c.languages) << output;
        EXPECT_EQ(defaults, c.defaults) << output;
        for (int other : {440, 660, 880})
            if (other != c.firstTone) {
                EXPECT_GT(ToneVolume(output, c.firstTone), ToneVolume(output, other) + 10) << other << " Hz";
            }
    }
}

// The subtitle tracks chosen: the film's own English (forced), styled
// French, DVB Italian and DVD Spanish, and the Latin-1 German file beside
// it. An MP4 keeps the text ones with their languages and flags, the one
// chosen to be shown shown, and says it leaves the pictures out; an AVI draws the
// German into the picture while it is on, and only then, the French at the
// top, as its style says, and the Italian where its own canvas puts it.
TEST(ChosenSubtitles, AreKeptAsTextOrDrawnIntoThePicture) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H264;
    EncoderRunValues run{FixturePath("tracks.mkv"), folder.Path("out.mp4"), PlanFrame(settings, 320, 240, 1.0),
                         EncoderConvert, 0, 25.0};
    run.subtitles = {{1, 2, 3, 4, 5}, 5, std::nullopt};
    EncoderRun mp4 = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(mp4.result.Exited(0)) << mp4.Describe();
    EXPECT_NE(mp4.result.err.find("tracks 3, 4 of"), std::string::npos) << mp4.result.err;
    EXPECT_NE(mp4.result.err.find("an MP4 holds text subtitles"), std::string::npos) << mp4.result.err;
    std::vector<std::string> tracks;
    for (const StreamInfo& stream : ReadMediaInfo(run.outputPath).streams)
        if (stream.Type() == "subtitle" && stream.Text("codec_name") == "mov_text")
            tracks.push_back(stream.Text("tags.language") + " forced " + stream.Text("disposition.forced") +
                             " default " + stream.Text("disposition.default"));
    EXPECT_EQ(tracks, (std::vector<std::string>{"eng forced 1 default 0", "fra forced 0 default 0",
                                                "deu forced 0 default 1"}));
    // The French keeps its words and its colour.
    for (const char* kept : {"Bonjour", "en haut", "#ffff00"})
        EXPECT_NE(SubtitleText(run.outputPath, 1).find(kept), std::string::npos) << SubtitleText(run.outputPath, 1);
    EXPECT_NE(SubtitleText(run.outputPath, 2).find("00:00:00,500 --> 00:00:02,500\nGr\u00fc\u00dfe aus K\u00f6ln"),
              std::string::npos)
        << SubtitleText(run.outputPath, 2);

    settings.outputFormat = FormatAvi;
    run.outputPath = folder.Path("out.avi");
    run.subtitles = {{5}, std::nullopt, std::nullopt};
    EncoderRun avi = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(avi.result.Exited(0)) << avi.Describe();
    EXPECT_EQ(ReadMediaInfo(run.outputPath).Count("subtitle"), 0);
    // Where the line stands, under the picture's middle, against the source.
    const auto lineChange = [&](double seconds) {
        return LumaDifference(run.outputPath, FixturePath("tracks.mkv"), 110, 214, 100, 20, seconds);
    };
    EXPECT_LT(lineChange(0), 4);
    EXPECT_GT(lineChange(1.2), 12);
    EXPECT_LT(lineChange(2.6), 4);
    // Where a jump in the timestamps is closed, the line stays with its
    // pictures: those after the jump follow the sound's 3 s, and the line
    // comes a quarter second into them.
    const auto jumped = [&](const char* name, std::vector<int> tracks) {
        EncoderRunValues jump{FixturePath("jump.flv"), folder.Path(name), PlanFrame(settings, 320, 240, 1.0),
                              EncoderConvert, 0, 25.0};
        jump.subtitles = {std::move(tracks), std::nullopt, std::nullopt};
        EncoderRun encoder = RunFrontEndText(jump, settings, {}, 60);
        EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
        return jump.outputPath;
    };
    const std::string plain = jumped("plain-jump.avi", {}), lined = jumped("jump.avi", {1});
    EXPECT_LT(LumaDifference(lined, plain, 110, 214, 100, 20, 0.5), 4);
    EXPECT_GT(LumaDifference(lined, plain, 110, 214, 100, 20, 3.5), 12);
    run.outputPath = folder.Path("styled.avi");
    run.subtitles = {{2}, std::nullopt, std::nullopt};
    EncoderRun styled = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(styled.result.Exited(0)) << styled.Describe();
    EXPECT_GT(LumaDifference(run.outputPath, FixturePath("tracks.mkv"), 80, 0, 160, 40, 1.2), 12);
    // The DVB bar stands near the bottom of its 720x576 canvas, not of the
    // film's 320x240 picture, where it would fall outside.
    run.outputPath = folder.Path("dvb.avi");
    run.subtitles = {{3}, std::nullopt, std::nullopt};
    EncoderRun dvb = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(dvb.result.Exited(0)) << dvb.Describe();
    EXPECT_LT(LumaDifference(run.outputPath, FixturePath("tracks.mkv"), 90, 203, 140, 10, 0.5), 4);
    EXPECT_GT(LumaDifference(run.outputPath, FixturePath("tracks.mkv"), 90, 203, 140, 10, 1.2), 12);

    // A DVD draws all three as subpictures; from that DVD as a source,
    // another DVD takes the DVB one picture to picture, and an AVI draws it
    // where the DVD's subpicture stood, while it is on.
    settings.outputFormat = FormatDvd;
    run.outputPath = folder.Path("out.mpg");
    run.frame = PlanFrame(settings, 320, 240, 1.0);
    run.subtitles = {{1, 3, 5}, std::nullopt, std::nullopt};
    EncoderRun dvd = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(dvd.result.Exited(0)) << dvd.Describe();
    EXPECT_EQ(ReadMediaInfo(run.outputPath).Count("subtitle"), 3);
    run.sourcePath = run.outputPath;
    run.outputPath = folder.Path("again.mpg");
    // A program stream lists its subpictures as they first come: the
    // English and German at half a second, then the Italian.
    run.subtitles = {{3}, std::nullopt, std::nullopt};
    EncoderRun again = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(again.result.Exited(0)) << again.Describe();
    // One line, drawn: an empty picture would give no packet.
    const MediaInfo redrawn = ReadMediaInfo(run.outputPath);
    ASSERT_EQ(redrawn.Count("subtitle"), 1);
    EXPECT_EQ(redrawn.First("subtitle")->packets, 1);
    EXPECT_NEAR(redrawn.First("subtitle")->firstTime - redrawn.First("video")->firstTime, 1.0, 0.05);
    settings.outputFormat = FormatAvi;
    run.outputPath = folder.Path("pictures.avi");
    run.frame = PlanFrame(settings, 720, 480, 1.0);
    EncoderRun drawn = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(drawn.result.Exited(0)) << drawn.Describe();
    const double on = LumaDifference(run.outputPath, run.sourcePath, 240, 405, 240, 20, 1.2);
    EXPECT_GT(on, 3 * LumaDifference(run.outputPath, run.sourcePath, 240, 405, 240, 20, 2.6));
}

std::string StartOneSecondIn(std::string text) {
    return text.replace(text.find(" -endpos 9:0:0"), 14, " -ss 1 -endpos 9:0:0");
}

// From 1 s on, the lines of the film's own track and of the file beside it
// (both from 0.5 s to 2.5 s) keep what is left of them, from 0 (the film's
// own comes out 10 ms later also without a start).
TEST(ChosenSubtitles, LinesAreCutAndMovedByTheStart) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H264;
    EncoderRunValues run{
        FixturePath("tracks.mkv"), folder.Path("out.mp4"), PlanFrame(settings, 320, 240, 1.0), EncoderConvert, 0, 25.0};
    run.subtitles = {{1, 5}, std::nullopt, std::nullopt};
    EncoderRun mp4 = RunFrontEndText(run, settings, {}, 60, StartOneSecondIn);
    ASSERT_TRUE(mp4.result.Exited(0)) << mp4.Describe();
    for (int track : {0, 1})
        EXPECT_NE(SubtitleText(run.outputPath, track).find("00:00:00,000 --> 00:00:01,5"), std::string::npos)
            << SubtitleText(run.outputPath, track);
}

// A picture subtitle the crop would cut away is drawn at the edge of the
// picture that is kept.
TEST(ChosenSubtitles, APictureLineStaysInThePictureTheCropKeeps) {
    ScratchFolder folder;
    ConversionSettings settings;
    EncoderRunValues run{
        FixturePath("tracks.mkv"), folder.Path("out.avi"), PlanFrame(settings, 320, 160, 1.0), EncoderConvert, 0, 25.0};
    run.subtitles = {{4}, std::nullopt, std::nullopt};
    // The crop cuts away the rows where the DVD subtitle's bar stands.
    run.crop = PictureCrop{320, 160, 0, 40};
    EncoderRun cropped = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(cropped.result.Exited(0)) << cropped.Describe();
    const MediaInfo output = ReadMediaInfo(run.outputPath);
    ASSERT_NE(output.First("video"), nullptr);
    const int width = int(output.First("video")->Number("width")),
              height = int(output.First("video")->Number("height"));
    const int band = height / 8;
    EXPECT_GT(MeanLuma(run.outputPath, 0, height - band, width, band, 1.2, true),
              MeanLuma(run.outputPath, 0, height - band, width, band, 2.6, true) + 40)
        << "no bar at the bottom of the kept picture";
}

// An MKV keeps the film whole: every sound track and subtitle chosen, the
// subtitles as the source holds them (text, styled text, DVB and DVD
// pictures, the Latin-1 file written again in UTF-8), with their languages,
// titles and flags, the font the film carries and its chapters.
TEST(MkvTracks, KeepTheFilmWhole) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatMkvH264;
    EncoderRunValues run{
        FixturePath("tracks.mkv"), folder.Path("out.mkv"), PlanFrame(settings, 320, 240, 1.0), EncoderConvert, 0, 25.0};
    run.soundTracks = {1, 2, 3};
    run.subtitles = {{1, 2, 3, 4, 5}, std::nullopt, std::nullopt};
    EncoderRun mkv = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(mkv.result.Exited(0)) << mkv.Describe();
    const MediaInfo output = ReadMediaInfo(run.outputPath);
    std::vector<std::string> streams;
    for (const StreamInfo& stream : output.streams)
        streams.push_back(stream.Text("codec_name") + " " + stream.Text("tags.language") + " " +
                          stream.Text("tags.title") + " " + stream.Text("disposition.default") +
                          stream.Text("disposition.forced") + " " + stream.Text("tags.filename"));
    EXPECT_EQ(streams,
              (std::vector<std::string>{"h264   10 ", "aac eng  10 ", "aac deu  00 ", "aac fra Kommentar 00 ",
                                        "subrip eng English 01 ", "ass fra Styled 00 ", "dvb_subtitle ita  00 ",
                                        "dvd_subtitle spa  00 ", "subrip deu  00 ", "ttf   00 DejaVuSansMono.ttf"}));
    EXPECT_EQ(output.chapters.size(), 3u);
    EXPECT_NE(SubtitleText(run.outputPath, 4).find("Gr\u00fc\u00dfe aus K\u00f6ln"), std::string::npos)
        << SubtitleText(run.outputPath, 4);
    EXPECT_NEAR(output.streams[7].firstTime - output.streams[0].firstTime, 1.0, 0.05);
}

// A WebM file keeps the sound tracks as Opus and the text subtitles as
// WebVTT, says it leaves the pictures out, and has a keyframe at least
// every 5 seconds (125 pictures at 25 a second), where a browser can seek.
TEST(WebmTracks, TextAsWebVttAndAKeyframeEveryFiveSeconds) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatWebm;
    EncoderRunValues run{FixturePath("tracks.mkv"),
                         folder.Path("tracks.webm"),
                         PlanFrame(settings, 320, 240, 1.0),
                         EncoderConvert,
                         0,
                         25.0};
    run.soundTracks = {1, 2};
    run.subtitles = {{1, 3, 5}, std::nullopt, std::nullopt};
    EncoderRun webm = RunFrontEndText(run, settings, {}, 60);
    ASSERT_TRUE(webm.result.Exited(0)) << webm.Describe();
    EXPECT_NE(webm.result.err.find("a WebM file holds text subtitles"), std::string::npos) << webm.result.err;
    std::vector<std::string> streams;
    for (const StreamInfo& stream : ReadMediaInfo(run.outputPath).streams)
        streams.push_back(stream.Text("codec_name") + " " + stream.Text("tags.language"));
    EXPECT_EQ(streams, (std::vector<std::string>{"av1 ", "opus eng", "opus deu", "webvtt eng", "webvtt deu"}));
    EXPECT_NE(SubtitleText(run.outputPath, 1).find("Gr\u00fc\u00dfe aus K\u00f6ln"), std::string::npos);

    Converted long20 = ConvertFixture(folder, "long.avi", settings);
    ASSERT_TRUE(long20.encoder.result.Exited(0)) << long20.encoder.Describe();
    EXPECT_LE(long20.output.First("video")->longestKeyInterval, 125);
}

}  // namespace

namespace {

constexpr int kMp4Size1280x720 = 9;

// Pictures that are not progressive 8-bit SDR: an HLG phone clip, an HDR10
// (PQ) clip and a full-range VP9 clip, each a ramp from black to white, and moving DV
// footage (576i, bottom field first) panning fast, and a pan that turns from
// progressive to interlaced a second in. Each output is measured as players
// show it: its depth and colour tags, the levels at the ramp's dark and
// bright ends (a sixteenth of its width each; limited range, so about 23
// and 228), and its fields: the order flagged, idet's verdict on the
// pictures, and how close they come to the source woven by bwdif.
struct PictureCase {
    const char* name;
    const char* fixture;
    int format;
    int mp4Resolution;
    const char* pixelFormat;
    const char* tags;       // primaries/transfer/matrix/range as ffprobe reads them; empty: not checked
    bool levels;            // the ramp's ends measured
    const char* fields;     // the flagged field order and idet's verdict; empty: not checked
    const char* reference;  // bwdif and the scaling that make the expected picture; empty: not compared
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

// clang-format off
const PictureCase kPictureCases[] = {
    {"HlgIntoH265KeepsHdr",    "hlg.mp4",         FormatMp4H265, 0, "yuv420p10le", "bt2020/arib-std-b67/bt2020nc/tv", false, "", ""},
    {"HlgIntoWebmKeepsHdr",    "hlg.mp4",         FormatWebm,    0, "yuv420p10le", "bt2020/arib-std-b67/bt2020nc/tv", false, "", ""},
    {"HlgIntoH264HdIsSdr709",  "hlg.mp4",         FormatMp4H264, kMp4Size1280x720, "yuv420p", "bt709/bt709/bt709/tv", true, "", ""},
    {"HlgIntoAviIsToneMapped", "hlg.mp4",         FormatAvi,     0, "yuv420p", "", true, "", ""},
    {"PqIntoH265KeepsHdr",     "pq.mp4",          FormatMp4H265, 0, "yuv420p10le", "bt2020/smpte2084/bt2020nc/tv", false, "", ""},
    {"PqIntoWebmKeepsHdr",     "pq.mp4",          FormatWebm,    0, "yuv420p10le", "bt2020/smpte2084/bt2020nc/tv", false, "", ""},
    {"PqIntoAviIsToneMapped",  "pq.mp4",          FormatAvi,     0, "yuv420p", "", true, "", ""},
    {"FullRangeIntoH264Sd601", "full-range.webm", FormatMp4H264, 0, "yuv420p", "smpte170m/smpte170m/smpte170m/tv", true, "", ""},
    {"FullRangeIntoAvi",       "full-range.webm", FormatAvi,     0, "yuv420p", "", true, "", ""},
    {"DvIntoDvdKeepsFields",   "dv.avi",          FormatDvd,     0, "yuv420p", "", false, "bb", ""},
    {"DvIntoMp4At720p",        "dv.avi",          FormatMp4H264, kMp4Size1280x720, "yuv420p", "", false, "progressive",
     "bwdif=mode=send_frame,scale=900:720,pad=1280:720:190:0"},
    {"DvIntoAvi",              "dv.avi",          FormatAvi,     0, "yuv420p", "", false, "", "bwdif=mode=send_frame"},
    {"TurnsInterlacedIntoMp4", "turns-interlaced.ts", FormatMp4H264, 0, "yuv420p", "", false, "progressive", ""},
    {"TurnsInterlacedIntoAvi", "turns-interlaced.ts", FormatAvi,   0, "yuv420p", "", false, "",
     "bwdif=mode=send_frame:deint=interlaced"},
    {"TurnsInterlacedIntoDvd", "turns-interlaced.ts", FormatDvd,   0, "yuv420p", "", false, "progressive", ""},
};
// clang-format on

std::string ColourTags(const StreamInfo& video) {
    return video.Text("color_primaries") + "/" + video.Text("color_transfer") + "/" + video.Text("color_space") + "/" +
           video.Text("color_range");
}

std::string IdetName(const std::string& fieldOrder) {
    return fieldOrder == "bb" ? "bff" : fieldOrder == "tt" ? "tff" : fieldOrder;
}

class PictureKind : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureKind, ShowsAsTheSourceDoes) {
    const PictureCase& c = GetParam();
    ConversionSettings settings;
    settings.outputFormat = c.format;
    settings.mp4Resolution = c.mp4Resolution;
    settings.tvMode = 1;  // PAL, as the DV footage
    ScratchFolder folder;
    Converted converted = ConvertFixture(folder, c.fixture, settings);
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    const StreamInfo* video = converted.output.First("video");
    ASSERT_NE(video, nullptr);

    EXPECT_EQ(video->Text("pix_fmt"), c.pixelFormat);
    if (*c.tags) {
        EXPECT_EQ(ColourTags(*video), c.tags);
    }
    // The HDR10 clip's mastering display and light levels go along where it stays HDR.
    if (std::string(c.fixture) == "pq.mp4" && std::string(c.pixelFormat) == "yuv420p10le") {
        const std::string sideData = FirstPictureSideData(converted.path);
        for (const char* kind : {"Mastering display metadata", "Content light level metadata"})
            EXPECT_NE(sideData.find(kind), std::string::npos) << sideData;
    }
    const int width = static_cast<int>(video->Number("width")), height = static_cast<int>(video->Number("height"));
    if (c.levels) {
        EXPECT_NEAR(MeanLuma(converted.path, 0, 0, width / 16, height), 23, 8) << "dark end";
        EXPECT_NEAR(MeanLuma(converted.path, width - width / 16, 0, width / 16, height), 228, 8) << "bright end";
    }
    if (*c.fields) {
        EXPECT_EQ(video->Text("field_order"), c.fields);
        EXPECT_EQ(DetectedFields(converted.path), IdetName(c.fields));
    }
    if (*c.reference) {
        EXPECT_EQ(DecodedPictures(converted.path), DecodedPictures(FixturePath(c.fixture))) << "one picture a frame";
        EXPECT_GT(PictureSimilarity(converted.path, FixturePath(c.fixture), c.reference), 0.95);
    }
    if (HasFailure()) ADD_FAILURE() << converted.encoder.Describe();
}

INSTANTIATE_TEST_SUITE_P(Source, PictureKind, testing::ValuesIn(kPictureCases),
                         [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// A DVD keeps the fields of a pan whose order changes from top first to
// bottom first midway, each picture flagged as its source picture.
TEST(Fields, KeptFieldsFollowAChangingOrder) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    settings.tvMode = 1;
    ScratchFolder folder;
    Converted converted = ConvertFixture(folder, "field-order-changes.ts", settings);
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    EXPECT_EQ(FieldOrderRuns(converted.path), FieldOrderRuns(FixturePath("field-order-changes.ts")));
}

}  // namespace
