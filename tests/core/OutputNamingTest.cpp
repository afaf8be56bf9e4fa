// Output naming, letterbox pads and output folder creation.
#include "core/ConversionsAtOnce.h"
#include "core/FolderCreation.h"
#include "core/FormatCatalogue.h"
#include "core/OutputPath.h"
#include "core/Padding.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int kAvi = 0;
constexpr int kMpeg1 = 1;
constexpr int kDvd = 7;
constexpr int kMp4 = FormatMp4H264;
constexpr int kMp4H265 = FormatMp4H265;

void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        m_root = fs::temp_directory_path() / ("tarvine-naming-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "clips");
        fs::create_directories(m_root / "out");
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_root);
    }
    std::string At(const std::string& relative) const { return (m_root / relative).string(); }

    fs::path m_root;
    fs::path m_previous;
};

using MakeOutputPathTest = ScratchFolder;

TEST_F(MakeOutputPathTest, NamesFollowTheFolderTheFormatAndExistingFiles) {
    SourceList none;
    // Folder typed without its trailing separator.
    EXPECT_EQ(MakeOutputPath(At("clips/party.avi"), At("out"), kAvi, none), At("out/party.avi"));
    EXPECT_EQ(MakeOutputPath(At("clips/party.avi"), At("out/"), kAvi, none), At("out/party.avi"));
    EXPECT_EQ(MakeOutputPath(At("clips/party.mpg"), At("out"), kMpeg1, none), At("out/party.mpeg"));
    EXPECT_EQ(MakeOutputPath(At("clips/party"), At("out"), kDvd, none), At("out/party.vob"));
    EXPECT_EQ(MakeOutputPath(At("clips/my.party.mov"), At("out"), kAvi, none), At("out/my.party.avi"));

    // An existing file of that name gives the second name; when that is taken
    // too, numbers follow. Nothing existing is ever named, not even a dangling link.
    Touch(At("out/party.mpeg"));
    EXPECT_EQ(MakeOutputPath(At("clips/party.mpg"), At("out"), kMpeg1, none), At("out/party_mpg.mpeg"));
    Touch(At("out/party_mpg.mpeg"));
    EXPECT_EQ(MakeOutputPath(At("clips/party.mpg"), At("out"), kMpeg1, none), At("out/party_mpg_1.mpeg"));
    fs::create_symlink(At("nowhere"), At("out/party_mpg_1.mpeg"));
    EXPECT_EQ(MakeOutputPath(At("clips/party.mpg"), At("out"), kMpeg1, none), At("out/party_mpg_2.mpeg"));
    Touch(At("out/party.vob"));
    EXPECT_EQ(MakeOutputPath(At("clips/party"), At("out"), kDvd, none), At("out/party_.vob"));
}

TEST_F(MakeOutputPathTest, NeverNamesAListedSource) {
    Touch(At("out/party.avi"));
    Touch(At("out/party_avi.avi"));
    Touch(At("out/party_avi_1.avi"));
    SourceList listed;
    listed.Append({At("out/party.avi")});
    // The second name is another listed file, reached through a link to the folder.
    fs::create_directory_symlink(At("out"), At("link"));
    listed.Append({At("link/party_avi.avi")});
    listed.Append({At("out/party_avi_1.avi")});

    EXPECT_EQ(MakeOutputPath(At("out/party.avi"), At("out"), kAvi, listed), At("out/party_avi_2.avi"));
    // Nor the name a run going on will give its file.
    EXPECT_EQ(MakeOutputPath(At("out/party.avi"), At("out"), kAvi, listed, {At("out/party_avi_2.avi")}),
              At("out/party_avi_3.avi"));
}

struct AtOnceCase {
    int format, chosen, cores, filesLeft, atOnce, threads;
};

// "Auto" gives H.264 and H.265 a run for every four cores and the classic
// formats one for every two, two at least; never more than the files left.
// A number chosen is held to the cores.
TEST(ConversionsAtOnceTest, AutoFollowsTheCoresAndTheFormat) {
    const AtOnceCase cases[] = {
        {kAvi, 0, 2, 8, 2, 1},   {kAvi, 0, 16, 20, 8, 2}, {kAvi, 0, 16, 3, 3, 5},    {kAvi, 0, 1, 8, 1, 1},
        {kMp4, 0, 2, 8, 1, 2},   {kMp4, 0, 16, 8, 4, 4},  {kMp4H265, 0, 8, 8, 2, 4}, {kAvi, 3, 2, 8, 2, 1},
        {kMp4, 1, 16, 8, 1, 16}, {kAvi, 5, 8, 0, 1, 8},
    };
    for (const AtOnceCase& c : cases) {
        ConversionSettings settings;
        settings.outputFormat = c.format;
        settings.conversionsAtOnce = c.chosen;
        const int atOnce = ConversionsAtOnce(settings, c.cores, c.filesLeft);
        EXPECT_EQ(atOnce, c.atOnce) << c.format << " " << c.chosen << " " << c.cores << " " << c.filesLeft;
        EXPECT_EQ(ThreadsPerRun(c.cores, atOnce), c.threads) << c.format << " " << c.cores;
    }
}

struct PaddingCase {
    int format, tvMode, mpegResolution, aspect, letterbox, sourceWidth, sourceHeight;
    double sampleAspect;
    int horizontal, vertical;
};

// The pads compare display shapes: the flagged aspect of MPEG and disc
// frames, the pixel shape of the source.
TEST(PlanFrameTest, PadsFollowTheDisplayShapesAndTheSwitch) {
    const PaddingCase cases[] = {
        {kDvd, 0, 0, 0, 1, 640, 480, 1.0, 0, 0},             // 4:3 into a 4:3 frame: no pads
        {kDvd, 0, 0, 1, 1, 640, 480, 1.0, 180, -160},        // 4:3 into 16:9: pillarbox
        {kDvd, 0, 0, 0, 1, 1280, 720, 1.0, -240, 120},       // 16:9 into 4:3: letterbox
        {kDvd, 0, 0, 0, 1, 720, 480, 32.0 / 27, -240, 120},  // anamorphic 16:9 NTSC into 4:3
        {kDvd, 1, 0, 1, 1, 720, 576, 1.4222222, 0, 0},       // anamorphic PAL 16:9 as reported, into 16:9
        {kDvd, 0, 0, 1, 0, 640, 480, 1.0, 0, 0},             // letterbox off: stretch
        {kDvd, 0, 0, 0, 1, 0, 480, 1.0, 0, 0},               // size unknown
        {kMpeg1, 0, 16, 0, 1, 640, 480, 1.0, 80, -60},       // 1:1 flags square pixels: 720 x 480 is 3:2
        {kMpeg1, 0, 0, 1, 1, 640, 480, 1.0, 0, 0},           // "Original", shape kept: nothing to do
        {kMpeg1, 0, 0, 2, 1, 640, 480, 1.0, 160, -160},      // "Original" flagged 16:9: pad inside
        {kMpeg1, 0, 0, 2, 0, 640, 480, 1.0, 0, 0},           // ... unless letterbox is off
        {kAvi, 0, 0, 0, 1, 640, 480, 1.0, 0, 0},             // AVI "Original": the source's frame
    };
    for (const PaddingCase& c : cases) {
        ConversionSettings settings;
        settings.outputFormat = c.format;
        settings.tvMode = c.tvMode;
        settings.mpegResolution = c.mpegResolution;
        settings.mpegAspect = settings.dvdAspect = c.aspect;
        settings.letterbox = c.letterbox;
        Padding padding = PlanFrame(settings, c.sourceWidth, c.sourceHeight, c.sampleAspect).pads;
        EXPECT_EQ(padding.horizontal, c.horizontal) << c.format << ": " << c.sourceWidth << "x" << c.sourceHeight;
        EXPECT_EQ(padding.vertical, c.vertical) << c.format << ": " << c.sourceWidth << "x" << c.sourceHeight;
    }
}

TEST(PlanFrameTest, ResolvesTheTargetFrame) {
    ConversionSettings dvdPal;
    dvdPal.outputFormat = kDvd;
    dvdPal.tvMode = 1;
    FrameSize targets = PlanFrame(dvdPal, 640, 480).size;
    EXPECT_EQ(targets.width, 720);
    EXPECT_EQ(targets.height, 576);

    // MPEG "Original" takes the source's frame only when it pads inside it.
    ConversionSettings mpeg;
    mpeg.outputFormat = kMpeg1;
    mpeg.mpegAspect = 2;
    targets = PlanFrame(mpeg, 640, 480).size;
    EXPECT_EQ(targets.width, 640);
    EXPECT_EQ(targets.height, 480);
    targets = PlanFrame(mpeg, 1280, 720).size;
    EXPECT_EQ(targets.width, 0);
    EXPECT_EQ(targets.height, 0);

    // An MP4 size turns upright for a source that shows portrait, its pixel
    // shape counted, with or without letterbox; AVI sizes stay as named.
    const struct {
        int format, letterbox, sourceWidth, sourceHeight;
        double sampleAspect;
        int width, height;
    } turns[] = {
        {FormatMp4H264, 1, 1080, 1920, 1.0, 720, 1280}, {FormatMp4H265, 0, 1080, 1920, 1.0, 720, 1280},
        {FormatMp4H264, 1, 1440, 1080, 0.5, 720, 1280}, {FormatMp4H264, 1, 1080, 1440, 2.0, 1280, 720},
        {FormatMp4H264, 1, 1920, 1080, 1.0, 1280, 720}, {kAvi, 1, 1080, 1920, 1.0, 640, 480},
    };
    for (const auto& c : turns) {
        ConversionSettings settings;
        settings.outputFormat = c.format;
        settings.mp4Resolution = 9;   // 1280 x 720
        settings.aviResolution = 17;  // 640 x 480
        settings.letterbox = c.letterbox;
        targets = PlanFrame(settings, c.sourceWidth, c.sourceHeight, c.sampleAspect).size;
        EXPECT_EQ(targets.width, c.width) << c.format << ": " << c.sourceWidth << "x" << c.sourceHeight;
        EXPECT_EQ(targets.height, c.height) << c.format << ": " << c.sourceWidth << "x" << c.sourceHeight;
    }
}

using EnsureFolderTest = ScratchFolder;

TEST_F(EnsureFolderTest, CreatesMissingLevelsAndLeavesTheCurrentDirectory) {
    fs::current_path(m_root / "clips");
    ASSERT_EQ(EnsureFolder(At("out/a/b/c")), 0);
    EXPECT_TRUE(fs::is_directory(At("out/a/b/c")));
    ASSERT_EQ(EnsureFolder(At("out/new/")), 0);
    EXPECT_TRUE(fs::is_directory(At("out/new")));
    EXPECT_EQ(EnsureFolder(At("clips/")), 0);
    EXPECT_EQ(EnsureFolder("/"), 0);
    EXPECT_EQ(fs::current_path(), m_root / "clips");
}

TEST_F(EnsureFolderTest, FailsWhereAFolderCannotBe) {
    Touch(At("out/file"));
    for (const std::string& folder : {At("out/file/sub"), At("out/file")}) {
        errno = 0;
        EXPECT_EQ(EnsureFolder(folder), -1) << folder;
        EXPECT_EQ(errno, ENOTDIR) << folder;
    }
    EXPECT_FALSE(fs::exists(At("out/file/sub")));

    // A relative folder would depend on the current directory.
    fs::current_path(m_root);
    for (const std::string folder : {"", "out/videos", "no-separator-here"}) {
        errno = 0;
        EXPECT_EQ(EnsureFolder(folder), -1) << folder;
        EXPECT_EQ(errno, EINVAL) << folder;
    }
    EXPECT_FALSE(fs::exists(At("out/videos")));
}

TEST(ResolveFolderTest, TypedRelativeFoldersLieBelowHome) {
    const std::string home = "/home/ann";
    struct Row {
        const char* typed;
        const char* resolved;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"out/videos", "/home/ann/out/videos"},
             {"out/videos/", "/home/ann/out/videos/"},
             {"./out/../clips", "/home/ann/clips"},
             {"~", "/home/ann"},
             {"~/Videos/", "/home/ann/Videos/"},
             {"~ann", "/home/ann/~ann"},
             {"/srv/out/../videos/", "/srv/out/../videos/"},
             {"", ""},
         })
        EXPECT_EQ(ResolveFolder(row.typed, home), row.resolved) << row.typed;
}

}  // namespace
