#include "core/EncoderArguments.h"

#include "core/ArgumentSplitter.h"
#include "core/FormatCatalogue.h"
#include "protocol/ArgumentWords.h"
#include "protocol/EncoderMode.h"
#include "protocol/MpegFrameRates.h"
#include "text/FormatText.h"

#include <cmath>
#include <span>

namespace {

namespace W = ArgumentWord;

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

// " -oac AUDIO -ovc VIDEO": the encoder families.
std::string Families(const char* audio, const char* video) { return FormatText(" -oac %s -ovc %s", audio, video); }

// The lavf muxer with this format; AVI, MPEG, WMV and ASF promise it no B-frames.
std::string LavfContainer(const char* format, bool noBFrames) {
    return FormatText(" -of %s -lavfopts ", W::kLavf) +
           (noBFrames ? FormatText("i_certify_that_my_video_stream_does_not_use_b_frames:format=%s", format)
                      : FormatText("format=%s", format));
}

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
    const std::string mpeg4 =
        FormatText("vcodec=%s:vbitrate=%d:vhq:vqmin=1:vqmax=31:autoaspect=1", W::kMpeg4, r.video);
    const std::string xvid = FormatText(" -xvidencopts bitrate=%d:autoaspect=1", r.video);
    if (video == AviVideo::Divx && audio == AviAudio::Mp3)
        text = Families(W::kMp3Lame, W::kLavc) + lame + " -lavcopts " + mpeg4 + " -ffourcc DX50";
    else if (video == AviVideo::Divx && audio == AviAudio::Ac3)
        text = Families(W::kLavc, W::kLavc) + FormatText(" -lavcopts acodec=%s:abitrate=%d:", W::kAc3, r.audio) +
               mpeg4 + " -ffourcc DX50";
    else if (video == AviVideo::Xvid && audio == AviAudio::Mp3)
        text = Families(W::kMp3Lame, W::kXvid) + lame + xvid;
    else if (video == AviVideo::Xvid && audio == AviAudio::Ac3)
        text = Families(W::kLavc, W::kXvid) + FormatText(" -lavcopts acodec=%s:abitrate=%d", W::kAc3, r.audio) + xvid;
    text += LavfContainer(W::kAvi, true);
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
        " -lavcopts vcodec=%s:keyint=%d:vrc_buf_size=327:vrc_minrate=%d:vbitrate=%d:"
        "vrc_maxrate=%d:acodec=%s:abitrate=%d:autoaspect=1:aspect=%s",
        W::kMpeg1Video, keyint, r.video, r.video, r.video, W::kMp2, r.audio, r.aspect.c_str());
}

std::string MpgContainer() {
    return FormatText(" -of %s -lavfopts format=%s:i_certify_that_my_video_stream_does_not_use_b_frames", W::kLavf,
                      W::kMpg);
}

std::string Mpeg1Pieces(const Resolved& r) {
    return StereoResampled(r) + Families(W::kLavc, W::kLavc) + Mpeg1Options(18, r) + MpgContainer();
}

std::string Mpeg2Options(int keyint, const char* audioCodec, const Resolved& r) {
    return FormatText(
        " -lavcopts vcodec=%s:keyint=%d:vrc_buf_size=1835:vrc_maxrate=9400:vbitrate=%d:"
        "acodec=%s:abitrate=%d:autoaspect=1:aspect=%s",
        W::kMpeg2Video, keyint, r.video, audioCodec, r.audio, r.aspect.c_str());
}

std::string Mpeg2Pieces(const Resolved& r) {
    return Families(W::kLavc, W::kLavc) + Mpeg2Options(18, W::kMp2, r) + MpgContainer() + StereoResampled(r);
}

int DiscKeyint(const Resolved& r) { return r.pal ? 15 : 18; }

std::string MpegMuxer() { return FormatText(" -of %s", W::kMpeg); }

std::string MpegFormat(const char* format) { return FormatText(" -mpegopts format=%s", format); }

std::string VcdPieces(const Resolved& r) {
    return Families(W::kLavc, W::kLavc) + MpegMuxer() + Mpeg1Options(DiscKeyint(r), r) + MpegFormat(W::kXvcd) +
           StereoResampled(r);
}

std::string SvcdPieces(const Resolved& r) {
    int maxRate = r.video + (2500 - r.video) / 2;
    return Families(W::kLavc, W::kLavc) + MpegMuxer() +
           FormatText(
               " -lavcopts vcodec=%s:keyint=%d:vrc_buf_size=917:vrc_minrate=600:vrc_maxrate=%d:"
               "vbitrate=%d:acodec=%s:abitrate=%d:autoaspect=1:aspect=%s",
               W::kMpeg2Video, DiscKeyint(r), maxRate, r.video, W::kMp2, r.audio, r.aspect.c_str()) +
           MpegFormat(W::kXsvcd) + StereoResampled(r);
}

std::string DvdPieces(const ConversionSettings& s, const Resolved& r) {
    const char* audioCodec = s.dvdAudioCodec == 0 ? W::kAc3 : W::kMp2;
    return Families(W::kLavc, W::kLavc) + MpegMuxer() + Mpeg2Options(DiscKeyint(r), audioCodec, r) +
           MpegFormat(W::kDvd) +
           FormatText(" -af volume=%s:lavcresample=48000", r.gain.c_str()) + " -srate 48000";
}

std::string WindowsMediaPieces(const ConversionSettings& s, const Resolved& r) {
    bool wmv = s.outputFormat == FormatWmv;
    const char* video = wmv || (s.asfVideoCodec != 0 && s.asfVideoCodec != 1) ? W::kWmv2
                        : s.asfVideoCodec == 0                                ? W::kMsmpeg4
                                                                              : W::kMsmpeg4v2;
    const char* audio = (wmv ? s.wmvAudioCodec : s.asfAudioCodec) == 0 ? W::kWmav1 : W::kWmav2;
    return Families(W::kLavc, W::kLavc) +
           FormatText(" -lavcopts vcodec=%s:acodec=%s:vqscale=%d:abitrate=%d:autoaspect=1", video, audio,
                      WmvQuantiser(s.wmvQuality), r.audio) +
           LavfContainer(wmv ? W::kWmv : W::kAsf, true) +
           " -sws 2" + FormatText(" -af volume=%s:channels=2", r.gain.c_str()) + " -srate 44100";
}

// A constant-quality picture, AAC sound (stereo at most) and an MP4 whose
// index stands at the front.
std::string Mp4Pieces(const ConversionSettings& s, const Resolved& r) {
    const FormatEntry& format = FormatCatalogue::Format(s.outputFormat);
    const QualityPreset* quality = FormatCatalogue::ChosenQuality(s);
    return Families(W::kLavc, W::kLavc) +
           FormatText(" -lavcopts vcodec=%s:crf=%d:preset=%s:acodec=%s:abitrate=%d:autoaspect=1", format.videoEncoder,
                      quality->crf, format.speedPreset, W::kAac, quality->audioKbps) +
           LavfContainer(W::kMp4, false) + FormatText(" -af volume=%s:channels=2", r.gain.c_str());
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

std::vector<std::string> ProbeArguments(const std::string& sourcePath, int handle) {
    return {sourcePath, std::to_string(EncoderProbe), std::to_string(handle)};
}

std::string EncoderExecutablePath(const std::string& programFolder) { return programFolder + "kelvoenc"; }
