#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/VideoPlan.h"

#include <gtest/gtest.h>

namespace {

EncoderOptions WithFilters(std::optional<FrameSizeRequest> scale, std::optional<FrameSizeRequest> expand = {}) {
    EncoderOptions options;
    options.video.autoAspect = true;
    options.videoFilter.scale = scale;
    options.videoFilter.expand = expand;
    return options;
}

const SourcePicture kWideDvd{720, 480, {32, 27}};  // 16:9 in 720x480 pixels
const SourcePicture kSquare{640, 480, {1, 1}};

double DisplayAspect(const VideoGeometry& geometry) {
    return av_q2d(geometry.sampleAspect) * geometry.frameWidth / geometry.frameHeight;
}

}  // namespace

TEST(Geometry, ComputedSideKeepsTheDisplayAspectAndIsEven) {
    VideoGeometry wide = VideoPlan::Geometry(WithFilters(FrameSizeRequest{-3, 480}), VideoCodecChoice::Mpeg4, kWideDvd);
    EXPECT_EQ(wide.pictureWidth, 852);  // 853.3 rounded to an even size
    EXPECT_EQ(wide.pictureHeight, 480);
    VideoGeometry letterboxed = VideoPlan::Geometry(WithFilters(FrameSizeRequest{640, -3}, FrameSizeRequest{640, 480}),
                                                    VideoCodecChoice::Mpeg4, kWideDvd);
    EXPECT_EQ(letterboxed.pictureWidth, 640);
    EXPECT_EQ(letterboxed.pictureHeight, 360);
    EXPECT_EQ(letterboxed.frameWidth, 640);
    EXPECT_EQ(letterboxed.frameHeight, 480);
    EXPECT_NEAR(DisplayAspect(letterboxed), 4.0 / 3.0, 0.01);  // square pixels around a 16:9 picture
    // A padded frame keeps square pixels though the even picture is 852, not 853.3, wide.
    VideoGeometry pillarboxed = VideoPlan::Geometry(WithFilters(FrameSizeRequest{-3, 480}, FrameSizeRequest{854, 480}),
                                                    VideoCodecChoice::H264, kWideDvd);
    EXPECT_EQ(pillarboxed.pictureWidth, 852);
    EXPECT_EQ(pillarboxed.sampleAspect.num, pillarboxed.sampleAspect.den);
}

TEST(Geometry, OddSourceSizesBecomeEven) {
    VideoGeometry odd = VideoPlan::Geometry(WithFilters(std::nullopt), VideoCodecChoice::Xvid, {321, 241, {0, 1}});
    EXPECT_EQ(odd.frameWidth, 320);
    EXPECT_EQ(odd.frameHeight, 240);
}

TEST(Geometry, PictureTooLargeForThePaddedFrameIsFittedInside) {
    // The front-end decides on pixel counts, we on the display aspect: a
    // pillarbox request for an anamorphic wide source must still fit.
    VideoGeometry fitted = VideoPlan::Geometry(WithFilters(FrameSizeRequest{-3, 480}, FrameSizeRequest{640, 480}),
                                               VideoCodecChoice::Mpeg4, kWideDvd);
    EXPECT_LE(fitted.pictureWidth, 640);
    EXPECT_LE(fitted.pictureHeight, 480);
    EXPECT_EQ(fitted.pictureWidth, 640);
    EXPECT_EQ(fitted.pictureHeight, 360);
}

TEST(Geometry, AspectOptionOutranksAutoaspect) {
    EncoderOptions options = WithFilters(FrameSizeRequest{720, 480});
    options.video.displayAspect = Fraction{16, 9};
    VideoGeometry dvd = VideoPlan::Geometry(options, VideoCodecChoice::Mpeg2, kSquare);
    EXPECT_EQ(dvd.sampleAspect.num, 32);
    EXPECT_EQ(dvd.sampleAspect.den, 27);
}

// A side computed from the other fits the picture to the pixels of the
// flagged, padded frame, so the picture shows at the source's shape.
TEST(Geometry, PaddedFlaggedFramesKeepTheSourcesShape) {
    struct Row {
        VideoCodecChoice codec;
        Fraction flagged;
        FrameSizeRequest scale, expand;
        SourcePicture source;
    };
    const Row rows[] = {
        {VideoCodecChoice::Mpeg2, {16, 9}, {-3, 576}, {720, 576}, kSquare},  // pillarbox in a 16:9 DVD
        {VideoCodecChoice::Mpeg2, {4, 3}, {720, -3}, {720, 480}, kWideDvd},  // letterbox in a 4:3 DVD
        {VideoCodecChoice::Mpeg2, {221, 100}, {-3, 480}, {640, 480}, kSquare},
        {VideoCodecChoice::Mpeg1, {16, 9}, {-3, 288}, {352, 288}, kSquare},  // the nearest pixel MPEG-1 flags
        {VideoCodecChoice::Mpeg1, {1, 1}, {640, -3}, {640, 480}, kWideDvd},  // 1/1: square pixels
    };
    for (const Row& row : rows) {
        EncoderOptions options = WithFilters(row.scale, row.expand);
        options.video.displayAspect = row.flagged;
        VideoGeometry geometry = VideoPlan::Geometry(options, row.codec, row.source);
        double shown = av_q2d(geometry.sampleAspect) * geometry.pictureWidth / geometry.pictureHeight;
        double source = av_q2d(row.source.sampleAspect) * row.source.width / row.source.height;
        EXPECT_NEAR(shown / source, 1.0, 0.01) << row.flagged.num << "/" << row.flagged.den;
    }
    EncoderOptions square = WithFilters(FrameSizeRequest{640, -3}, FrameSizeRequest{640, 480});
    square.video.displayAspect = Fraction{1, 1};
    EXPECT_EQ(VideoPlan::Geometry(square, VideoCodecChoice::Mpeg2, kSquare).sampleAspect.num, 1);
    EXPECT_EQ(VideoPlan::Geometry(square, VideoCodecChoice::Mpeg2, kSquare).sampleAspect.den, 1);
}

TEST(Geometry, AutoaspectKeepsAStretchedPictureLookingRight) {
    VideoGeometry stretched =
        VideoPlan::Geometry(WithFilters(FrameSizeRequest{640, 480}), VideoCodecChoice::Mpeg4, kWideDvd);
    EXPECT_NEAR(DisplayAspect(stretched), 16.0 / 9.0, 0.001);
}

TEST(Geometry, MpegSizesStayWithinTwelveBits) {
    VideoGeometry huge =
        VideoPlan::Geometry(WithFilters(FrameSizeRequest{8000, 4000}), VideoCodecChoice::Mpeg1, kSquare);
    EXPECT_EQ(huge.frameWidth, 4094);
    EXPECT_EQ(huge.frameHeight, 2046);  // 2047, made even
}

TEST(Timing, MpegVideoGetsTheNearestStandardRate) {
    EncoderOptions options;
    options.outputFrameRate = Fraction{12, 1};
    FrameTiming twelve = VideoPlan::Timing(options, VideoCodecChoice::Mpeg2, ContainerChoice::Mpg, {12, 1});
    EXPECT_EQ(twelve.rate.num, 24000);
    EXPECT_EQ(twelve.rate.den, 1001);
    EXPECT_EQ(twelve.timeBase.num, 1001);
    EXPECT_EQ(twelve.timeBase.den, 24000);
}

TEST(Timing, AutoRateKeepsSourceTimingOnlyWhereTheContainerCan) {
    EncoderOptions options;
    options.outputFrameRate = Fraction{1000, 1};
    FrameTiming asf = VideoPlan::Timing(options, VideoCodecChoice::Wmv2, ContainerChoice::Asf, {30000, 1001});
    EXPECT_TRUE(asf.keepSourceTiming);
    EXPECT_EQ(asf.timeBase.den, 1000);
    FrameTiming avi = VideoPlan::Timing(options, VideoCodecChoice::Mpeg4, ContainerChoice::Avi, {30000, 1001});
    EXPECT_FALSE(avi.keepSourceTiming);
    EXPECT_EQ(avi.rate.num, 30000);
}

TEST(Timing, ZeroOrUnknownRatesFallBack) {
    EncoderOptions options;
    options.outputFrameRate = Fraction{0, 1};
    EXPECT_EQ(VideoPlan::Timing(options, VideoCodecChoice::Mpeg4, ContainerChoice::Avi, {15, 1}).rate.num, 15);
    EXPECT_EQ(VideoPlan::Timing(EncoderOptions{}, VideoCodecChoice::Mpeg4, ContainerChoice::Avi, {0, 1}).rate.num, 25);
}

TEST(Timing, Mpeg4TimeBaseFitsSixteenBits) {
    EncoderOptions options;
    options.outputFrameRate = Fraction{2997003, 100000};
    FrameTiming timing = VideoPlan::Timing(options, VideoCodecChoice::Mpeg4, ContainerChoice::Avi, {25, 1});
    EXPECT_LE(timing.timeBase.den, 65535);
    EXPECT_NEAR(av_q2d(timing.rate), 29.97003, 0.0001);
}

// The fields stay only in MPEG-2 at the source's height and rate, unturned.
TEST(Fields, KeptOnlyWhereMpeg2CarriesThemUnchanged) {
    PictureTraits bottomFirst;
    bottomFirst.interlaced = true;
    bottomFirst.topFieldFirst = false;
    const VideoGeometry dvd{720, 576, 720, 576, {16, 15}};
    FrameTiming pal;
    const auto fields = [&](VideoCodecChoice codec, const PictureTraits& source, AVRational rate, bool turned,
                            const VideoGeometry& geometry) {
        return VideoPlan::Fields(codec, source, 576, rate, turned, geometry, pal);
    };
    const auto mpeg2 = VideoCodecChoice::Mpeg2;
    EXPECT_EQ(fields(mpeg2, bottomFirst, {25, 1}, false, dvd), FieldHandling::KeepBottomFieldFirst);
    EXPECT_EQ(fields(mpeg2, PictureTraits{}, {25, 1}, false, dvd), FieldHandling::Deinterlace);
    EXPECT_EQ(fields(mpeg2, bottomFirst, {30000, 1001}, false, dvd), FieldHandling::Deinterlace);
    EXPECT_EQ(fields(mpeg2, bottomFirst, {25, 1}, true, dvd), FieldHandling::Deinterlace);
    EXPECT_EQ(fields(mpeg2, bottomFirst, {25, 1}, false, {720, 432, 720, 576, {16, 15}}), FieldHandling::Deinterlace);
    EXPECT_EQ(fields(VideoCodecChoice::Mpeg4, bottomFirst, {25, 1}, false, dvd), FieldHandling::Deinterlace);
}

// H.265 keeps HDR; everything else is SDR, BT.709 from 720 lines or 1280
// columns up, BT.601 (PAL's or NTSC's) below, except that H.264 and H.265
// keep an SDR source's colours, tagged.
TEST(Colours, HdrStaysOnlyInH265AndSdrFollowsTheSize) {
    const SourcePicture sd{640, 480};
    PictureTraits hlg;
    hlg.transfer = AVCOL_TRC_ARIB_STD_B67;
    hlg.primaries = AVCOL_PRI_BT2020;
    hlg.matrix = AVCOL_SPC_BT2020_NCL;
    const OutputColours kept = VideoPlan::Colours(VideoCodecChoice::H265, hlg, {320, 180, 320, 180, {1, 1}}, sd);
    EXPECT_EQ(kept.pixelFormat, AV_PIX_FMT_YUV420P10LE);
    EXPECT_EQ(kept.transfer, AVCOL_TRC_ARIB_STD_B67);
    EXPECT_EQ(VideoPlan::Colours(VideoCodecChoice::H264, hlg, {1280, 720, 1280, 720, {1, 1}}, sd).matrix, AVCOL_SPC_BT709);
    EXPECT_EQ(VideoPlan::Colours(VideoCodecChoice::Mpeg2, hlg, {720, 576, 720, 576, {1, 1}}, sd).primaries,
              AVCOL_PRI_BT470BG);
    const OutputColours ntsc =
        VideoPlan::Colours(VideoCodecChoice::Mpeg2, PictureTraits{}, {720, 480, 720, 480, {1, 1}}, sd);
    EXPECT_EQ(ntsc.pixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(ntsc.matrix, AVCOL_SPC_SMPTE170M);
    const VideoGeometry hd{1280, 720, 1280, 720, {1, 1}};
    EXPECT_EQ(VideoPlan::Colours(VideoCodecChoice::H264, PictureTraits{}, hd, sd).matrix, AVCOL_SPC_SMPTE170M);
    EXPECT_EQ(VideoPlan::Colours(VideoCodecChoice::Mpeg4, PictureTraits{}, hd, sd).matrix, AVCOL_SPC_BT709);
}

// The crop cuts the picture as shown, keeping its pixel shape; one reaching
// outside it is refused, naming the source.
TEST(Geometry, ACropKeepsItsPartAndThePixelShape) {
    EncoderOptions options = WithFilters(std::nullopt);
    options.videoFilter.crop = CropRectangle{704, 360, 8, 60};
    const SourcePicture kept = VideoPlan::Cropped(options, kWideDvd, "film.vob");
    EXPECT_EQ(kept.width, 704);
    EXPECT_EQ(kept.height, 360);
    EXPECT_EQ(av_cmp_q(kept.sampleAspect, kWideDvd.sampleAspect), 0);
    options.videoFilter.crop = CropRectangle{704, 360, 24, 60};
    EXPECT_THROW(VideoPlan::Cropped(options, kWideDvd, "film.vob"), EncoderFailure);
}
