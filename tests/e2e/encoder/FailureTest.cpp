// Inputs that cannot be converted and arguments that make no sense: each
// ends quickly with the documented status, a message that says what is
// wrong, and no output file.

#include "EncoderTestSupport.h"
#include "core/ArgumentSplitter.h"
#include "core/FormatCatalogue.h"
#include "protocol/TemporaryOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr double kFailureTimeLimit = 10;

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::vector<std::string> DefaultArguments(const std::string& source, const std::string& output, int mode,
                                          int format = FormatAvi) {
    EncoderRunValues run{source, output, {}, mode, -1, 25};
    ConversionSettings settings;
    settings.outputFormat = format;
    return ConversionArguments(run, settings);
}

std::string OutputName(int format) { return "out." + OutputExtension(format); }

// Sources that are not videos.
class UnreadableSource : public testing::TestWithParam<const char*> {};

TEST_P(UnreadableSource, ConversionEndsWithStatus2) {
    ScratchFolder folder;
    std::string source = FixturePath(GetParam());
    EncoderRun encoder = RunArguments(DefaultArguments(source, folder.Path("out.avi"), EncoderConvert),
                                      kFailureTimeLimit, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find(FileName(source)), std::string::npos) << "the message does not name the file";
    EXPECT_TRUE(folder.Entries().empty()) << "an output was created";
}

TEST_P(UnreadableSource, ProbeReportsZerosSoTheFileIsRefused) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(GetParam()), folder.Path("out.avi"), {}, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, {}, kFailureTimeLimit);

    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    ASSERT_EQ(encoder.result.reports.size(), 7u) << encoder.Describe();
    for (std::uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(encoder.result.reports[i].code, i < 5 ? i + 1 : ReportPictureKind);
        EXPECT_EQ(encoder.result.reports[i].value, 0);
    }
    EXPECT_EQ(encoder.result.reports[6].code, ReportSourceRead);
    EXPECT_EQ(encoder.result.reports[6].value, 2);
    EXPECT_FALSE(encoder.result.err.empty()) << "no reason given";
    EXPECT_TRUE(folder.Entries().empty());
}

// A codec nobody knows, lists that name other files, and a pipe that
// would wait for a writer forever.
INSTANTIATE_TEST_SUITE_P(Source, UnreadableSource,
                         testing::Values("missing.avi", "empty.avi", "noise.avi", "notes.mpg", "tone.mp3",
                                         "unknown-fourcc.avi", "playlist.avi", "filelist.avi", "fifo.avi"),
                         FixtureTestName);

// Output places that cannot take a file; root ignores permissions, so the
// folder is made impossible instead: under a regular file, or missing.
class UnwritableOutput : public testing::TestWithParam<const char*> {};

TEST_P(UnwritableOutput, ConversionEndsWithStatus3) {
    ScratchFolder folder;
    std::ofstream(folder.Path("file")) << "a regular file";
    std::string output = folder.Path(GetParam());
    EncoderRun encoder =
        RunArguments(DefaultArguments(FixturePath("sample.avi"), output, EncoderConvert), kFailureTimeLimit);

    EXPECT_TRUE(encoder.result.Exited(3)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("out.avi"), std::string::npos) << "the message does not name the output";
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(Output, UnwritableOutput, testing::Values("file/out.avi", "missing/out.avi"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('/'));
                         });

// Refused before any encoding, and nothing of the run stays behind: what
// already has the output's name is left exactly as it was.
class OutputNameTaken : public testing::TestWithParam<bool> {};

TEST_P(OutputNameTaken, EndsWithStatus9AndLeavesNoTemporary) {
    const bool byFolder = GetParam();
    ScratchFolder folder;
    const std::string kept = byFolder ? folder.Path("out.avi") + "/keep" : folder.Path("out.avi");
    if (byFolder) std::filesystem::create_directory(folder.Path("out.avi"));
    std::ofstream(kept) << "mine";
    EncoderRun encoder = RunArguments(
        DefaultArguments(FixturePath("sample.avi"), folder.Path("out.avi"), EncoderConvert), 60, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(9)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("out.avi"), std::string::npos) << "the message does not name the output";
    EXPECT_EQ(encoder.result.err.find("report 6"), std::string::npos) << "refused only after encoding";
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.avi"}) << "a temporary file was left";
    std::ifstream keptFile(kept);
    std::string content((std::istreambuf_iterator<char>(keptFile)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "mine");
}
INSTANTIATE_TEST_SUITE_P(Output, OutputNameTaken, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Folder" : "File"; });

// Damaged and unusual sources that once gave an empty, short or runaway
// output: each converts within seconds and well under 400 MB to a playable
// output whose length leaves out the damage (no gap filled with more than a
// few seconds) but keeps what is content (a picture held, a late start), with
// all the sound the source has.
struct DamagedCase {
    const char* name;
    const char* fixture;
    double shortest;  // seconds the output's video may cover
    double longest;
    const char* endTime = "9:0:0";  // -endpos, as the front-end gives it
    int format = FormatAvi;
};

void PrintTo(const DamagedCase& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> WithEndTime(std::vector<std::string> arguments, const std::string& endTime) {
    auto option = std::find(arguments.begin(), arguments.end(), "-endpos");
    if (option != arguments.end() && option + 1 != arguments.end()) option[1] = endTime;
    return arguments;
}

class DamagedSource : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSource, ConvertsQuicklyInBoundedMemoryLeavingOutTheDamage) {
    const DamagedCase& c = GetParam();
    ScratchFolder folder;
    const std::string output = folder.Path(OutputName(c.format));
    std::vector<std::string> arguments =
        WithEndTime(DefaultArguments(FixturePath(c.fixture), output, EncoderConvert, c.format), c.endTime);
    EncoderRun encoder = RunArguments(arguments, 20, folder.Path());

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_LT(encoder.result.peakMemoryKb, kPeakMemoryLimitKb);
    MediaInfo info = ReadMediaInfo(output);
    const StreamInfo* video = info.First("video");
    ASSERT_TRUE(video) << info.error;
    EXPECT_GE(video->packets, 1);
    EXPECT_GE(video->Span(), c.shortest);
    EXPECT_LE(video->Span(), c.longest);
    if (!FactsOf(c.fixture).info.First("audio")) return;
    const StreamInfo* sound = info.First("audio");
    ASSERT_TRUE(sound) << "the source's sound was lost";
    EXPECT_GE(sound->Span(), c.shortest);
}

const DamagedCase kDamagedCases[] = {
    // Frame-rate conversion once dropped the only picture.
    {"SinglePictureOfAMillisecond", "one-frame.mp4", 0.001, 1},
    {"EndTimeShorterThanAFrame", "sample.avi", 0.001, 1, "0.01"},
    // Timestamps that restart: both pieces are kept, one after the other.
    {"TransportStreamPiecesJoined", "joined-pieces.ts", 5.5, 6.5},
    {"ProgramStreamPiecesJoined", "joined-pieces.mpg", 5.5, 6.5},
    // Timestamps that jump far ahead.
    {"ProgramStreamWithOnePictureFarAhead", "jump.mpg", 2.5, 8},
    {"ProgramStreamSqueezedAfterAJump", "squeezed.mpg", 2.5, 8},
    {"FlashVideoJumpingFarAhead", "jump.flv", 2.5, 8},
    {"AviClaimingAPictureEveryElevenDays", "slow-rate.avi", 2.5, 8},
    // Not damaged, and not short of its length either: the sound is.
    {"SoundOutlastingThePicture", "short-picture.avi", 2.5, 4},
    // A picture held for seven seconds, and one picture every ten seconds.
    {"ScreenRecordingHoldingItsPicture", "held-picture.mp4", 13.8, 14.2},
    {"SlideshowOfHeldPictures", "slideshow.mkv", 29.8, 30.2},
    {"TimestampsStartingHoursIn", "late-start.mkv", 2.8, 3.2},
    // Sound that changes its channels or its rate halfway.
    {"SoundFromStereoToSurround", "stereo-to-surround.ts", 5.8, 6.2},
    {"SoundFromSurroundToStereo", "surround-to-stereo.ts", 5.8, 6.2},
    {"SoundChangingItsRate", "rate-change.ts", 5.8, 6.2},
    // Sizes and rates the library would refuse or abort on.
    {"WiderThanMpeg4CanBe", "wide-8192.mkv", 0.15, 0.25},
    // Lower than SVT-AV1 takes: framed to 64 lines.
    {"ThinnerThanAv1Takes", "wide-8192.mkv", 0.15, 0.25, "9:0:0", FormatWebm},
    {"NoisyHdPicturesAtMpeg1ConstantRate", "interlaced-1080.ts", 0.15, 0.25, "9:0:0", FormatMpeg1},
    // A repeated timestamp is a tick, not a break; recordings joined keep
    // the sound with the picture; a fast rate and a long hole in the sound.
    {"EveryTwentyFifthTimestampRepeated", "repeated-stamp.mkv", 9.9, 10.1},
    {"RecordingsWithLongerSoundJoined", "joined-longer-sound.ts", 6.4, 6.6},
    {"TwoThousandPicturesASecondKept", "fast-2000.mp4", 0.45, 0.55, "9:0:0", FormatMp4H264},
    {"TwentyMinutesWithoutSound", "sound-hole.mkv", 1199.9, 1202.1, "9:0:0", FormatMp4H264},
};

INSTANTIATE_TEST_SUITE_P(Source, DamagedSource, testing::ValuesIn(kDamagedCases),
                         [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

// A source whose reads fail or end a third of the way in (a failing disk, a
// file cut short while it is read). An error is a failure that leaves
// nothing; an early end keeps what was converted and says how much.
std::vector<std::string> ReadFault(const std::string& file, std::uintmax_t after, const char* kind) {
    // A sanitizer's runtime would refuse to come after the preloaded library;
    // the sanitizer's other options stay as the run set them.
    const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = std::string("ASAN_OPTIONS=") + (sanitizerOptions ? sanitizerOptions : "");
    asanOptions += (sanitizerOptions && *sanitizerOptions ? ":" : "") + std::string("verify_asan_link_order=0");
    return {"LD_PRELOAD=" READ_FAULT_LIBRARY, asanOptions, "READ_FAULT_FILE=" + file,
            "READ_FAULT_AFTER=" + std::to_string(after), std::string("READ_FAULT_KIND=") + kind};
}

std::vector<std::string> ReadFaultAt(const std::string& fixture, const char* kind) {
    return ReadFault(fixture, std::filesystem::file_size(FixturePath(fixture)) / 3, kind);
}

// The source is opened once, its first picture read along the way; at its
// own size, pixel format, range and matrix its pictures pass unscaled and
// come out as they went in, tagged as before.
struct ReadOnceCase {
    const char* fixture;
    int format;
    const char* colours;  // range and matrix as ffprobe reads them
};

void PrintTo(const ReadOnceCase& c, std::ostream* out) { *out << c.fixture; }

class ReadOnce : public testing::TestWithParam<ReadOnceCase> {};

TEST_P(ReadOnce, SourceIsOpenedOnceAndPicturesPassAsTheyAre) {
    const ReadOnceCase& c = GetParam();
    ScratchFolder folder;
    const std::string output = folder.Path(OutputName(c.format));
    EncoderRun encoder = RunArguments(DefaultArguments(FixturePath(c.fixture), output, EncoderConvert, c.format), 60,
                                      folder.Path(), ReadFault(c.fixture, 0, "tally"));

    ASSERT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("read-fault tally: 1 opens"), std::string::npos) << encoder.result.err;
    const MediaInfo info = ReadMediaInfo(output, false);
    const StreamInfo* video = info.First("video");
    ASSERT_NE(video, nullptr) << info.error;
    const SourceFacts& source = FactsOf(c.fixture);
    EXPECT_EQ(video->Number("width"), source.width);
    EXPECT_EQ(video->Number("height"), source.height);
    EXPECT_EQ(video->Text("pix_fmt"), "yuv420p");
    EXPECT_EQ(video->Text("color_range") + "/" + video->Text("color_space"), c.colours);
    EXPECT_GT(PictureSimilarity(output, FixturePath(c.fixture), "null"), 0.95);
}

INSTANTIATE_TEST_SUITE_P(Source, ReadOnce,
                         testing::Values(ReadOnceCase{"sample.avi", FormatAvi, "unknown/unknown"},
                                         ReadOnceCase{"sample.mp4", FormatMp4H264, "tv/smpte170m"}),
                         [](const testing::TestParamInfo<ReadOnceCase>& info) {
                             return FixtureTestName({info.param.fixture, info.index});
                         });

TEST(ReadFault, ErrorPartwayIsAFailureThatLeavesNothing) {
    ScratchFolder folder;
    EncoderRun encoder = RunArguments(DefaultArguments(FixturePath("long.avi"), folder.Path("out.avi"), EncoderConvert),
                                      20, folder.Path(), ReadFaultAt("long.avi", "eio"));

    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("long.avi"), std::string::npos) << "the message does not name the source";
    EXPECT_TRUE(folder.Entries().empty()) << "a partial output was left";
}

// A stop signal while an MP4's index moves to the front, when the encoder
// reads its own output back, still ends the run and leaves nothing.
TEST(ReadFault, StopWhileTheIndexMovesLeavesNothing) {
    ScratchFolder folder;
    EncoderRun encoder =
        RunArguments(DefaultArguments(FixturePath("sample.avi"), folder.Path("out.mp4"), EncoderConvert, FormatMp4H264),
                     60, folder.Path(), ReadFault("*.part", 0, "term"));

    EXPECT_TRUE(encoder.result.Exited(4)) << encoder.Describe();
    EXPECT_TRUE(folder.Entries().empty()) << "a stopped run left files behind";
}

// Slow media that keep delivering (40 kB/s here) are read to the end, even
// for more than 30 s: only a read that stalls is given up.
TEST(ReadFault, SlowMediaAreReadToTheEnd) {
    ScratchFolder folder;
    EncoderRun encoder =
        RunArguments(DefaultArguments(FixturePath("recorded.webm"), folder.Path("never-written.avi"), EncoderProbe), 90,
                     folder.Path(), ReadFault("recorded.webm", 0, "slow"));

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("report 1 20: duration"), std::string::npos) << encoder.Describe();
}

// A source that ends early, while it is read or because the file was cut
// short, even a short clip: the output is kept and the last line says how
// much was converted.
struct EarlyEndCase {
    const char* name;
    const char* fixture;
    const char* length;  // as the last line gives the source's length
    bool readFault;
    const char* converted = "00:00:0";  // how the last line begins
    int format = FormatAvi;
};

void PrintTo(const EarlyEndCase& c, std::ostream* out) { *out << c.name; }

class EarlyEnd : public testing::TestWithParam<EarlyEndCase> {};

TEST_P(EarlyEnd, KeepsTheOutputAndSaysHowMuchWasConverted) {
    const EarlyEndCase& c = GetParam();
    ScratchFolder folder;
    EncoderRun encoder = RunArguments(
        DefaultArguments(FixturePath(c.fixture), folder.Path(OutputName(c.format)), EncoderConvert, c.format), 20,
        folder.Path(), c.readFault ? ReadFaultAt(c.fixture, "eof") : std::vector<std::string>{});

    ASSERT_TRUE(encoder.result.Exited(5)) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{OutputName(c.format)});
    const std::string& err = encoder.result.err;
    std::string lastLine = err.substr(err.rfind('\n', err.size() - 2) + 1);
    EXPECT_EQ(lastLine.rfind(std::string("kelvoenc: only ") + c.converted, 0), 0u) << lastLine;
    EXPECT_NE(
        lastLine.find(std::string(" of ") + c.length + " of \"" + FixturePath(c.fixture) + "\" could be converted: "),
        std::string::npos)
        << lastLine;
    const MediaInfo output = ReadMediaInfo(folder.Path(OutputName(c.format)));
    const StreamInfo* video = output.First("video");
    ASSERT_TRUE(video);
    EXPECT_GT(video->packets, 0);
}

INSTANTIATE_TEST_SUITE_P(Source, EarlyEnd,
                         testing::Values(EarlyEndCase{"ReadEndingAThirdOfTheWayIn", "long.avi", "00:00:20", true},
                                         EarlyEndCase{"ShortClipCutToAThird", "cut.mkv", "00:00:03", false},
                                         EarlyEndCase{"TenHoursCutAtTheNineHourLimit", "ten-hours.mkv", "10:00:00",
                                                      false, "09:00:00", FormatMp4H264}),
                         [](const testing::TestParamInfo<EarlyEndCase>& info) { return std::string(info.param.name); });

// The temporary file is created afresh under a name of its own: links
// planted at the names it once took (".<name>.<process id>.part") are never
// followed, and the longest name the file system takes still converts.
TEST(Output, PlantedLinksAtTemporaryNamesAreNotFollowed) {
    ScratchFolder folder;
    ScratchFolder elsewhere;
    std::ofstream(elsewhere.Path("victim")) << "keep";
    int lastPid = 0;
    std::ifstream("/proc/sys/kernel/ns_last_pid") >> lastPid;
    for (int pid = lastPid + 1; pid <= lastPid + 400; ++pid)
        std::filesystem::create_symlink(elsewhere.Path("victim"),
                                        folder.Path(".out.avi." + std::to_string(pid) + ".part"));
    EncoderRun encoder = RunArguments(
        DefaultArguments(FixturePath("sample.avi"), folder.Path("out.avi"), EncoderConvert), 60, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    std::string victim;
    std::getline(std::ifstream(elsewhere.Path("victim")), victim);
    EXPECT_EQ(victim, "keep") << "a planted link was followed";
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(folder.Path("out.avi"))));
}

// A run killed outright leaves its unfinished file under the name the
// front-end handed it, so that the front-end removes that file and no other.
TEST(Output, KilledRunLeavesItsFileUnderTheGivenName) {
    ScratchFolder folder;
    const std::string given = TemporaryOutputName("given123");
    EncoderRun encoder =
        RunArguments(DefaultArguments(FixturePath("ten-hours.mkv"), folder.Path("out.avi"), EncoderConvert), 2,
                     folder.Path(), {TemporaryNameSetting(given)});

    EXPECT_TRUE(encoder.result.timedOut) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{given});
}

TEST(Output, NameOfTheLongestLegalLengthConverts) {
    ScratchFolder folder;
    std::string name = std::string(251, 'n') + ".avi";
    EncoderRun encoder =
        RunArguments(DefaultArguments(FixturePath("sample.avi"), folder.Path(name), EncoderConvert), 60, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{name});
}

// One malformed piece in an otherwise good argument list.
struct BadArguments {
    const char* name;
    std::vector<std::string> options;  // between the output and the mode
    const char* named;                 // what the message must mention
    std::vector<std::string> tail = {"0", "-1"};
};

void PrintTo(const BadArguments& c, std::ostream* out) { *out << c.name; }

class MalformedOption : public testing::TestWithParam<BadArguments> {};

TEST_P(MalformedOption, EndsWithStatus1BeforeAnyOutput) {
    const BadArguments& c = GetParam();
    ScratchFolder folder;
    std::vector<std::string> arguments{FixturePath("sample.avi"), "-o", folder.Path("out.avi")};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.insert(arguments.end(), c.tail.begin(), c.tail.end());
    EncoderRun encoder = RunArguments(arguments, kFailureTimeLimit, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(1)) << encoder.Describe();
    EXPECT_NE(Lowered(encoder.result.err).find(Lowered(c.named)), std::string::npos)
        << "the message does not name " << c.named << "\n"
        << encoder.Describe();
    EXPECT_TRUE(folder.Entries().empty()) << "an output was created";
}

const BadArguments kBadArguments[] = {
    {"UnknownOption", {"-frobnicate", "3"}, "-frobnicate"},
    {"MissingValueBeforeMode", {"-ofps"}, "-ofps"},
    {"MissingOutputPath", {"-o"}, "-o"},
    {"SampleRateNotANumber", {"-srate", "44k"}, "-srate"},
    {"FrameRateNotANumber", {"-ofps", "fast"}, "-ofps"},
    {"FrameRateDividedByZero", {"-ofps", "25/0"}, "-ofps"},
    {"EndTimeNotATime", {"-endpos", "1:xx:00"}, "-endpos"},
    {"ScalerNotANumber", {"-sws", "bicubic"}, "-sws"},
    {"VideoBitrateNotANumber", {"-ovc", "lavc", "-lavcopts", "vcodec=mpeg4:vbitrate=12k"}, "vbitrate"},
    {"LameBitrateNotANumber", {"-oac", "mp3lame", "-lameopts", "vbr=3:br=loud"}, "br"},
    {"XvidBitrateEmpty", {"-ovc", "xvid", "-xvidencopts", "bitrate=:autoaspect=1"}, "bitrate"},
    {"ScaleNotNumbers", {"-vf", "scale=wide:240"}, "scale"},
    {"CropOfOddWidth", {"-vf", "crop=319:240:0:0,scale=640:480"}, "crop"},
    {"CropOutsideThePicture", {"-vf", "crop=320:240:2:0"}, "outside the 320x240 picture"},
    {"StartNotATime", {"-ss", "ten"}, "-ss"},
    {"VolumeNotDecibels", {"-af", "volume=loud"}, "volume"},
    {"UnknownVideoEncoder", {"-ovc", "h265"}, "-ovc"},
    {"UnknownLavcCodec", {"-ovc", "lavc", "-lavcopts", "vcodec=theora"}, "vcodec"},
    {"UnknownContainer", {"-of", "lavf", "-lavfopts", "format=mkv"}, "format"},
    {"ModeNotANumber", {}, "mode", {"convert", "-1"}},
    {"HandleNotANumber", {}, "handle", {"0", "window"}},
};

INSTANTIATE_TEST_SUITE_P(Arguments, MalformedOption, testing::ValuesIn(kBadArguments),
                         [](const testing::TestParamInfo<BadArguments>& info) { return std::string(info.param.name); });

// A start after the source's last picture converts nothing: a failure
// that says why, and no output.
TEST(Arguments, StartAfterTheEndIsRefusedNamingTheStart) {
    ScratchFolder folder;
    EncoderRun encoder = RunArguments({FixturePath("sample.avi"), "-o", folder.Path("out.avi"), "-ss", "10", "0", "-1"},
                                      kFailureTimeLimit, folder.Path());
    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("(-ss)"), std::string::npos) << encoder.Describe();
    EXPECT_TRUE(folder.Entries().empty()) << "an output was created";
}

TEST(Arguments, HelpListsTheVocabularyAndTheExitStatuses) {
    EncoderRun encoder = RunArguments({"--help"}, kFailureTimeLimit);

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    for (const char* option :
         {"-o", "-oac", "-ovc", "-lavcopts", "-lameopts", "-xvidencopts", "-ffourcc", "-of", "-lavfopts", "-mpegopts",
          "-af", "-srate", "-vf", "-sws", "-ofps", "-ss", "-endpos", "crop="})
        EXPECT_NE(encoder.result.out.find(option), std::string::npos) << option << " is not in the help";
    EXPECT_NE(Lowered(encoder.result.out).find("exit"), std::string::npos) << "the exit statuses are not documented";
}

}  // namespace
