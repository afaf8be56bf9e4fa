// MP4 and MKV with H.264 or H.265 and AAC: a 4:3, an anamorphic 16:9 and a
// phone's portrait clip at chosen sizes, letterboxed, each output checked as
// a phone or browser would take it; then what a better quality step buys.

#include "EncoderTestSupport.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

struct Mp4Case {
    const char* name;
    int format;
    const char* fixture;
    int resolution;  // position in the MP4 size list
    int width;       // of the encoded frame
    int height;
    int channels;  // 0: the source has no sound
    int sampleRate;
};

void PrintTo(const Mp4Case& c, std::ostream* out) { *out << c.name; }

constexpr int kSize640x360 = 3, kSize854x480 = 5, kSize1280x720 = 9, kSize1920x1080 = 11;

// clang-format off
const Mp4Case kMp4Cases[] = {
    {"H264_4x3_640x360",         FormatMp4H264, "square-4x3.avi",     kSize640x360,  640,  360, 2, 44100},
    {"H264_4x3_1280x720",        FormatMp4H264, "square-4x3.avi",     kSize1280x720, 1280, 720, 2, 44100},
    {"H264_Anamorphic_640x360",  FormatMp4H264, "anamorphic-pal.mpg", kSize640x360,  640,  360, 2, 48000},
    {"H264_Anamorphic_Original", FormatMp4H264, "anamorphic-pal.mpg", 0,             720,  576, 2, 48000},
    // Mono stays mono; 22.05 kHz is raised to a rate every player takes.
    {"H264_Mono22kHz_Original",  FormatMp4H264, "sample.asf",         0,             320,  240, 1, 44100},
    // Odd sides are rounded to what the codec takes.
    {"H265_OddSize_Original",    FormatMp4H265, "odd-size.avi",       0,             320,  240, 2, 44100},
    {"H265_4x3_640x360",         FormatMp4H265, "square-4x3.avi",     kSize640x360,  640,  360, 2, 44100},
    {"H265_4x3_1280x720",        FormatMp4H265, "square-4x3.avi",     kSize1280x720, 1280, 720, 2, 44100},
    {"H265_Anamorphic_640x360",  FormatMp4H265, "anamorphic-pal.mpg", kSize640x360,  640,  360, 2, 48000},
    {"H265_Anamorphic_1280x720", FormatMp4H265, "anamorphic-pal.mpg", kSize1280x720, 1280, 720, 2, 48000},
    // 853.3 x 480 rounds to an even 852 inside the frame; the pixels stay square.
    {"H264_Anamorphic_854x480",  FormatMp4H264, "anamorphic-pal.mpg", kSize854x480,  854,  480, 2, 48000},
    // A portrait clip comes out upright at the size's portrait frame.
    {"H264_Portrait_1280x720",   FormatMp4H264, "portrait-90.mp4",    kSize1280x720, 720, 1280, 0, 0},
    {"H265_Portrait_1920x1080",  FormatMp4H265, "portrait-90.mp4",    kSize1920x1080, 1080, 1920, 0, 0},
    {"Mkv_H264_Anamorphic_854x480", FormatMkvH264, "anamorphic-pal.mpg", kSize854x480, 854, 480, 2, 48000},
    {"Webm_Mono22kHz_Original",     FormatWebm,    "sample.asf",         0,             320, 240, 1, 48000},
    // 5.1 stays 5.1 in WebM.
    {"Webm_Surround_Original",      FormatWebm,    "tiny-surround.mp4",  0,             160, 120, 6, 48000},
};
// clang-format on

// The names of the file's top-level boxes, in order.
std::vector<std::string> TopLevelBoxes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> names;
    const auto size = static_cast<std::uint64_t>(std::filesystem::file_size(path));
    std::uint64_t at = 0;
    unsigned char header[16];
    while (at + 8 <= size && file.seekg(static_cast<std::streamoff>(at)) &&
           file.read(reinterpret_cast<char*>(header), 8)) {
        std::uint64_t length = 0;
        for (int i = 0; i < 4; ++i) length = length << 8 | header[i];
        names.emplace_back(reinterpret_cast<char*>(header) + 4, 4);
        if (length == 1 && file.read(reinterpret_cast<char*>(header) + 8, 8)) {
            length = 0;
            for (int i = 8; i < 16; ++i) length = length << 8 | header[i];
        }
        if (length < 8) break;
        at += length;
    }
    return names;
}

class Mp4Output : public testing::TestWithParam<Mp4Case> {};

TEST_P(Mp4Output, PlaysEverywhereAndKeepsTheSource) {
    const Mp4Case& c = GetParam();
    ConversionSettings settings;
    settings.outputFormat = c.format;
    settings.mp4Resolution = c.resolution;
    ScratchFolder folder;
    Converted converted = ConvertFixture(folder, c.fixture, settings);
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    const bool matroska = FormatCatalogue::Format(c.format).style != ArgumentStyle::Mp4;
    EXPECT_EQ(converted.output.format["format_name"], matroska ? "matroska,webm" : "mov,mp4,m4a,3gp,3g2,mj2");
    const StreamInfo* video = converted.output.First("video");
    const StreamInfo* audio = converted.output.First("audio");
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(audio != nullptr, c.channels > 0);

    const bool h264 = c.format == FormatMp4H264 || c.format == FormatMkvH264, av1 = c.format == FormatWebm;
    EXPECT_EQ(video->Text("codec_name"), h264 ? "h264" : av1 ? "av1" : "hevc");
    EXPECT_EQ(video->Text("profile"), h264 ? "High" : "Main");
    if (!matroska) {
        EXPECT_EQ(video->Text("codec_tag_string"), h264 ? "avc1" : "hvc1");
    }
    EXPECT_EQ(video->Text("pix_fmt"), "yuv420p");
    EXPECT_EQ(video->Number("width"), c.width);
    EXPECT_EQ(video->Number("height"), c.height);
    if (audio) {
        EXPECT_EQ(audio->Text("codec_name"), av1 ? "opus" : "aac");
        if (!av1) {
            EXPECT_EQ(audio->Text("profile"), "LC");
        }
        EXPECT_EQ(audio->Number("channels"), c.channels);
        EXPECT_EQ(audio->Number("sample_rate"), c.sampleRate);
    }

    if (!matroska) {
        std::vector<std::string> boxes = TopLevelBoxes(converted.path);
        auto moov = std::find(boxes.begin(), boxes.end(), "moov");
        EXPECT_LT(moov, std::find(boxes.begin(), boxes.end(), "mdat")) << "the index is not at the front";
    }

    const SourceFacts& source = FactsOf(c.fixture);
    EXPECT_LE(std::fabs(video->Span() - source.videoSpan), 1.001 / source.frameRate)
        << "length differs by more than a frame";
    double sourceShape = source.width * source.sampleAspect / source.height;
    double pixel = video->SampleAspect() > 0 ? video->SampleAspect() : 1;
    if (c.resolution != 0) {
        EXPECT_EQ(pixel, 1.0) << "a chosen size has square pixels";
    }
    PictureArea active = ActivePicture(converted.path);
    ASSERT_GT(active.height, 0) << "no picture found";
    EXPECT_NEAR(active.width * pixel / active.height / sourceShape, 1.0, 0.03)
        << "active " << active.width << "x" << active.height << ", pixel " << pixel;
    if (HasFailure()) ADD_FAILURE() << converted.encoder.Describe();
}

INSTANTIATE_TEST_SUITE_P(Mp4, Mp4Output, testing::ValuesIn(kMp4Cases),
                         [](const testing::TestParamInfo<Mp4Case>& info) { return std::string(info.param.name); });

// A better step of the quality list gives a larger file: the smallest, the
// middle and the best step, on a noisy clip.
// By default a film keeps the sound track players pick, with its language,
// and its chapters their names and times, as players show them.
TEST(Mp4Tracks, KeepTheDefaultSoundsLanguageAndTheChapters) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H264;
    Converted converted = ConvertFixture(folder, "tracks.mkv", settings);
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    ASSERT_EQ(converted.output.Count("audio"), 1);
    EXPECT_EQ(converted.output.First("audio")->Text("tags.language"), "eng");
    const std::vector<std::map<std::string, std::string>>& chapters = converted.output.chapters;
    ASSERT_EQ(chapters.size(), 3u);
    const char* names[] = {"Anfang", "Mitte", "Ende"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(chapters[i].at("tags.title"), names[i]);
        EXPECT_NEAR(std::stod(chapters[i].at("start_time")), double(i), 0.05) << names[i];
    }
}

// From 1.5 s on, the chapter before the start is left out, the one running
// across it begins at 0, and the one after it moves up by the start.
TEST(Mp4Tracks, ChaptersFollowTheStart) {
    ScratchFolder folder;
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H264;
    Converted converted = ConvertFixture(folder, "tracks.mkv", settings, nullptr, {.startSeconds = 1.5});
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    const std::vector<std::map<std::string, std::string>>& chapters = converted.output.chapters;
    ASSERT_EQ(chapters.size(), 2u);
    EXPECT_EQ(chapters[0].at("tags.title"), "Mitte");
    EXPECT_NEAR(std::stod(chapters[0].at("start_time")), 0, 0.05);
    EXPECT_EQ(chapters[1].at("tags.title"), "Ende");
    EXPECT_NEAR(std::stod(chapters[1].at("start_time")), 0.5, 0.05);
}

namespace {

// A fixture into MP4 H.264 with the given edges cropped away.
Converted CroppedIntoMp4(ScratchFolder& folder, const std::string& fixture, CropEdges edges) {
    ConversionSettings settings;
    settings.outputFormat = FormatMp4H264;
    return ConvertFixture(folder, fixture, settings, nullptr, {.crop = CropMode::Custom, .customCrop = edges});
}

}  // namespace

// A 2.35:1 picture between bars in a 16:9 frame, cropped to its picture:
// no black row is left, and all of the picture is.
TEST(Mp4Crop, CutsTheBarsAwayAndKeepsThePicture) {
    ScratchFolder folder;
    Converted converted = CroppedIntoMp4(folder, "letterboxed.mp4", {0, 44, 0, 44});
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    const StreamInfo* video = converted.output.First("video");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Number("width"), 640);
    EXPECT_EQ(video->Number("height"), 272);
    EXPECT_GE(MeanLuma(converted.path, 0, 0, 640, 2), 40) << "the top row is black";
    EXPECT_GE(MeanLuma(converted.path, 0, 270, 640, 2), 40) << "the bottom row is black";
    EXPECT_GE(PictureSimilarity(converted.path, FixturePath("letterboxed.mp4"), "crop=640:272:0:44"), 0.9)
        << "the picture is not the source's";
}

// A crop set on a recording's first picture keeps the same part of the
// picture, the white middle, after the picture grows midway.
TEST(Mp4Crop, KeepsItsPartWhenThePictureGrowsMidway) {
    ScratchFolder folder;
    Converted converted = CroppedIntoMp4(folder, "size-change.ts", {80, 60, 80, 60});
    ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
    for (double seconds : {0.5, 2.5})
        EXPECT_GE(MeanLuma(converted.path, 0, 0, 160, 120, seconds, true), 220) << "not all white at " << seconds;
}

TEST(Mp4Quality, BetterStepsGiveLargerFiles) {
    for (int format : {FormatMp4H264, FormatMp4H265}) {
        std::uintmax_t previous = 0;
        for (int step : {0, 3, 6}) {
            ConversionSettings settings;
            settings.outputFormat = format;
            settings.mp4Quality = step;
            ScratchFolder folder;
            Converted converted = ConvertFixture(folder, "noisy.avi", settings);
            ASSERT_TRUE(converted.encoder.result.Exited(0)) << converted.encoder.Describe();
            std::uintmax_t size = std::filesystem::file_size(converted.path);
            EXPECT_GT(size, previous) << "format " << format << ", step " << step;
            previous = size;
        }
    }
}

}  // namespace
