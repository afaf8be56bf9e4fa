// Inputs that cannot be converted and arguments that make no sense: each
// ends quickly with the documented status, a message that says what is
// wrong, and no output file.

#include "EncoderTestSupport.h"
#include "core/ArgumentSplitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace {

constexpr double kFailureTimeLimit = 10;

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::vector<std::string> DefaultArguments(const std::string& source, const std::string& output, int mode) {
    EncodeTargets targets;
    EncoderRunValues run{source, output, 0, 0, mode, -1, 25};
    return SplitArguments(BuildEncoderArguments(run, ConversionSettings{}, targets));
}

// Sources that are not videos.
class UnreadableSource : public testing::TestWithParam<const char*> {};

TEST_P(UnreadableSource, ConversionEndsWithStatus2) {
    ScratchFolder folder;
    std::string source = FixturePath(GetParam());
    EncoderRun encoder =
        RunArguments(DefaultArguments(source, folder.Path("out.avi"), EncoderConvert), kFailureTimeLimit, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find(FileName(source)), std::string::npos) << "the message does not name the file";
    EXPECT_TRUE(folder.Entries().empty()) << "an output was created";
}

TEST_P(UnreadableSource, ProbeReportsZerosSoTheFileIsRefused) {
    ScratchFolder folder;
    EncoderRunValues run{FixturePath(GetParam()), folder.Path("out.avi"), 0, 0, EncoderProbe, 0, 0};
    EncoderRun encoder = RunFrontEndText(run, ConversionSettings{}, EncodeTargets{}, {}, kFailureTimeLimit);

    EXPECT_TRUE(encoder.result.Exited(2)) << encoder.Describe();
    ASSERT_EQ(encoder.result.reports.size(), 5u) << encoder.Describe();
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(encoder.result.reports[i].code, i + 1);
        EXPECT_EQ(encoder.result.reports[i].value, 0);
    }
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

// The failure comes only at the very end, when the finished file is to
// take its name: the temporary file must not stay behind.
TEST(Output, NameTakenByAFolderEndsWithStatus3AndLeavesNoTemporary) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path("out.avi"));
    std::ofstream(folder.Path("out.avi") + "/keep") << "inside";
    EncoderRun encoder = RunArguments(DefaultArguments(FixturePath("sample.avi"), folder.Path("out.avi"), EncoderConvert),
                                      60, folder.Path());

    EXPECT_TRUE(encoder.result.Exited(3)) << encoder.Describe();
    EXPECT_NE(encoder.result.err.find("out.avi"), std::string::npos) << "the message does not name the output";
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.avi"}) << "a temporary file was left";
    EXPECT_TRUE(std::filesystem::exists(folder.Path("out.avi") + "/keep"));
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
    {"VolumeNotDecibels", {"-af", "volume=loud"}, "volume"},
    {"UnknownVideoEncoder", {"-ovc", "h265"}, "-ovc"},
    {"UnknownLavcCodec", {"-ovc", "lavc", "-lavcopts", "vcodec=theora"}, "vcodec"},
    {"UnknownContainer", {"-of", "lavf", "-lavfopts", "format=mkv"}, "format"},
    {"ModeNotANumber", {}, "mode", {"convert", "-1"}},
    {"HandleNotANumber", {}, "handle", {"0", "window"}},
};

INSTANTIATE_TEST_SUITE_P(Arguments, MalformedOption, testing::ValuesIn(kBadArguments),
                         [](const testing::TestParamInfo<BadArguments>& info) { return std::string(info.param.name); });

TEST(Arguments, HelpListsTheVocabularyAndTheExitStatuses) {
    EncoderRun encoder = RunArguments({"--help"}, kFailureTimeLimit);

    EXPECT_TRUE(encoder.result.Exited(0)) << encoder.Describe();
    for (const char* option : {"-o", "-oac", "-ovc", "-lavcopts", "-lameopts", "-xvidencopts", "-ffourcc", "-of",
                               "-lavfopts", "-mpegopts", "-af", "-srate", "-vf", "-sws", "-ofps", "-endpos"})
        EXPECT_NE(encoder.result.out.find(option), std::string::npos) << option << " is not in the help";
    EXPECT_NE(Lowered(encoder.result.out).find("exit"), std::string::npos) << "the exit statuses are not documented";
}

}  // namespace
