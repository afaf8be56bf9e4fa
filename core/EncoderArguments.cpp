#include "core/EncoderArguments.h"

#include "core/ArgumentSplitter.h"
#include "core/FormatCatalogue.h"
#include "protocol/MpegFrameRates.h"
#include "text/FormatText.h"

#include <cmath>
#include <span>

namespace {

// The values every format's pieces are built from.
struct Resolved {
    int video;  // V
    int audio;  // A
    std::string aspect;
    std::string gain;  // G
    bool pal;
};

// The dialog's label of the volume, without soft clipping.
std::string GainText(int volume) { return VolumeLabel(volume) + ":0"; }

enum class AviVideo { Divx, Xvid, None };
enum class AviAudio { Mp3, Ac3, None };

AviVideo AviVideoOf(const ConversionSettings& s) {
    int codec = s.outputFormat == FormatDivx ? 0 : s.outputFormat == FormatXvid ? 1 : s.aviVideoCodec;
    return codec == 0 ? AviVideo::Divx : codec == 1 ? AviVideo::Xvid : AviVideo::None;
}

AviAudio AviAudioOf(const ConversionSettings& s) {
    int codec = s.outputFormat == FormatDivx   ? s.divxAudioCodec
                : s.outputFormat == FormatXvid ? s.xvidAudioCodec
                                               : s.aviAudioCodec;
    return codec == 0 ? AviAudio::Mp3 : codec == 1 ? AviAudio::Ac3 : AviAudio::None;
}

std::string AviPieces(const ConversionSettings& s, const Resolved& r) {
    AviVideo video = AviVideoOf(s);
    AviAudio audio = AviAudioOf(s);
    std::string text;
    const std::string lame = FormatText(" -lameopts vbr=3:br=%d:mode=3", r.audio);
    const std::string mpeg4 = FormatText("vcodec=mpeg4:vbitrate=%d:vhq:vqmin=1:vqmax=31:autoaspect=1", r.video);
    const std::string xvid = FormatText(" -xvidencopts bitrate=%d:autoaspect=1", r.video);
    if (video == AviVideo::Divx && audio == AviAudio::Mp3)
        text = " -oac mp3lame -ovc lavc" + lame + " -lavcopts " + mpeg4 + " -ffourcc DX50";
    else if (video == AviVideo::Divx && audio == AviAudio::Ac3)
        text = " -oac lavc -ovc lavc" + FormatText(" -lavcopts acodec=ac3:abitrate=%d:", r.audio) + mpeg4 +
               " -ffourcc DX50";
    else if (video == AviVideo::Xvid && audio == AviAudio::Mp3)
        text = " -oac mp3lame -ovc xvid" + lame + xvid;
    else if (video == AviVideo::Xvid && audio == AviAudio::Ac3)
        text = " -oac lavc -ovc xvid" + FormatText(" -lavcopts acodec=ac3:abitrate=%d", r.audio) + xvid;
    text += " -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=avi";
    text += " -sws 2";
    if (audio == AviAudio::Ac3)
        text += FormatText(" -af volume=%s:channels=6:lavcresample=44100", r.gain.c_str()) + " -srate 44100";
    else
        text += FormatText(" -af volume=%s:channels=2", r.gain.c_str());
    return text;
}

std::string StereoResampled(const Resolved& r) {
    return FormatText(" -af volume=%s:channels=2:lavcresample=44100", r.gain.c_str()) + " -srate 44100";
}

std::string Mpeg1Options(int keyint, const Resolved& r) {
    return FormatText(
        " -lavcopts vcodec=mpeg1video:keyint=%d:vrc_buf_size=327:vrc_minrate=%d:vbitrate=%d:"
        "vrc_maxrate=%d:acodec=mp2:abitrate=%d:autoaspect=1:aspect=%s",
        keyint, r.video, r.video, r.video, r.audio, r.aspect.c_str());
}

constexpr const char* kMpgContainer =
    " -of lavf -lavfopts format=mpg:i_certify_that_my_video_stream_does_not_use_b_frames";

std::string Mpeg1Pieces(const Resolved& r) {
    return StereoResampled(r) + " -oac lavc -ovc lavc" + Mpeg1Options(18, r) + kMpgContainer;
}

std::string Mpeg2Options(int keyint, const char* audioCodec, const Resolved& r) {
    return FormatText(
        " -lavcopts vcodec=mpeg2video:keyint=%d:vrc_buf_size=1835:vrc_maxrate=9400:vbitrate=%d:"
        "acodec=%s:abitrate=%d:autoaspect=1:aspect=%s",
        keyint, r.video, audioCodec, r.audio, r.aspect.c_str());
}

std::string Mpeg2Pieces(const Resolved& r) {
    return " -oac lavc -ovc lavc" + Mpeg2Options(18, "mp2", r) + kMpgContainer + StereoResampled(r);
}

int DiscKeyint(const Resolved& r) { return r.pal ? 15 : 18; }

std::string VcdPieces(const Resolved& r) {
    return " -oac lavc -ovc lavc -of mpeg" + Mpeg1Options(DiscKeyint(r), r) + " -mpegopts format=xvcd" +
           StereoResampled(r);
}

std::string SvcdPieces(const Resolved& r) {
    int maxRate = r.video + (2500 - r.video) / 2;
    return " -oac lavc -ovc lavc -of mpeg" +
           FormatText(
               " -lavcopts vcodec=mpeg2video:keyint=%d:vrc_buf_size=917:vrc_minrate=600:vrc_maxrate=%d:"
               "vbitrate=%d:acodec=mp2:abitrate=%d:autoaspect=1:aspect=%s",
               DiscKeyint(r), maxRate, r.video, r.audio, r.aspect.c_str()) +
           " -mpegopts format=xsvcd" + StereoResampled(r);
}

std::string DvdPieces(const ConversionSettings& s, const Resolved& r) {
    const char* audioCodec = s.dvdAudioCodec == 0 ? "ac3" : "mp2";
    return " -oac lavc -ovc lavc -of mpeg" + Mpeg2Options(DiscKeyint(r), audioCodec, r) + " -mpegopts format=dvd" +
           FormatText(" -af volume=%s:lavcresample=48000", r.gain.c_str()) + " -srate 48000";
}

std::string WindowsMediaPieces(const ConversionSettings& s, const Resolved& r) {
    bool wmv = s.outputFormat == FormatWmv;
    const char* video = wmv || (s.asfVideoCodec != 0 && s.asfVideoCodec != 1) ? "wmv2"
                        : s.asfVideoCodec == 0                                ? "msmpeg4"
                                                                              : "msmpeg4v2";
    const char* audio = (wmv ? s.wmvAudioCodec : s.asfAudioCodec) == 0 ? "wmav1" : "wmav2";
    return std::string(" -oac lavc -ovc lavc") +
           FormatText(" -lavcopts vcodec=%s:acodec=%s:vqscale=%d:abitrate=%d:autoaspect=1", video, audio,
                      WmvQuantiser(s.wmvQuality), r.audio) +
           FormatText(" -of lavf -lavfopts i_certify_that_my_video_stream_does_not_use_b_frames:format=%s",
                      wmv ? "wmv" : "asf") +
           " -sws 2" + FormatText(" -af volume=%s:channels=2", r.gain.c_str()) + " -srate 44100";
}

// A constant-quality picture, AAC sound (stereo at most) and an MP4 whose
// index stands at the front.
std::string Mp4Pieces(const ConversionSettings& s, const Resolved& r) {
    const FormatEntry& format = FormatCatalogue::Format(s.outputFormat);
    const QualityPreset* quality = FormatCatalogue::ChosenQuality(s);
    return " -oac lavc -ovc lavc" +
           FormatText(" -lavcopts vcodec=%s:crf=%d:preset=%s:acodec=aac:abitrate=%d:autoaspect=1", format.videoEncoder,
                      quality->crf, format.speedPreset, quality->audioKbps) +
           " -of lavf -lavfopts format=mp4" + FormatText(" -af volume=%s:channels=2", r.gain.c_str());
}

std::string FormatPieces(const ConversionSettings& s, const Resolved& r) {
    switch (FormatCatalogue::Format(s.outputFormat).style) {
    case ArgumentStyle::Avi: return AviPieces(s, r);
    case ArgumentStyle::Mpeg1: return Mpeg1Pieces(r);
    case ArgumentStyle::Mpeg2: return Mpeg2Pieces(r);
    case ArgumentStyle::Vcd: return VcdPieces(r);
    case ArgumentStyle::Svcd: return SvcdPieces(r);
    case ArgumentStyle::Dvd: return DvdPieces(s, r);
    case ArgumentStyle::WindowsMedia: return WindowsMediaPieces(s, r);
    case ArgumentStyle::Mp4: return Mp4Pieces(s, r);
    case ArgumentStyle::None: return "";
    }
    return "";
}

// The NTSC rates as the exact fractions they stand for: for MP4 all of
// them, for the other formats those they always wrote so (59.94 stays a
// decimal there, as the argument text has always had it).
std::string FrameRatePiece(double fps, const ConversionSettings& settings) {
    auto near = [fps](double value) { return std::fabs(fps - value) <= 0.00001; };
    if (near(14.985)) return " -ofps 15000/1001";
    const bool mp4 = FormatCatalogue::Format(settings.outputFormat).style == ArgumentStyle::Mp4;
    const std::span<const MpegFrameRate> rates =
        mp4 ? std::span(kMpegFrameRates) : std::span(kMpegFrameRates).first(kMpegOfferedRateCount);
    for (const MpegFrameRate& rate : rates)
        if (rate.den == 1001 && near(rate.nominal)) return FormatText(" -ofps %d/%d", rate.num, rate.den);
    return FormatText(" -ofps %f", fps);
}

std::string ScalingPiece(const EncoderRunValues& run, const EncodeTargets& t) {
    if (run.horizontalPad > 0) return FormatText(" -vf scale=-3:%d,harddup,expand=%d:%d", t.height, t.width, t.height);
    if (run.verticalPad > 0) return FormatText(" -vf scale=%d:-3,harddup,expand=%d:%d", t.width, t.width, t.height);
    if (t.width != 0 && t.height != 0) return FormatText(" -vf scale=%d:%d,harddup", t.width, t.height);
    return "";
}

}  // namespace

std::string BuildEncoderArguments(const EncoderRunValues& run, const ConversionSettings& settings,
                                  EncodeTargets& targets) {
    ResolveBitrates(settings, targets);
    Resolved resolved{targets.videoBitrate, targets.audioBitrate, AspectRatioText(settings), GainText(settings.volume),
                      IsPal(settings)};
    std::string text = QuoteArgument(run.sourcePath) + " -o " + QuoteArgument(run.outputPath);
    text += FormatPieces(settings, resolved);
    text += FrameRatePiece(ResolveFrameRate(settings, run.sourceFrameRate), settings);
    text += ScalingPiece(run, targets);
    text += " -endpos 9:0:0";
    text += FormatText(" %d %d", run.mode, run.handle);
    return text;
}

std::string EncoderExecutablePath(const std::string& programFolder) { return programFolder + "kelvoenc"; }
