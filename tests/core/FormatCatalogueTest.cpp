#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

ConversionSettings WithFormat(int format) {
    ConversionSettings settings;
    settings.outputFormat = format;
    return settings;
}

}  // namespace

TEST(FormatCatalogue, FamiliesAndExtensions) {
    const char* extensions[] = {"avi", "mpeg", "mpeg", "avi", "avi", "mpeg", "mpeg", "vob",
                                "wmv", "asf",  "mp4",  "mp4", "mkv", "mkv",  "webm"};
    for (int format = 0; format < kOutputFormatCount; ++format) EXPECT_EQ(OutputExtension(format), extensions[format]);
    EXPECT_EQ(OutputExtension(kOutputFormatCount), "avi");
    EXPECT_EQ(OutputExtension(-1), "avi");
    EXPECT_TRUE(IsAviFamily(3) && IsAviFamily(4) && IsMpegFamily(2) && IsDiscFormat(5) && IsWindowsMedia(9));
    EXPECT_EQ(FamilyOf(13), FormatFamily::ConstantQuality);
    EXPECT_EQ(FamilyOf(kOutputFormatCount), FormatFamily::None);
    const std::vector<std::string> texts = FormatCatalogue::FormatTexts();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts[9], "ASF Format (*.ASF)");
    EXPECT_EQ(texts[10], "MP4 for phones and the web, H.264 + AAC (*.mp4)");
    EXPECT_EQ(texts[11], "MP4 with H.265, smaller files, H.265 + AAC (*.mp4)");
    EXPECT_EQ(texts[12], "MKV, H.264 + AAC (*.mkv)");
    EXPECT_EQ(texts[13], "MKV with H.265 (*.mkv)");
    EXPECT_EQ(texts[14], "WebM, AV1 + Opus (*.webm)");
}

TEST(FormatCatalogue, ListsKeepTheirExactTextsAndSizes) {
    using namespace FormatCatalogue;
    EXPECT_EQ(AviQualities().size(), 9u);
    EXPECT_EQ(Mpeg1Qualities().size(), 6u);
    EXPECT_EQ(Mpeg2Qualities().size(), 6u);
    EXPECT_EQ(SvcdQualities().size(), 5u);
    EXPECT_EQ(DvdQualities().size(), 6u);
    EXPECT_EQ(WmvQualities().size(), 9u);
    EXPECT_STREQ(AviQualities()[1].text, "2.Lower  (video bitrate: 512kbps; audio bitrate: 80kbps)");
    EXPECT_STREQ(DvdQualities()[0].text, "1.Lower  (video bitrate: 800kbps; audio bitrate:112kbps)");
    for (std::size_t i = 1; i < DvdQualities().size(); ++i)
        EXPECT_STREQ(DvdQualities()[i].text, Mpeg2Qualities()[i].text);
    ASSERT_EQ(AviResolutions().size(), 20u);
    ASSERT_EQ(MpegResolutions().size(), 18u);
    EXPECT_STREQ(AviResolutions()[13].text, "480 x 272");
    EXPECT_STREQ(MpegResolutions()[13].text, "480 x 480");
    EXPECT_STREQ(MpegAspects()[3].text, "2.21:1 (CinemaScope movie)");
    EXPECT_EQ(AspectTexts(FormatMpeg1).size(), 4u);
    ASSERT_EQ(MpegFrameRates().size(), 6u);
    EXPECT_STREQ(MpegFrameRates()[5].text, "30.0 fps");
    EXPECT_EQ(FrameRateList(FormatMp4H264).entries[7], "59.94 fps");
    std::vector<std::string> mp4Sizes = ResolutionList(FormatMp4H264).entries;
    for (const char* size :
         {"Original", "640 x 360 (360 x 640 for portrait clips)", "1280 x 720 (720 x 1280 for portrait clips)",
          "1920 x 1080 (1080 x 1920 for portrait clips)"})
        EXPECT_NE(std::find(mp4Sizes.begin(), mp4Sizes.end(), size), mp4Sizes.end()) << size;
    EXPECT_EQ(AspectTexts(FormatAvi), (std::vector<std::string>{"4:3    (Standard TV)", "16:9   (Wide screen TV)"}));
}

TEST(FormatCatalogue, BitratesFollowTheFormatsQualityList) {
    ConversionSettings settings;  // AVI, "5.Medium"
    EXPECT_EQ(ResolveBitrates(settings).video, 1000);
    EXPECT_EQ(ResolveBitrates(settings).audio, 128);
    settings.outputFormat = FormatVcd;
    settings.mpeg1Quality = 4;
    EXPECT_EQ(ResolveBitrates(settings).video, 1152);
    settings.outputFormat = FormatWmv;
    settings.wmvQuality = 5;
    EXPECT_EQ(ResolveBitrates(settings).audio, 128);
    settings.wmvQuality = 9;  // outside the list: none
    EXPECT_EQ(ResolveBitrates(settings).video, 0);
    settings.outputFormat = kOutputFormatCount;
    settings.wmvQuality = 0;
    EXPECT_EQ(ResolveBitrates(settings).video, 0);
}

TEST(FormatCatalogue, FrameSizesAndTheirFallbacks) {
    FrameSize targets;
    ConversionSettings settings;
    targets = ResolveFrameSize(settings);  // "Original"
    EXPECT_EQ(targets.width, 0);
    EXPECT_EQ(targets.height, 0);
    settings.aviResolution = 16;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.width, 624);
    EXPECT_EQ(targets.height, 352);
    settings.aviResolution = 20;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.width, 0);
    settings = WithFormat(FormatMpeg2);
    settings.mpegResolution = 17;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.width, 720);
    EXPECT_EQ(targets.height, 576);
    settings.mpegResolution = 18;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.height, 0);
    settings = WithFormat(FormatVcd);
    settings.tvMode = 1;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.width, 352);
    EXPECT_EQ(targets.height, 288);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(settings, 0), 25.0);
    settings.tvMode = 0;
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.height, 240);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(settings, 0), 23.976);
    settings = WithFormat(FormatSvcd);
    targets = ResolveFrameSize(settings);
    EXPECT_EQ(targets.width, 480);
    EXPECT_EQ(targets.height, 480);
}

TEST(FormatCatalogue, FrameRateBoundsAndMpegSnapping) {
    ConversionSettings avi;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 12), 14.985);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 75), 30.0);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 60), 60.0);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 17.5), 17.5);
    avi.aviFrameRate = 1;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 50), 14.985);
    avi.aviFrameRate = 42;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(avi, 50), 30.0);

    ConversionSettings mpeg = WithFormat(FormatMpeg1);
    const std::pair<double, double> snaps[] = {{0, 23.976},  {23.99, 23.976}, {24.5, 24.0}, {25.0, 25.0},
                                               {27.9, 25.0}, {29.0, 29.97},   {30.0, 30.0}, {59.94, 30.0}};
    for (auto [source, expected] : snaps) EXPECT_DOUBLE_EQ(ResolveFrameRate(mpeg, source), expected) << source;
    mpeg.mpegFrameRate = 2;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(mpeg, 10), 24.0);
    mpeg.mpegFrameRate = -1;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(mpeg, 10), 30.0);

    EXPECT_DOUBLE_EQ(ResolveFrameRate(WithFormat(FormatDvd), 25), 29.97);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(WithFormat(FormatAsf), 25), 1000.0);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(WithFormat(33), 25), 1000.0);

    ConversionSettings mp4 = WithFormat(FormatMp4H265);  // "Original" keeps the source's timing
    EXPECT_DOUBLE_EQ(ResolveFrameRate(mp4, 25), 1000.0);
    mp4.mp4FrameRate = 7;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(mp4, 25), 59.94);
    mp4.mp4FrameRate = 9;
    EXPECT_DOUBLE_EQ(ResolveFrameRate(mp4, 25), 1000.0);
}

// Each better step keeps more of the picture; a stored step outside the list
// takes the middle one.
TEST(FormatCatalogue, ConstantQualitySteps) {
    for (int format : {FormatMp4H264, FormatMp4H265}) {
        ConversionSettings settings = WithFormat(format);
        EXPECT_EQ(FormatCatalogue::QualityField(format), &ConversionSettings::mp4Quality);
        std::span<const QualityPreset> steps = FormatCatalogue::Format(format).qualities;
        ASSERT_EQ(steps.size(), 7u);
        for (std::size_t i = 1; i < steps.size(); ++i) {
            EXPECT_LT(steps[i].crf, steps[i - 1].crf) << format;
            EXPECT_GE(steps[i].audioKbps, steps[i - 1].audioKbps) << format;
        }
        EXPECT_EQ(FormatCatalogue::ChosenQuality(settings), &steps[3]);
        settings.mp4Quality = 7;
        EXPECT_EQ(FormatCatalogue::ChosenQuality(settings), &steps[3]);
    }
    ConversionSettings avi;
    avi.aviQuality = 9;
    EXPECT_EQ(FormatCatalogue::ChosenQuality(avi), nullptr);
}

TEST(FormatCatalogue, SmallLookups) {
    EXPECT_EQ(VolumeLabel(0), "-20db");
    EXPECT_EQ(VolumeLabel(15), "-5db");
    EXPECT_EQ(VolumeLabel(20), "+0db");
    EXPECT_EQ(VolumeLabel(40), "+20db");
    const int quantisers[] = {29, 26, 24, 21, 19, 16, 14, 11, 9};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(WmvQuantiser(i), quantisers[i]);
    ConversionSettings settings = WithFormat(FormatMpeg2);
    settings.mpegAspect = 3;
    EXPECT_EQ(AspectRatioText(settings), "2.21/1");
    settings.outputFormat = FormatDvd;
    settings.dvdAspect = 0;
    EXPECT_EQ(AspectRatioText(settings), "4/3");
    // A hand-edited position out of range takes the default's.
    settings.dvdAspect = 7;
    EXPECT_EQ(AspectRatioText(settings), "16/9");
    settings.outputFormat = FormatMpeg1;
    settings.mpegAspect = -1;
    EXPECT_EQ(AspectRatioText(settings), "16/9");
    settings.outputFormat = FormatAvi;
    EXPECT_EQ(AspectRatioText(settings), "");
}

TEST(FormatCatalogue, DialogListsPerFormat) {
    using namespace FormatCatalogue;
    ChoiceList avCodec = VideoCodecList(FormatAsf);
    EXPECT_TRUE(avCodec.enabled);
    EXPECT_EQ(avCodec.storeTo, &ConversionSettings::asfVideoCodec);
    EXPECT_EQ(avCodec.entries.size(), 3u);
    ChoiceList discSizes = ResolutionList(FormatSvcd);
    EXPECT_FALSE(discSizes.enabled);
    EXPECT_EQ(discSizes.selectFrom, &ConversionSettings::tvMode);
    EXPECT_EQ(discSizes.entries, (std::vector<std::string>{"480 x 480", "480 x 576"}));
    EXPECT_EQ(TvModeList(FormatWmv).entries, std::vector<std::string>{"None"});
    EXPECT_FALSE(TvModeList(FormatWmv).enabled);
    EXPECT_EQ(FrameRateList(FormatWmv).entries, std::vector<std::string>{"Auto"});
    EXPECT_EQ(AudioCodecList(FormatDvd).entries, (std::vector<std::string>{"AC3", "MP2"}));
    EXPECT_TRUE(QualityList(kOutputFormatCount).entries.empty());
    EXPECT_TRUE(QualityList(kOutputFormatCount).enabled);
    EXPECT_EQ(ResolutionList(kOutputFormatCount).entries.size(), 20u);
    EXPECT_EQ(VideoCodecList(FormatMp4H265).entries, std::vector<std::string>{"H.265"});
    EXPECT_FALSE(AudioCodecList(FormatMp4H264).enabled);
    ChoiceList mp4Rates = FrameRateList(FormatMp4H264);
    EXPECT_TRUE(mp4Rates.enabled);
    EXPECT_EQ(mp4Rates.storeTo, &ConversionSettings::mp4FrameRate);
    EXPECT_EQ(AspectList(FormatMp4H264).entries, std::vector<std::string>{"None"});
}
