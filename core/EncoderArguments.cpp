#include "core/EncoderArguments.h"

#include "core/ArgumentSplitter.h"
#include "core/FormatCatalogue.h"
#include "protocol/ArgumentWords.h"
#include "protocol/EncoderMode.h"
#include "protocol/MpegFrameRates.h"
#include "text/FormatText.h"

#include <cmath>
#include <initializer_list>
#include <span>

namespace {

// A WebM file keeps up to 5.1 sound.
constexpr int kWebmMostChannels = 6;

namespace W = ArgumentWord;
namespace K = ArgumentKey;

using Words = std::vector<std::string>;

Words operator+(Words words, const Words& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// One KEY=VALUE of a sub-option list.
std::string Item(const char* key, const std::string& value) { return std::string(key) + "=" + value; }
std::string Item(const char* key, int value) { return Item(key, std::to_string(value)); }

// A sub-option list: ITEM:ITEM...
std::string Items(std::initializer_list<std::string> items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ":") + item;
    return text;
}

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

// -oac AUDIO -ovc VIDEO: the encoder families.
Words Families(const char* audio, const char* video) { return {"-oac", audio, "-ovc", video}; }

// The lavf muxer with this format; AVI, MPEG, WMV and ASF promise it no B-frames.
Words LavfContainer(const char* format, bool noBFrames) {
    const std::string container = Item(K::kFormat, format);
    return {"-of", W::kLavf, "-lavfopts", noBFrames ? Items({K::kNoBFrames, container}) : container};
}

Words AudioFilter(const Resolved& r, std::initializer_list<std::string> items) {
    std::string text = Item(K::kVolume, r.gain);
    for (const std::string& item : items) text += ":" + item;
    return {"-af", text};
}

Words SampleRate(int hertz) { return {"-srate", std::to_string(hertz)}; }

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

Words AviCodecs(AviVideo video, AviAudio audio, const Resolved& r) {
    const Words lame{"-lameopts", Items({Item(K::kVbr, 3), Item(K::kBr, r.audio), Item(K::kMode, 3)})};
    const std::string mpeg4 = Items({Item(K::kVcodec, W::kMpeg4), Item(K::kVbitrate, r.video), K::kVhq,
                                     Item(K::kVqmin, 1), Item(K::kVqmax, 31), Item(K::kAutoaspect, 1)});
    const std::string ac3 = Items({Item(K::kAcodec, W::kAc3), Item(K::kAbitrate, r.audio)});
    const Words divx{"-ffourcc", "DX50"};
    const Words xvid{"-xvidencopts", Items({Item(K::kBitrate, r.video), Item(K::kAutoaspect, 1)})};
    if (video == AviVideo::Divx && audio == AviAudio::Mp3)
        return Families(W::kMp3Lame, W::kLavc) + lame + Words{"-lavcopts", mpeg4} + divx;
    if (video == AviVideo::Divx && audio == AviAudio::Ac3)
        return Families(W::kLavc, W::kLavc) + Words{"-lavcopts", Items({ac3, mpeg4})} + divx;
    if (video == AviVideo::Xvid && audio == AviAudio::Mp3) return Families(W::kMp3Lame, W::kXvid) + lame + xvid;
    if (video == AviVideo::Xvid && audio == AviAudio::Ac3)
        return Families(W::kLavc, W::kXvid) + Words{"-lavcopts", ac3} + xvid;
    return {};
}

Words AviPieces(const ConversionSettings& s, const Resolved& r) {
    AviAudio audio = AviAudioOf(s);
    Words words = AviCodecs(AviVideoOf(s), audio, r) + LavfContainer(W::kAvi, true) + Words{"-sws", "2"};
    if (audio == AviAudio::Ac3)
        return words + AudioFilter(r, {Item(K::kChannels, 6), Item(K::kLavcresample, 44100)}) + SampleRate(44100);
    return words + AudioFilter(r, {Item(K::kChannels, 2)});
}

Words StereoResampled(const Resolved& r) {
    return AudioFilter(r, {Item(K::kChannels, 2), Item(K::kLavcresample, 44100)}) + SampleRate(44100);
}

Words Mpeg1Options(int keyint, const Resolved& r) {
    return {"-lavcopts", Items({Item(K::kVcodec, W::kMpeg1Video), Item(K::kKeyint, keyint), Item(K::kVrcBufSize, 327),
                                Item(K::kVrcMinrate, r.video), Item(K::kVbitrate, r.video),
                                Item(K::kVrcMaxrate, r.video), Item(K::kAcodec, W::kMp2), Item(K::kAbitrate, r.audio),
                                Item(K::kAutoaspect, 1), Item(K::kAspect, r.aspect)})};
}

Words MpgContainer() { return {"-of", W::kLavf, "-lavfopts", Items({Item(K::kFormat, W::kMpg), K::kNoBFrames})}; }

Words Mpeg1Pieces(const Resolved& r) {
    return StereoResampled(r) + Families(W::kLavc, W::kLavc) + Mpeg1Options(18, r) + MpgContainer();
}

Words Mpeg2Options(int keyint, const char* audioCodec, const Resolved& r) {
    return {"-lavcopts", Items({Item(K::kVcodec, W::kMpeg2Video), Item(K::kKeyint, keyint), Item(K::kVrcBufSize, 1835),
                                Item(K::kVrcMaxrate, 9400), Item(K::kVbitrate, r.video), Item(K::kAcodec, audioCodec),
                                Item(K::kAbitrate, r.audio), Item(K::kAutoaspect, 1), Item(K::kAspect, r.aspect)})};
}

Words Mpeg2Pieces(const Resolved& r) {
    return Families(W::kLavc, W::kLavc) + Mpeg2Options(18, W::kMp2, r) + MpgContainer() + StereoResampled(r);
}

int DiscKeyint(const Resolved& r) { return r.pal ? 15 : 18; }

Words MpegMuxer() { return {"-of", W::kMpeg}; }

Words MpegFormat(const char* format) { return {"-mpegopts", Item(K::kFormat, format)}; }

Words VcdPieces(const Resolved& r) {
    return Families(W::kLavc, W::kLavc) + MpegMuxer() + Mpeg1Options(DiscKeyint(r), r) + MpegFormat(W::kXvcd) +
           StereoResampled(r);
}

Words SvcdPieces(const Resolved& r) {
    int maxRate = r.video + (2500 - r.video) / 2;
    const Words options{"-lavcopts",
                        Items({Item(K::kVcodec, W::kMpeg2Video), Item(K::kKeyint, DiscKeyint(r)),
                               Item(K::kVrcBufSize, 917), Item(K::kVrcMinrate, 600), Item(K::kVrcMaxrate, maxRate),
                               Item(K::kVbitrate, r.video), Item(K::kAcodec, W::kMp2), Item(K::kAbitrate, r.audio),
                               Item(K::kAutoaspect, 1), Item(K::kAspect, r.aspect)})};
    return Families(W::kLavc, W::kLavc) + MpegMuxer() + options + MpegFormat(W::kXsvcd) + StereoResampled(r);
}

Words DvdPieces(const ConversionSettings& s, const Resolved& r) {
    const char* audioCodec = s.dvdAudioCodec == 0 ? W::kAc3 : W::kMp2;
    return Families(W::kLavc, W::kLavc) + MpegMuxer() + Mpeg2Options(DiscKeyint(r), audioCodec, r) +
           MpegFormat(W::kDvd) + AudioFilter(r, {Item(K::kLavcresample, 48000)}) + SampleRate(48000);
}

Words WindowsMediaPieces(const ConversionSettings& s, const Resolved& r) {
    bool wmv = s.outputFormat == FormatWmv;
    const char* video = wmv || (s.asfVideoCodec != 0 && s.asfVideoCodec != 1) ? W::kWmv2
                        : s.asfVideoCodec == 0                                ? W::kMsmpeg4
                                                                              : W::kMsmpeg4v2;
    const char* audio = (wmv ? s.wmvAudioCodec : s.asfAudioCodec) == 0 ? W::kWmav1 : W::kWmav2;
    const Words options{"-lavcopts", Items({Item(K::kVcodec, video), Item(K::kAcodec, audio),
                                            Item(K::kVqscale, WmvQuantiser(s.wmvQuality)), Item(K::kAbitrate, r.audio),
                                            Item(K::kAutoaspect, 1)})};
    return Families(W::kLavc, W::kLavc) + options + LavfContainer(wmv ? W::kWmv : W::kAsf, true) + Words{"-sws", "2"} +
           AudioFilter(r, {Item(K::kChannels, 2)}) + SampleRate(44100);
}

// A constant-quality picture and AAC sound (stereo at most), in an MP4
// (whose index kelvoenc puts at the front) or a Matroska file.
Words ConstantQualityPieces(const ConversionSettings& s, const Resolved& r, const char* container) {
    const FormatEntry& format = FormatCatalogue::Format(s.outputFormat);
    const QualityPreset* quality = FormatCatalogue::ChosenQuality(s);
    const Words options{"-lavcopts", Items({Item(K::kVcodec, format.videoEncoder), Item(K::kCrf, quality->crf),
                                            Item(K::kPreset, format.speedPreset), Item(K::kAcodec, W::kAac),
                                            Item(K::kAbitrate, quality->audioKbps), Item(K::kAutoaspect, 1)})};
    return Families(W::kLavc, W::kLavc) + options + LavfContainer(container, false) +
           AudioFilter(r, {Item(K::kChannels, 2)});
}

// AV1 at the step's factor and preset, and Opus sound, kept up to 5.1, at
// the rate kelvoenc gives its channels.
Words WebmPieces(const ConversionSettings& s, const Resolved& r) {
    const QualityPreset* quality = FormatCatalogue::ChosenQuality(s);
    const Words options{"-lavcopts", Items({Item(K::kVcodec, W::kLibsvtav1), Item(K::kCrf, quality->crf),
                                            Item(K::kPreset, quality->speedPreset), Item(K::kAcodec, W::kOpus),
                                            Item(K::kAutoaspect, 1)})};
    return Families(W::kLavc, W::kLavc) + options + LavfContainer(W::kWebm, false) +
           AudioFilter(r, {Item(K::kChannels, kWebmMostChannels)});
}

Words FormatPieces(const ConversionSettings& s, const Resolved& r) {
    switch (FormatCatalogue::Format(s.outputFormat).style) {
    case ArgumentStyle::Avi: return AviPieces(s, r);
    case ArgumentStyle::Mpeg1: return Mpeg1Pieces(r);
    case ArgumentStyle::Mpeg2: return Mpeg2Pieces(r);
    case ArgumentStyle::Vcd: return VcdPieces(r);
    case ArgumentStyle::Svcd: return SvcdPieces(r);
    case ArgumentStyle::Dvd: return DvdPieces(s, r);
    case ArgumentStyle::WindowsMedia: return WindowsMediaPieces(s, r);
    case ArgumentStyle::Mp4: return ConstantQualityPieces(s, r, W::kMp4);
    case ArgumentStyle::Matroska: return ConstantQualityPieces(s, r, W::kMatroska);
    case ArgumentStyle::WebM: return WebmPieces(s, r);
    case ArgumentStyle::None: return {};
    }
    return {};
}

// The NTSC rates as the exact fractions they stand for: for MP4 and MKV all
// of them, for the other formats those of their own list (59.94 stays a
// decimal there, which their rate lists name as such).
Words FrameRatePiece(double fps, const ConversionSettings& settings) {
    auto near = [fps](double value) { return std::fabs(fps - value) <= 0.00001; };
    if (near(14.985)) return {"-ofps", "15000/1001"};
    const bool constantQuality = FamilyOf(settings.outputFormat) == FormatFamily::ConstantQuality;
    const std::span<const MpegFrameRate> rates =
        constantQuality ? std::span(kMpegFrameRates) : std::span(kMpegFrameRates).first(kMpegOfferedRateCount);
    for (const MpegFrameRate& rate : rates)
        if (rate.den == 1001 && near(rate.nominal)) return {"-ofps", FormatText("%d/%d", rate.num, rate.den)};
    return {"-ofps", FormatText("%f", fps)};
}

std::string ScalingFilters(const FramePlan& frame) {
    const FrameSize& size = frame.size;
    const std::string expand = FormatText("%s=%d:%d", K::kExpand, size.width, size.height);
    if (frame.pads.horizontal > 0) return FormatText("%s=-3:%d,%s,", K::kScale, size.height, K::kHarddup) + expand;
    if (frame.pads.vertical > 0) return FormatText("%s=%d:-3,%s,", K::kScale, size.width, K::kHarddup) + expand;
    if (size.width != 0 && size.height != 0)
        return FormatText("%s=%d:%d,%s", K::kScale, size.width, size.height, K::kHarddup);
    return "";
}

// The crop comes first: the frame is planned for the picture it keeps.
Words VideoFilterPiece(const FramePlan& frame, const std::optional<PictureCrop>& crop) {
    std::string filters = ScalingFilters(frame);
    if (crop)
        filters = FormatText("%s=%d:%d:%d:%d", K::kCrop, crop->width, crop->height, crop->x, crop->y) +
                  (filters.empty() ? "" : ",") + filters;
    if (filters.empty()) return {};
    return {"-vf", filters};
}

// The options a conversion with these settings gets between its output and
// its tracks.
Words ConversionOptions(const ConversionSettings& settings, const FramePlan& frame, double sourceFrameRate,
                        int fittedVideoKbps, const std::optional<PictureCrop>& crop = std::nullopt) {
    const Bitrates rates = ResolveBitrates(settings, fittedVideoKbps);
    const Resolved resolved{rates.video, rates.audio, AspectRatioText(settings), GainText(settings.volume),
                            IsPal(settings)};
    return FormatPieces(settings, resolved) + FrameRatePiece(ResolveFrameRate(settings, sourceFrameRate), settings) +
           VideoFilterPiece(frame, crop);
}

std::string NumberList(const std::vector<int>& numbers) {
    std::string list;
    for (int number : numbers) list += (list.empty() ? "" : ",") + std::to_string(number);
    return list;
}

// No word for the one players pick, so that such a file's text stays as it was.
Words SoundTracksPiece(const std::vector<int>& numbers) {
    if (numbers.empty()) return {};
    return {"-audiotracks", NumberList(numbers)};
}

Words SubtitlesPiece(const SubtitlePick& subtitles) {
    Words words;
    if (!subtitles.tracks.empty()) words = words + Words{"-subtitles", NumberList(subtitles.tracks)};
    if (subtitles.shown) words = words + Words{"-shownsubtitle", std::to_string(*subtitles.shown)};
    if (subtitles.burned) words = words + Words{"-burnsubtitle", std::to_string(*subtitles.burned)};
    return words;
}

// Source seconds as the encoder reads them: up to the millisecond, without trailing zeros.
std::string SecondsWord(double seconds) {
    std::string word = FormatText("%.3f", seconds);
    word.erase(word.find_last_not_of('0') + 1);
    if (word.back() == '.') word.pop_back();
    return word;
}

Words StartPiece(std::optional<double> start) {
    if (!start) return {};
    return {"-ss", SecondsWord(*start)};
}

// Without a chosen end, a time past any real source's.
Words EndPiece(std::optional<double> end) { return {"-endpos", end ? SecondsWord(*end) : "9:0:0"}; }

// Everything a conversion of the run's file gets but its start, end, mode and report channel.
Words RunOptions(const EncoderRunValues& run, const ConversionSettings& settings) {
    return Words{run.sourcePath, "-o", run.outputPath} +
           ConversionOptions(settings, run.frame, run.sourceFrameRate, run.fittedVideoKbps, run.crop) +
           SoundTracksPiece(run.soundTracks) + SubtitlesPiece(run.subtitles);
}

}  // namespace

std::vector<std::string> ConversionArguments(const EncoderRunValues& run, const ConversionSettings& settings) {
    return RunOptions(run, settings) + StartPiece(run.order.startSeconds) + EndPiece(run.order.endSeconds) +
           Words{std::to_string(run.mode), std::to_string(run.handle)};
}

std::vector<std::string> PreviewArguments(const EncoderRunValues& run, const ConversionSettings& settings,
                                          double seconds) {
    return RunOptions(run, settings) + StartPiece(seconds) + Words{std::to_string(EncoderPreview), "-1"};
}

std::vector<std::string> ProbeArguments(const std::string& sourcePath, int handle) {
    return {sourcePath, std::to_string(EncoderProbe), std::to_string(handle)};
}

std::vector<std::string> MeasureCropArguments(const std::string& sourcePath, std::optional<double> start,
                                              std::optional<double> end, int handle) {
    Words words = Words{sourcePath} + StartPiece(start);
    if (end) words = words + EndPiece(end);
    return words + Words{std::to_string(EncoderMeasureCrop), std::to_string(handle)};
}

std::vector<std::string> StillArguments(const std::string& sourcePath, const std::string& picturePath, double seconds) {
    return {sourcePath, "-o", picturePath, "-endpos", FormatText("%.2f", seconds), std::to_string(EncoderStill), "-1"};
}

std::vector<std::string> MenuPageArguments(const std::string& picturePath, const std::string& outputPath,
                                           const ConversionSettings& settings, int fittedVideoKbps) {
    return Words{picturePath, "-o", outputPath} +
           ConversionOptions(settings, {ResolveFrameSize(settings), {}}, 0.0, fittedVideoKbps) +
           Words{"-still", "1", std::to_string(EncoderConvert), "-1"};
}

std::string JoinArguments(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i > 0 ? " " : "") + (i == 0 || i == 2 ? QuoteArgument(words[i]) : words[i]);
    return text;
}

std::string EncoderExecutablePath(const std::string& programFolder) { return programFolder + "kelvoenc"; }
