#include "DecimalCommaLocale.h"
#include "core/ArgumentSplitter.h"
#include "core/EncoderArguments.h"
#include "core/FormatCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const std::string kPaths = R"("C:\in\a.avi" -o "C:\out\a.avi")";

std::string Build(const ConversionSettings& settings, double sourceRate, FramePlan frame = {}, int mode = 0,
                  int handle = 1312) {
    EncoderRunValues run{R"(C:\in\a.avi)", R"(C:\out\a.avi)", frame, mode, handle, sourceRate};
    return JoinArguments(ConversionArguments(run, settings));
}

struct Case {
    const char* name;
    std::function<void(ConversionSettings&)> change;
    double sourceRate;
    const char* expected;  // after the two paths
};

// Expected texts written out by hand, piece by piece, from the format rules.
// clang-format off
const Case kCases[] = {
    {"avi divx mp3 (the worked example)", [](ConversionSettings&) {}, 25,
     " -oac mp3lame -ovc lavc -lameopts vbr=3:br=128:mode=3 -lavcopts vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:"
     "vqmax=31:autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:"
     "format=avi -sws 2 -af volume=+0db:0:channels=2 -ofps 25.000000 -endpos 9:0:0 0 1312"},
    {"avi divx ac3", [](ConversionSettings& s) { s.aviAudioCodec = 1; s.aviQuality = 0; s.volume = 25; }, 29.97,
     " -oac lavc -ovc lavc -lavcopts acodec=ac3:abitrate=64:vcodec=mpeg4:vbitrate=384:vhq:vqmin=1:vqmax=31:"
     "autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:"
     "format=avi -sws 2 -af volume=+5db:0:channels=6:lavcresample=44100 -srate 44100 -ofps 30000/1001"
     " -endpos 9:0:0 0 1312"},
    {"avi xvid mp3", [](ConversionSettings& s) { s.aviVideoCodec = 1; s.aviQuality = 8; }, 14.985,
     " -oac mp3lame -ovc xvid -lameopts vbr=3:br=224:mode=3 -xvidencopts bitrate=2500:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2"
     " -af volume=+0db:0:channels=2 -ofps 15000/1001 -endpos 9:0:0 0 1312"},
    {"avi xvid ac3", [](ConversionSettings& s) { s.aviVideoCodec = 1; s.aviAudioCodec = 1; }, 17.5,
     " -oac lavc -ovc xvid -lavcopts acodec=ac3:abitrate=128 -xvidencopts bitrate=1000:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2"
     " -af volume=+0db:0:channels=6:lavcresample=44100 -srate 44100 -ofps 17.500000 -endpos 9:0:0 0 1312"},
    {"avi original at 59.94 keeps the decimal the classic formats always wrote", [](ConversionSettings&) {}, 59.94,
     " -oac mp3lame -ovc lavc -lameopts vbr=3:br=128:mode=3 -lavcopts vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:"
     "vqmax=31:autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:"
     "format=avi -sws 2 -af volume=+0db:0:channels=2 -ofps 59.940000 -endpos 9:0:0 0 1312"},
    {"avi with an unknown codec has no codec pieces", [](ConversionSettings& s) { s.aviVideoCodec = 2; }, 25,
     " -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2"
     " -af volume=+0db:0:channels=2 -ofps 25.000000 -endpos 9:0:0 0 1312"},
    {"divx forces mpeg4 and follows its own audio",
     [](ConversionSettings& s) { s.outputFormat = FormatDivx; s.aviVideoCodec = 1; s.divxAudioCodec = 1; }, 25,
     " -oac lavc -ovc lavc -lavcopts acodec=ac3:abitrate=128:vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:vqmax=31:"
     "autoaspect=1 -ffourcc DX50 -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:"
     "format=avi -sws 2 -af volume=+0db:0:channels=6:lavcresample=44100 -srate 44100 -ofps 25.000000"
     " -endpos 9:0:0 0 1312"},
    {"xvid", [](ConversionSettings& s) { s.outputFormat = FormatXvid; s.aviAudioCodec = 1; }, 75,
     " -oac mp3lame -ovc xvid -lameopts vbr=3:br=128:mode=3 -xvidencopts bitrate=1000:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi -sws 2"
     " -af volume=+0db:0:channels=2 -ofps 30.000000 -endpos 9:0:0 0 1312"},
    {"mpeg1", [](ConversionSettings& s) { s.outputFormat = FormatMpeg1; s.volume = 0; }, 0,
     " -af volume=-20db:0:channels=2:lavcresample=44100 -srate 44100 -oac lavc -ovc lavc -lavcopts"
     " vcodec=mpeg1video:keyint=18:vrc_buf_size=327:vrc_minrate=1000:vbitrate=1000:vrc_maxrate=1000:acodec=mp2:"
     "abitrate=192:autoaspect=1:aspect=16/9 -of lavf -lavfopts format=mpg:"
     "i_certify_that_my_video_stream_does_not_use_b_frames -ofps 24000/1001 -endpos 9:0:0 0 1312"},
    {"mpeg2", [](ConversionSettings& s) { s.outputFormat = FormatMpeg2; s.mpegAspect = 0; }, 24.5,
     " -oac lavc -ovc lavc -lavcopts vcodec=mpeg2video:keyint=18:vrc_buf_size=1835:vrc_maxrate=9400:"
     "vbitrate=2000:acodec=mp2:abitrate=160:autoaspect=1:aspect=1/1 -of lavf -lavfopts format=mpg:"
     "i_certify_that_my_video_stream_does_not_use_b_frames -af volume=+0db:0:channels=2:lavcresample=44100"
     " -srate 44100 -ofps 24.000000 -endpos 9:0:0 0 1312"},
    {"vcd pal", [](ConversionSettings& s) { s.outputFormat = FormatVcd; s.tvMode = 1; s.mpeg1Quality = 0; }, 30,
     " -oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg1video:keyint=15:vrc_buf_size=327:vrc_minrate=512:"
     "vbitrate=512:vrc_maxrate=512:acodec=mp2:abitrate=96:autoaspect=1:aspect=16/9 -mpegopts format=xvcd"
     " -af volume=+0db:0:channels=2:lavcresample=44100 -srate 44100 -ofps 25.000000 -endpos 9:0:0 0 1312"},
    {"svcd ntsc", [](ConversionSettings& s) { s.outputFormat = FormatSvcd; s.svcdQuality = 0; }, 25,
     " -oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg2video:keyint=18:vrc_buf_size=917:vrc_minrate=600:"
     "vrc_maxrate=1650:vbitrate=800:acodec=mp2:abitrate=128:autoaspect=1:aspect=16/9 -mpegopts format=xsvcd"
     " -af volume=+0db:0:channels=2:lavcresample=44100 -srate 44100 -ofps 30000/1001 -endpos 9:0:0 0 1312"},
    {"svcd best keeps the maximum at 2500", [](ConversionSettings& s) { s.outputFormat = FormatSvcd; }, 25,
     " -oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg2video:keyint=18:vrc_buf_size=917:vrc_minrate=600:"
     "vrc_maxrate=2500:vbitrate=2500:acodec=mp2:abitrate=224:autoaspect=1:aspect=16/9 -mpegopts format=xsvcd"
     " -af volume=+0db:0:channels=2:lavcresample=44100 -srate 44100 -ofps 30000/1001 -endpos 9:0:0 0 1312"},
    {"dvd pal mp2", [](ConversionSettings& s) {
         s.outputFormat = FormatDvd; s.tvMode = 1; s.dvdAudioCodec = 1; s.dvdAspect = 0; s.dvdQuality = 2;
         s.volume = 17; }, 25,
     " -oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg2video:keyint=15:vrc_buf_size=1835:vrc_maxrate=9400:"
     "vbitrate=1600:acodec=mp2:abitrate=128:autoaspect=1:aspect=4/3 -mpegopts format=dvd"
     " -af volume=-3db:0:lavcresample=48000 -srate 48000 -ofps 25.000000 -endpos 9:0:0 0 1312"},
    {"dvd ntsc ac3", [](ConversionSettings& s) { s.outputFormat = FormatDvd; }, 25,
     " -oac lavc -ovc lavc -of mpeg -lavcopts vcodec=mpeg2video:keyint=18:vrc_buf_size=1835:vrc_maxrate=9400:"
     "vbitrate=5000:acodec=ac3:abitrate=224:autoaspect=1:aspect=16/9 -mpegopts format=dvd"
     " -af volume=+0db:0:lavcresample=48000 -srate 48000 -ofps 30000/1001 -endpos 9:0:0 0 1312"},
    {"wmv", [](ConversionSettings& s) { s.outputFormat = FormatWmv; s.asfVideoCodec = 0; }, 25,
     " -oac lavc -ovc lavc -lavcopts vcodec=wmv2:acodec=wmav2:vqscale=16:abitrate=128:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=wmv -sws 2"
     " -af volume=+0db:0:channels=2 -srate 44100 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"asf msmpeg4v2 wmav1", [](ConversionSettings& s) {
         s.outputFormat = FormatAsf; s.asfVideoCodec = 1; s.asfAudioCodec = 0; s.wmvQuality = 8; }, 25,
     " -oac lavc -ovc lavc -lavcopts vcodec=msmpeg4v2:acodec=wmav1:vqscale=9:abitrate=224:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=asf -sws 2"
     " -af volume=+0db:0:channels=2 -srate 44100 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"asf msmpeg4", [](ConversionSettings& s) { s.outputFormat = FormatAsf; s.asfVideoCodec = 0; }, 25,
     " -oac lavc -ovc lavc -lavcopts vcodec=msmpeg4:acodec=wmav2:vqscale=16:abitrate=128:autoaspect=1 -of lavf"
     " -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=asf -sws 2"
     " -af volume=+0db:0:channels=2 -srate 44100 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"mp4 h.264 middle step keeps the source's timing", [](ConversionSettings& s) { s.outputFormat = FormatMp4H264; },
     25,
     " -oac lavc -ovc lavc -lavcopts vcodec=libx264:crf=23:preset=veryfast:acodec=aac:abitrate=160:autoaspect=1"
     " -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"mp4 h.265 best step at 59.94",
     [](ConversionSettings& s) { s.outputFormat = FormatMp4H265; s.mp4Quality = 6; s.mp4FrameRate = 7; s.volume = 12; },
     25,
     " -oac lavc -ovc lavc -lavcopts vcodec=libx265:crf=23:preset=ultrafast:acodec=aac:abitrate=192:autoaspect=1"
     " -of lavf -lavfopts format=mp4 -af volume=-8db:0:channels=2 -ofps 60000/1001 -endpos 9:0:0 0 1312"},
    {"mp4 with a stored step outside the list takes the middle one",
     [](ConversionSettings& s) { s.outputFormat = FormatMp4H264; s.mp4Quality = 40; s.mp4FrameRate = 3; }, 30,
     " -oac lavc -ovc lavc -lavcopts vcodec=libx264:crf=23:preset=veryfast:acodec=aac:abitrate=160:autoaspect=1"
     " -of lavf -lavfopts format=mp4 -af volume=+0db:0:channels=2 -ofps 25.000000 -endpos 9:0:0 0 1312"},
    {"mkv h.265 keeps the mp4 rows' steps", [](ConversionSettings& s) { s.outputFormat = FormatMkvH265; s.mp4Quality = 0; },
     25,
     " -oac lavc -ovc lavc -lavcopts vcodec=libx265:crf=32:preset=ultrafast:acodec=aac:abitrate=128:autoaspect=1"
     " -of lavf -lavfopts format=matroska -af volume=+0db:0:channels=2 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"webm takes each step's preset and opus up to 5.1", [](ConversionSettings& s) { s.outputFormat = FormatWebm; s.mp4Quality = 6; },
     25,
     " -oac lavc -ovc lavc -lavcopts vcodec=libsvtav1:crf=38:preset=11:acodec=opus:autoaspect=1"
     " -of lavf -lavfopts format=webm -af volume=+0db:0:channels=6 -ofps 1000.000000 -endpos 9:0:0 0 1312"},
    {"format outside the list", [](ConversionSettings& s) { s.outputFormat = kOutputFormatCount; }, 25,
     " -ofps 1000.000000 -endpos 9:0:0 0 1312"},
};
// clang-format on

}  // namespace

// The same text under a desktop locale with a decimal comma: the encoder
// reads "25.000000", never "25,000000".
TEST(EncoderArguments, EveryFormatAndCodecVariantUnderAnyLocale) {
    auto verifyAll = [](const char* locale) {
        for (const Case& c : kCases) {
            ConversionSettings settings;
            c.change(settings);
            EXPECT_EQ(Build(settings, c.sourceRate), kPaths + c.expected) << c.name << " under " << locale;
        }
    };
    verifyAll("C");
    DecimalCommaLocale german;
    ASSERT_EQ(german.Problem(), "");
    verifyAll("de_DE.UTF-8");
}

TEST(EncoderArguments, ScalingForms) {
    ConversionSettings settings;
    FrameSize dvd{720, 480};
    auto tail = [&](int hpad, int vpad) {
        std::string text = Build(settings, 25, {dvd, {hpad, vpad}}, 1, 7);
        return text.substr(text.find(" -ofps"));
    };
    EXPECT_EQ(tail(80, -100), " -ofps 25.000000 -vf scale=-3:480,harddup,expand=720:480 -endpos 9:0:0 1 7");
    EXPECT_EQ(tail(-133, 75), " -ofps 25.000000 -vf scale=720:-3,harddup,expand=720:480 -endpos 9:0:0 1 7");
    EXPECT_EQ(tail(1, 5), " -ofps 25.000000 -vf scale=-3:480,harddup,expand=720:480 -endpos 9:0:0 1 7");
    EXPECT_EQ(tail(0, 0), " -ofps 25.000000 -vf scale=720:480,harddup -endpos 9:0:0 1 7");
    dvd = {0, 0};
    EXPECT_EQ(tail(0, 0), " -ofps 25.000000 -endpos 9:0:0 1 7");
}

// A file's start, end and crop, on the worked example: a file without them
// keeps the text above.
TEST(EncoderArguments, TheKeptPart) {
    const std::string head = kPaths +
                             " -oac mp3lame -ovc lavc -lameopts vbr=3:br=128:mode=3 -lavcopts "
                             "vcodec=mpeg4:vbitrate=1000:vhq:vqmin=1:vqmax=31:autoaspect=1 -ffourcc DX50 -of "
                             "lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi "
                             "-sws 2 -af volume=+0db:0:channels=2 -ofps 25.000000";
    const struct {
        const char* name;
        std::function<void(EncoderRunValues&)> change;
        const char* expected;  // after the -ofps piece
    } cases[] = {
        {"a start", [](EncoderRunValues& r) { r.order.startSeconds = 12.5; }, " -ss 12.5 -endpos 9:0:0 0 1312"},
        {"an end", [](EncoderRunValues& r) { r.order.endSeconds = 3723.04; }, " -endpos 3723.04 0 1312"},
        {"both, the end counted from the source's start",
         [](EncoderRunValues& r) { r.order.startSeconds = 0.001, r.order.endSeconds = 60; },
         " -ss 0.001 -endpos 60 0 1312"},
        {"a crop alone",
         [](EncoderRunValues& r) {
             r.crop = PictureCrop{640, 352, 0, 64};
         },
         " -vf crop=640:352:0:64 -endpos 9:0:0 0 1312"},
        {"a crop before the letterbox, tracks and times after",
         [](EncoderRunValues& r) {
             r.crop = PictureCrop{1920, 816, 0, 132};
             r.frame = {{720, 480}, {0, 118}};
             r.soundTracks = {2};
             r.order.startSeconds = 90;
         },
         " -vf crop=1920:816:0:132,scale=720:-3,harddup,expand=720:480 -audiotracks 2 -ss 90 -endpos 9:0:0 0 1312"},
    };
    for (const auto& c : cases) {
        EncoderRunValues run{R"(C:\in\a.avi)", R"(C:\out\a.avi)", {}, 0, 1312, 25};
        c.change(run);
        EXPECT_EQ(JoinArguments(ConversionArguments(run, ConversionSettings{})), head + c.expected) << c.name;
    }
}

// A preview is the conversion's picture at its own time, written as a
// picture with no report channel; a measure names the kept part alone.
TEST(EncoderArguments, PreviewAndCropMeasure) {
    EncoderRunValues run{"/v/film.mkv", "/tmp/preview.png", {{720, 480}, {}}, 0, 7, 25};
    run.crop = PictureCrop{1440, 1080, 240, 0};
    run.order.startSeconds = 10;
    run.order.endSeconds = 20;
    const std::string preview = JoinArguments(PreviewArguments(run, ConversionSettings{}, 15.25));
    EXPECT_EQ(preview.substr(0, preview.find(" -oac")), R"("/v/film.mkv" -o "/tmp/preview.png")");
    EXPECT_EQ(preview.substr(preview.find(" -ofps")),
              " -ofps 25.000000 -vf crop=1440:1080:240:0,scale=720:480,harddup -ss 15.25 3 -1");

    using Words = std::vector<std::string>;
    EXPECT_EQ(MeasureCropArguments("/v/film.mkv", std::nullopt, std::nullopt, 5), (Words{"/v/film.mkv", "4", "5"}));
    EXPECT_EQ(MeasureCropArguments("/v/film.mkv", 10, 20.5, 5),
              (Words{"/v/film.mkv", "-ss", "10", "-endpos", "20.5", "4", "5"}));
    EXPECT_EQ(MeasureCropArguments("/v/film.mkv", std::nullopt, 20, 5),
              (Words{"/v/film.mkv", "-endpos", "20", "4", "5"}));
}

// A batch fitted to its disc encodes its video at the fitted rate, never above the preset's.
TEST(EncoderArguments, AFittedRateLowersOnlyADiscsVideo) {
    ConversionSettings settings;
    settings.outputFormat = FormatDvd;
    EncoderRunValues run{"a", "b", {}, 0, 3, 25, 3692};
    EXPECT_NE(JoinArguments(ConversionArguments(run, settings)).find(":vbitrate=3692:"), std::string::npos);
    run.fittedVideoKbps = 90000;
    EXPECT_NE(JoinArguments(ConversionArguments(run, settings)).find(":vbitrate=5000:"), std::string::npos);
    settings.outputFormat = FormatMpeg2;
    run.fittedVideoKbps = 1000;
    EXPECT_NE(JoinArguments(ConversionArguments(run, settings)).find(":vbitrate=2000:"), std::string::npos);
}

TEST(EncoderArguments, HostilePathsCannotInjectOptions) {
    ConversionSettings settings;
    EncoderRunValues run{R"(/v/a" -o "/etc/evil)", "/out/na\xC3\xAFve \\\"x\\.avi", {}, 0, 9, 25};
    std::vector<std::string> args = SplitArguments(JoinArguments(ConversionArguments(run, settings)));
    ASSERT_GE(args.size(), 4u);
    EXPECT_EQ(args[0], run.sourcePath);
    EXPECT_EQ(args[1], "-o");
    EXPECT_EQ(args[2], run.outputPath);
    EXPECT_EQ(std::count(args.begin(), args.end(), "-o"), 1);
    EXPECT_EQ(args[args.size() - 2], "0");
    EXPECT_EQ(args.back(), "9");
}

TEST(EncoderArguments, ExecutableSitsInTheProgramFolder) {
    EXPECT_EQ(EncoderExecutablePath("/opt/tarvine/"), "/opt/tarvine/kelvoenc");
}
