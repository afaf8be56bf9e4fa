#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

namespace {

ConversionSettings WithFormat(int format) {
    ConversionSettings settings;
    settings.outputFormat = format;
    return settings;
}

}  // namespace

TEST(FormatCatalogue, FamiliesAndExtensions) {
    const char* extensions[] = {"avi", "mpeg", "mpeg", "avi", "avi", "mpeg", "mpeg", "vob", "wmv", "asf"};
    for (int format = 0; format < kOutputFormatCount; ++format) EXPECT_EQ(OutputExtension(format), extensions[format]);
    EXPECT_EQ(OutputExtension(12), "avi");
    EXPECT_EQ(OutputExtension(-1), "avi");
    EXPECT_TRUE(IsAviFamily(3) && IsAviFamily(4) && IsMpegFamily(2) && IsDiscFormat(5) && IsWindowsMedia(9));
    EXPECT_EQ(FamilyOf(10), FormatFamily::None);
    EXPECT_EQ(FormatCatalogue::FormatTexts().back(), "ASF Format (*.ASF)");
}

TEST(FormatCatalogue, ListsKeepTheirExactTextsAndSizes) {
    using namespace FormatCatalogue;
    EXPECT_EQ(AviQualities().size(), 9u);
    EXPECT_EQ(Mpeg1Qualities().size(), 5u);
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
    EXPECT_EQ(AspectTexts(FormatAvi), (std::vector<std::string>{"4:3    (Standard TV)", "16:9   (Wide screen TV)"}));
}

TEST(FormatCatalogue, BitratesFollowTheFormatsQualityList) {
    EncodeTargets targets;
    ConversionSettings settings;  // AVI, "5.Medium"
    ResolveBitrates(settings, targets);
    EXPECT_EQ(targets.videoBitrate, 1000);
    EXPECT_EQ(targets.audioBitrate, 128);
    settings.outputFormat = FormatVcd;
    settings.mpeg1Quality = 4;
    ResolveBitrates(settings, targets);
    EXPECT_EQ(targets.videoBitrate, 1152);
    settings.outputFormat = FormatWmv;
    settings.wmvQuality = 5;
    ResolveBitrates(settings, targets);
    EXPECT_EQ(targets.audioBitrate, 128);
    settings.wmvQuality = 9;  // outside the list: previous values stay
    ResolveBitrates(settings, targets);
    EXPECT_EQ(targets.videoBitrate, 1000);
    settings.outputFormat = 12;
    settings.wmvQuality = 0;
    ResolveBitrates(settings, targets);
    EXPECT_EQ(targets.videoBitrate, 1000);
}

TEST(FormatCatalogue, FrameSizesAndTheirFallbacks) {
    EncodeTargets targets{7, 7, 0, 0};
    ConversionSettings settings;
    ResolveFrameSize(settings, targets);  // "Original"
    EXPECT_EQ(targets.width, 0);
    EXPECT_EQ(targets.height, 0);
    settings.aviResolution = 16;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.width, 624);
    EXPECT_EQ(targets.height, 352);
    settings.aviResolution = 20;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.width, 0);
    settings = WithFormat(FormatMpeg2);
    settings.mpegResolution = 17;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.width, 720);
    EXPECT_EQ(targets.height, 576);
    settings.mpegResolution = 18;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.height, 0);
    settings = WithFormat(FormatVcd);
    settings.tvMode = 1;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.width, 352);
    EXPECT_EQ(targets.height, 288);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(settings, 0), 25.0);
    settings.tvMode = 0;
    ResolveFrameSize(settings, targets);
    EXPECT_EQ(targets.height, 240);
    EXPECT_DOUBLE_EQ(ResolveFrameRate(settings, 0), 23.976);
    settings = WithFormat(FormatSvcd);
    ResolveFrameSize(settings, targets);
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
    EXPECT_TRUE(QualityList(12).entries.empty());
    EXPECT_TRUE(QualityList(12).enabled);
    EXPECT_EQ(ResolutionList(12).entries.size(), 20u);
}
