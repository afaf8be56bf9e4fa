#include "core/FormatCatalogue.h"

#include "protocol/ArgumentWords.h"
#include "protocol/MpegFrameRates.h"
#include "protocol/SourceTiming.h"
#include "text/FormatText.h"

#include <array>

namespace {

using S = ConversionSettings;

constexpr QualityPreset kAviQualities[] = {
    {"1.Lowest (video bitrate: 384kbps; audio bitrate: 64kbps)", 384, 64},
    {"2.Lower  (video bitrate: 512kbps; audio bitrate: 80kbps)", 512, 80},
    {"3.Low    (video bitrate: 640kbps; audio bitrate: 96kbps)", 640, 96},
    {"4.Normal (video bitrate: 768kbps; audio bitrate: 96kbps)", 768, 96},
    {"5.Medium (video bitrate:1000kbps; audio bitrate:128kbps)", 1000, 128},
    {"6.Good   (video bitrate:1200kbps; audio bitrate:128kbps)", 1200, 128},
    {"7.Better (video bitrate:1500kbps; audio bitrate:160kbps)", 1500, 160},
    {"8.High   (video bitrate:2000kbps; audio bitrate:192kbps)", 2000, 192},
    {"9.Best   (video bitrate:2500kbps; audio bitrate:224kbps)", 2500, 224},
};

constexpr QualityPreset kMpeg1Qualities[] = {
    {"1.Low    (video bitrate: 512kbps; audio bitrate: 96kbps)", 512, 96},
    {"2.Normal (video bitrate: 640kbps; audio bitrate:128kbps)", 640, 128},
    {"3.Medium (video bitrate: 800kbps; audio bitrate:128kbps)", 800, 128},
    {"4.Good   (video bitrate:1000kbps; audio bitrate:192kbps)", 1000, 192},
    {"5.Best   (video bitrate:1152kbps; audio bitrate:192kbps)", 1152, 192},
    // Appended, so that the stored steps keep their meaning: the bitrates
    // every VCD player takes.
    {"6.VCD standard (video bitrate:1150kbps; audio bitrate:224kbps)", 1150, 224},
};

constexpr QualityPreset kMpeg2Qualities[] = {
    {"1.Lower  (video bitrate: 800kbps; audio bitrate: 96kbps)", 800, 96},
    {"2.Low    (video bitrate:1200kbps; audio bitrate:112kbps)", 1200, 112},
    {"3.Normal (video bitrate:1600kbps; audio bitrate:128kbps)", 1600, 128},
    {"4.Medium (video bitrate:2000kbps; audio bitrate:160kbps)", 2000, 160},
    {"5.Good   (video bitrate:3000kbps; audio bitrate:224kbps)", 3000, 224},
    {"6.Best   (video bitrate:5000kbps; audio bitrate:224kbps)", 5000, 224},
};

constexpr QualityPreset kSvcdQualities[] = {
    {"1.Low    (video bitrate: 800kbps; audio bitrate:128kbps)", 800, 128},
    {"2.Normal (video bitrate:1200kbps; audio bitrate:192kbps)", 1200, 192},
    {"3.Medium (video bitrate:1600kbps; audio bitrate:224kbps)", 1600, 224},
    {"4.Good   (video bitrate:2000kbps; audio bitrate:224kbps)", 2000, 224},
    {"5.Best   (video bitrate:2500kbps; audio bitrate:224kbps)", 2500, 224},
};

constexpr QualityPreset kDvdQualities[] = {
    {"1.Lower  (video bitrate: 800kbps; audio bitrate:112kbps)", 800, 112},
    {"2.Low    (video bitrate:1200kbps; audio bitrate:112kbps)", 1200, 112},
    {"3.Normal (video bitrate:1600kbps; audio bitrate:128kbps)", 1600, 128},
    {"4.Medium (video bitrate:2000kbps; audio bitrate:160kbps)", 2000, 160},
    {"5.Good   (video bitrate:3000kbps; audio bitrate:224kbps)", 3000, 224},
    {"6.Best   (video bitrate:5000kbps; audio bitrate:224kbps)", 5000, 224},
};

constexpr QualityPreset kWmvQualities[] = {
    {"1.Lowest (video bitrate: 192kbps; audio bitrate: 64kbps)", 192, 64},
    {"2.Lower  (video bitrate: 256kbps; audio bitrate: 64kbps)", 256, 64},
    {"3.Low    (video bitrate: 384kbps; audio bitrate: 80kbps)", 384, 80},
    {"4.Normal (video bitrate: 640kbps; audio bitrate: 96kbps)", 640, 96},
    {"5.Medium (video bitrate: 768kbps; audio bitrate:128kbps)", 768, 128},
    {"6.Good   (video bitrate:1000kbps; audio bitrate:128kbps)", 1000, 128},
    {"7.Better (video bitrate:1250kbps; audio bitrate:160kbps)", 1250, 160},
    {"8.High   (video bitrate:1500kbps; audio bitrate:192kbps)", 1500, 192},
    {"9.Best   (video bitrate:2000kbps; audio bitrate:224kbps)", 2000, 224},
};

// Constant quality: a lower factor keeps more of the picture.
constexpr QualityPreset kH264Qualities[] = {
    {"1.Smallest file (quality factor 28; audio bitrate:128kbps)", 0, 128, 28},
    {"2.Smaller (quality factor 26; audio bitrate:128kbps)", 0, 128, 26},
    {"3.Small (quality factor 24; audio bitrate:128kbps)", 0, 128, 24},
    {"4.Balanced (quality factor 23; audio bitrate:160kbps)", 0, 160, 23},
    {"5.Good (quality factor 22; audio bitrate:160kbps)", 0, 160, 22},
    {"6.Better (quality factor 20; audio bitrate:192kbps)", 0, 192, 20},
    {"7.Best picture (quality factor 18; audio bitrate:192kbps)", 0, 192, 18},
};

constexpr QualityPreset kH265Qualities[] = {
    {"1.Smallest file (quality factor 32; audio bitrate:128kbps)", 0, 128, 32},
    {"2.Smaller (quality factor 30; audio bitrate:128kbps)", 0, 128, 30},
    {"3.Small (quality factor 29; audio bitrate:128kbps)", 0, 128, 29},
    {"4.Balanced (quality factor 28; audio bitrate:160kbps)", 0, 160, 28},
    {"5.Good (quality factor 27; audio bitrate:160kbps)", 0, 160, 27},
    {"6.Better (quality factor 25; audio bitrate:192kbps)", 0, 192, 25},
    {"7.Best picture (quality factor 23; audio bitrate:192kbps)", 0, 192, 23},
};

// clang-format off
constexpr FrameSizeEntry kAviResolutions[] = {
    {"Original", 0, 0},     {"80 x 60", 80, 60},     {"96 x 72", 96, 72},
    {"128 x 96", 128, 96},  {"160 x 120", 160, 120}, {"176 x 120", 176, 120},
    {"176 x 144", 176, 144}, {"192 x 144", 192, 144}, {"240 x 180", 240, 180},
    {"320 x 200", 320, 200}, {"320 x 240", 320, 240}, {"352 x 240", 352, 240},
    {"352 x 288", 352, 288}, {"480 x 272", 480, 272}, {"480 x 480", 480, 480},
    {"480 x 576", 480, 576}, {"624 x 352", 624, 352}, {"640 x 480", 640, 480},
    {"720 x 480", 720, 480}, {"720 x 576", 720, 576},
};

constexpr FrameSizeEntry kMpegResolutions[] = {
    {"Original", 0, 0},     {"80 x 60", 80, 60},     {"96 x 72", 96, 72},
    {"128 x 96", 128, 96},  {"160 x 120", 160, 120}, {"176 x 120", 176, 120},
    {"176 x 144", 176, 144}, {"192 x 144", 192, 144}, {"240 x 180", 240, 180},
    {"320 x 200", 320, 200}, {"320 x 240", 320, 240}, {"352 x 240", 352, 240},
    {"352 x 288", 352, 288}, {"480 x 480", 480, 480}, {"480 x 576", 480, 576},
    {"640 x 480", 640, 480}, {"720 x 480", 720, 480}, {"720 x 576", 720, 576},
};

// A portrait source comes out at the size turned upright (see ComputePadding).
constexpr FrameSizeEntry kMp4Resolutions[] = {
    {"Original", 0, 0},
    {"320 x 240 (240 x 320 for portrait clips)", 320, 240},
    {"426 x 240 (240 x 426 for portrait clips)", 426, 240},
    {"640 x 360 (360 x 640 for portrait clips)", 640, 360},
    {"640 x 480 (480 x 640 for portrait clips)", 640, 480},
    {"854 x 480 (480 x 854 for portrait clips)", 854, 480},
    {"768 x 576 (576 x 768 for portrait clips)", 768, 576},
    {"960 x 720 (720 x 960 for portrait clips)", 960, 720},
    {"1024 x 768 (768 x 1024 for portrait clips)", 1024, 768},
    {"1280 x 720 (720 x 1280 for portrait clips)", 1280, 720},
    {"1440 x 1080 (1080 x 1440 for portrait clips)", 1440, 1080},
    {"1920 x 1080 (1080 x 1920 for portrait clips)", 1920, 1080},
    {"2560 x 1440 (1440 x 2560 for portrait clips)", 2560, 1440},
    {"3840 x 2160 (2160 x 3840 for portrait clips)", 3840, 2160},
};

// Disc sizes and rates: the NTSC entry, then the PAL entry.
constexpr FrameSizeEntry kVcdSizes[] = {{"352 x 240", 352, 240}, {"352 x 288", 352, 288}};
constexpr FrameSizeEntry kSvcdSizes[] = {{"480 x 480", 480, 480}, {"480 x 576", 480, 576}};
constexpr FrameSizeEntry kDvdSizes[] = {{"720 x 480", 720, 480}, {"720 x 576", 720, 576}};
constexpr FrameRateEntry kVcdRates[] = {{"23.976 fps", 23.976}, {"25.0 fps", 25.0}};
constexpr FrameRateEntry kSvcdDvdRates[] = {{"29.97 fps", 29.97}, {"25.0 fps", 25.0}};

constexpr FrameRateEntry kAviFrameRates[] = {
    {"Original", 0.0},     {"14.985 fps", 14.985}, {"20.0 fps", 20.0},
    {"23.976 fps", 23.976}, {"24.0 fps", 24.0},     {"25.0 fps", 25.0},
    {"29.97 fps", 29.97},   {"30.0 fps", 30.0},
};

constexpr FrameRateEntry kWindowsMediaRates[] = {{"Auto", kKeepSourceTimingRate}};

constexpr AspectEntry kMpegAspects[] = {
    {"1:1    (PC VAG)", "1/1", 0, 0},
    {"4:3    (Standard TV)", "4/3", 4, 3},
    {"16:9   (Wide screen TV)", "16/9", 16, 9},
    {"2.21:1 (CinemaScope movie)", "2.21/1", 221, 100},
};

constexpr AspectEntry kDiscAspects[] = {
    {"4:3    (Standard TV)", "4/3", 4, 3},
    {"16:9   (Wide screen TV)", "16/9", 16, 9},
};
// clang-format on

// "Original", then the first `count` of the MPEG rates.
template <std::size_t count>
constexpr std::array<FrameRateEntry, count + 1> OriginalAndMpegRates() {
    std::array<FrameRateEntry, count + 1> rates{};
    rates[0] = {"Original", 0.0};
    for (std::size_t i = 0; i < count; ++i) rates[i + 1] = {kMpegFrameRates[i].text, kMpegFrameRates[i].nominal};
    return rates;
}

constexpr auto kMpegFormatRates = OriginalAndMpegRates<kMpegOfferedRateCount>();
constexpr auto kMp4Rates = OriginalAndMpegRates<std::size(kMpegFrameRates)>();

constexpr const char* kDivxXvid[] = {"Divx", "Xvid"};
constexpr const char* kDivx[] = {"Divx"};
constexpr const char* kXvid[] = {"Xvid"};
constexpr const char* kMpeg1[] = {"MPEG1"};
constexpr const char* kMpeg2[] = {"MPEG2"};
constexpr const char* kWmv8[] = {"WMV8"};
constexpr const char* kAsfVideo[] = {"msmpeg4", "msmpeg4v2", "WMV8"};
constexpr const char* kH264[] = {"H.264"};
constexpr const char* kH265[] = {"H.265"};
constexpr const char* kMp3Ac3[] = {"MP3", "AC3"};
constexpr const char* kMp2[] = {"MP2"};
constexpr const char* kAc3Mp2[] = {"AC3", "MP2"};
constexpr const char* kWma[] = {"WMAv1", "WMAv2"};
constexpr const char* kAac[] = {"AAC"};
constexpr const char* kAv1[] = {"AV1"};
constexpr const char* kOpus[] = {"Opus"};

using Style = ArgumentStyle;
using Family = FormatFamily;

// SVT-AV1's steps: each keeps about the picture (SSIM) of H.265 at the MP4
// step of the same number in about two thirds of its size, at a preset
// that converts a 720p clip at least as fast as H.265 there on 2 cores
// (preset 12 for the small steps, 11 above). Opus sound takes 128 kbit/s
// for stereo, 256 for 5.1, whatever the step.
constexpr QualityPreset kAv1Qualities[] = {
    {"1.Smallest file (quality factor 52; audio bitrate:128kbps)", 0, 128, 52, 12},
    {"2.Smaller (quality factor 50; audio bitrate:128kbps)", 0, 128, 50, 12},
    {"3.Small (quality factor 48; audio bitrate:128kbps)", 0, 128, 48, 12},
    {"4.Balanced (quality factor 46; audio bitrate:128kbps)", 0, 128, 46, 11},
    {"5.Good (quality factor 44; audio bitrate:128kbps)", 0, 128, 44, 11},
    {"6.Better (quality factor 41; audio bitrate:128kbps)", 0, 128, 41, 11},
    {"7.Best quality (quality factor 38; audio bitrate:128kbps)", 0, 128, 38, 11},
};

// clang-format off
const FormatEntry kFormats[] = {
    {"AVI Format (*.avi)", "avi", Family::Avi, "avi", Style::Avi, kAviQualities, &S::aviQuality,
     {kDivxXvid, &S::aviVideoCodec}, {kMp3Ac3, &S::aviAudioCodec},
     kAviResolutions, &S::aviResolution, kAviFrameRates, &S::aviFrameRate, {}, &S::dvdAspect},
    {"MPEG1 Format (*.mpg)", "mpeg1", Family::Mpeg, "mpeg", Style::Mpeg1, kMpeg1Qualities, &S::mpeg1Quality,
     {kMpeg1}, {kMp2},
     kMpegResolutions, &S::mpegResolution, kMpegFormatRates, &S::mpegFrameRate, kMpegAspects, &S::mpegAspect},
    {"MPEG2 Format (*.mpg)", "mpeg2", Family::Mpeg, "mpeg", Style::Mpeg2, kMpeg2Qualities, &S::mpeg2Quality,
     {kMpeg2}, {kMp2},
     kMpegResolutions, &S::mpegResolution, kMpegFormatRates, &S::mpegFrameRate, kMpegAspects, &S::mpegAspect},
    {"DivX Format (*.avi)", "divx", Family::Avi, "avi", Style::Avi, kAviQualities, &S::aviQuality,
     {kDivx}, {kMp3Ac3, &S::divxAudioCodec},
     kAviResolutions, &S::aviResolution, kAviFrameRates, &S::aviFrameRate, {}, &S::dvdAspect},
    {"Xvid Format (*.avi)", "xvid", Family::Avi, "avi", Style::Avi, kAviQualities, &S::aviQuality,
     {kXvid}, {kMp3Ac3, &S::xvidAudioCodec},
     kAviResolutions, &S::aviResolution, kAviFrameRates, &S::aviFrameRate, {}, &S::dvdAspect},
    {"VCD compatible MPEG1 Format (*.mpg)", "vcd", Family::Disc, "mpeg", Style::Vcd, kMpeg1Qualities, &S::mpeg1Quality,
     {kMpeg1}, {kMp2},
     kVcdSizes, &S::aviResolution, kVcdRates, &S::aviFrameRate, kDiscAspects, &S::dvdAspect},
    {"SVCD compatible MPEG2 Format (*.mpg)", "svcd", Family::Disc, "mpeg", Style::Svcd, kSvcdQualities, &S::svcdQuality,
     {kMpeg2}, {kMp2},
     kSvcdSizes, &S::aviResolution, kSvcdDvdRates, &S::aviFrameRate, kDiscAspects, &S::dvdAspect},
    {"DVD compatible MPEG2 Format (*.vob)", "dvd", Family::Disc, "vob", Style::Dvd, kDvdQualities, &S::dvdQuality,
     {kMpeg2}, {kAc3Mp2, &S::dvdAudioCodec},
     kDvdSizes, &S::aviResolution, kSvcdDvdRates, &S::aviFrameRate, kDiscAspects, &S::dvdAspect},
    {"WMV Format (*.wmv)", "wmv", Family::WindowsMedia, "wmv", Style::WindowsMedia, kWmvQualities, &S::wmvQuality,
     {kWmv8}, {kWma, &S::wmvAudioCodec},
     kAviResolutions, &S::aviResolution, kWindowsMediaRates, &S::aviFrameRate, {}, &S::dvdAspect},
    {"ASF Format (*.ASF)", "asf", Family::WindowsMedia, "asf", Style::WindowsMedia, kWmvQualities, &S::wmvQuality,
     {kAsfVideo, &S::asfVideoCodec}, {kWma, &S::asfAudioCodec},
     kAviResolutions, &S::aviResolution, kWindowsMediaRates, &S::aviFrameRate, {}, &S::dvdAspect},
    {"MP4 for phones and the web, H.264 + AAC (*.mp4)", "mp4", Family::ConstantQuality, "mp4", Style::Mp4, kH264Qualities,
     &S::mp4Quality, {kH264}, {kAac},
     kMp4Resolutions, &S::mp4Resolution, kMp4Rates, &S::mp4FrameRate, {}, &S::dvdAspect, ArgumentWord::kLibx264, ArgumentWord::kVeryfast},
    {"MP4 with H.265, smaller files, H.265 + AAC (*.mp4)", "mp4-h265", Family::ConstantQuality, "mp4", Style::Mp4, kH265Qualities,
     &S::mp4Quality, {kH265}, {kAac},
     kMp4Resolutions, &S::mp4Resolution, kMp4Rates, &S::mp4FrameRate, {}, &S::dvdAspect, ArgumentWord::kLibx265, ArgumentWord::kUltrafast},
    {"MKV, H.264 + AAC (*.mkv)", "mkv", Family::ConstantQuality, "mkv", Style::Matroska, kH264Qualities,
     &S::mp4Quality, {kH264}, {kAac},
     kMp4Resolutions, &S::mp4Resolution, kMp4Rates, &S::mp4FrameRate, {}, &S::dvdAspect, ArgumentWord::kLibx264, ArgumentWord::kVeryfast},
    {"MKV with H.265 (*.mkv)", "mkv-h265", Family::ConstantQuality, "mkv", Style::Matroska, kH265Qualities,
     &S::mp4Quality, {kH265}, {kAac},
     kMp4Resolutions, &S::mp4Resolution, kMp4Rates, &S::mp4FrameRate, {}, &S::dvdAspect, ArgumentWord::kLibx265, ArgumentWord::kUltrafast},
    {"WebM, AV1 + Opus (*.webm)", "webm", Family::ConstantQuality, "webm", Style::WebM, kAv1Qualities,
     &S::mp4Quality, {kAv1}, {kOpus},
     kMp4Resolutions, &S::mp4Resolution, kMp4Rates, &S::mp4FrameRate, {}, &S::dvdAspect, ArgumentWord::kLibsvtav1},
};

const FormatEntry kNoFormat = {"", "", Family::None, "avi", Style::None, {}, nullptr, {}, {},
                               kAviResolutions, &S::aviResolution, {}, &S::aviFrameRate, {}, &S::dvdAspect};
// clang-format on

static_assert(std::size(kFormats) == kOutputFormatCount);

constexpr const char* kTvModes[] = {"NTSC", "PAL"};
constexpr const char* kNone = "None";

bool InFormatRange(int format) { return format >= 0 && format < kOutputFormatCount; }

template <class T>
std::vector<std::string> TextsOf(std::span<const T> list) {
    std::vector<std::string> texts;
    for (const T& entry : list) texts.emplace_back(entry.text);
    return texts;
}

template <class T>
bool InRange(std::span<const T> list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

std::vector<std::string> TextsOf(std::span<const char* const> texts) { return {texts.begin(), texts.end()}; }

// The NTSC entry, or the PAL one.
template <class T>
const T& DiscEntry(std::span<const T> list, const ConversionSettings& settings) {
    return list[IsPal(settings) ? 1 : 0];
}

// A single disabled entry with entry 0 selected.
ChoiceList Fixed(std::vector<std::string> entries, int S::*storeTo = nullptr) {
    return ChoiceList{std::move(entries), nullptr, storeTo, false};
}

ChoiceList Choice(std::vector<std::string> entries, int S::*field) {
    return ChoiceList{std::move(entries), field, field, true};
}

}  // namespace

namespace FormatCatalogue {

const FormatEntry& Format(int format) { return InFormatRange(format) ? kFormats[format] : kNoFormat; }

}  // namespace FormatCatalogue

FormatFamily FamilyOf(int format) { return FormatCatalogue::Format(format).family; }

namespace FormatCatalogue {

std::span<const FormatEntry> Formats() { return kFormats; }

std::vector<std::string> FormatTexts() {
    std::vector<std::string> texts;
    for (const FormatEntry& format : kFormats) texts.emplace_back(format.comboText);
    return texts;
}

std::span<const QualityPreset> AviQualities() { return kAviQualities; }
std::span<const QualityPreset> Mpeg1Qualities() { return kMpeg1Qualities; }
std::span<const QualityPreset> Mpeg2Qualities() { return kMpeg2Qualities; }
std::span<const QualityPreset> SvcdQualities() { return kSvcdQualities; }
std::span<const QualityPreset> DvdQualities() { return kDvdQualities; }
std::span<const QualityPreset> WmvQualities() { return kWmvQualities; }
std::span<const FrameSizeEntry> AviResolutions() { return kAviResolutions; }
std::span<const FrameSizeEntry> MpegResolutions() { return kMpegResolutions; }
std::span<const FrameRateEntry> AviFrameRates() { return kAviFrameRates; }
std::span<const FrameRateEntry> MpegFrameRates() { return kMpegFormatRates; }
std::span<const AspectEntry> MpegAspects() { return kMpegAspects; }
std::span<const AspectEntry> DiscAspects() { return kDiscAspects; }

std::vector<std::string> TvModeTexts() { return {kTvModes[0], kTvModes[1]}; }

std::vector<std::string> AspectTexts(int format) {
    return IsMpegFamily(format) ? TextsOf(MpegAspects()) : TextsOf(DiscAspects());
}

int S::*QualityField(int format) { return Format(format).quality; }

const QualityPreset* ChosenQuality(const ConversionSettings& settings) {
    const FormatEntry& format = Format(settings.outputFormat);
    if (!format.quality) return nullptr;
    if (InRange(format.qualities, settings.*format.quality)) return &format.qualities[settings.*format.quality];
    if (format.family == FormatFamily::ConstantQuality) return &format.qualities[format.qualities.size() / 2];
    return nullptr;
}

ChoiceList QualityList(int format) {
    const FormatEntry& row = Format(format);
    return ChoiceList{TextsOf(row.qualities), row.quality, row.quality, true};
}

namespace {

ChoiceList CodecList(const CodecChoices& codecs) {
    return codecs.field ? Choice(TextsOf(codecs.texts), codecs.field) : Fixed(TextsOf(codecs.texts));
}

}  // namespace

ChoiceList VideoCodecList(int format) { return CodecList(Format(format).videoCodecs); }

ChoiceList AudioCodecList(int format) { return CodecList(Format(format).audioCodecs); }

ChoiceList TvModeList(int format) {
    if (IsDiscFormat(format)) return Choice(TvModeTexts(), &S::tvMode);
    return Fixed({kNone}, &S::tvMode);
}

ChoiceList ResolutionList(int format) {
    const FormatEntry& row = Format(format);
    if (IsDiscFormat(format)) return ChoiceList{TextsOf(row.sizes), &S::tvMode, row.size, false};
    return Choice(TextsOf(row.sizes), row.size);
}

ChoiceList FrameRateList(int format) {
    const FormatEntry& row = Format(format);
    switch (row.family) {
    case FormatFamily::Disc: return ChoiceList{TextsOf(row.rates), &S::tvMode, row.rate, false};
    case FormatFamily::WindowsMedia:
    case FormatFamily::None: return Fixed(TextsOf(row.rates), row.rate);
    default: return Choice(TextsOf(row.rates), row.rate);
    }
}

ChoiceList AspectList(int format) {
    const FormatEntry& row = Format(format);
    if (row.aspects.empty()) return Fixed({kNone}, row.aspect);
    return Choice(TextsOf(row.aspects), row.aspect);
}

}  // namespace FormatCatalogue

Bitrates ResolveBitrates(const ConversionSettings& settings, int fittedVideoKbps) {
    const FormatEntry& format = FormatCatalogue::Format(settings.outputFormat);
    if (!format.quality || !InRange(format.qualities, settings.*format.quality)) return {};
    const QualityPreset& preset = format.qualities[settings.*format.quality];
    Bitrates rates{preset.videoKbps, preset.audioKbps};
    if (fittedVideoKbps > 0 && format.family == FormatFamily::Disc)
        rates.video = std::min(rates.video, fittedVideoKbps);
    return rates;
}

FrameSize ResolveFrameSize(const ConversionSettings& settings) {
    const FormatEntry& format = FormatCatalogue::Format(settings.outputFormat);
    if (format.family == FormatFamily::Disc) {
        const FrameSizeEntry& size = DiscEntry(format.sizes, settings);
        return {size.width, size.height};
    }
    // Entry 0 is "Original"; a position outside the list keeps the source's size too.
    int index = settings.*format.size;
    bool known = index >= 1 && InRange(format.sizes, index);
    return known ? FrameSize{format.sizes[index].width, format.sizes[index].height} : FrameSize{};
}

namespace {

double AviRate(int index, double source) {
    if (index == 0) {
        if (source < 14.985) return 14.985;
        if (source > 60.0) return 30.0;
        return source;
    }
    if (index >= 1 && index <= 6) return kAviFrameRates[index].fps;
    return 30.0;
}

double MpegRate(int index, double source) {
    if (index == 0) {
        if (source < 24.0) return 23.976;
        if (source < 25.0) return 24.0;
        if (source < 28.0) return 25.0;
        if (source < 30.0) return 29.97;
        return 30.0;
    }
    if (index >= 1 && index <= 4) return kMpegFormatRates[index].fps;
    return 30.0;
}

// "Original" (or a position outside the list) keeps the source's own frames
// and timing.
double Mp4Rate(int index) {
    std::span<const FrameRateEntry> rates = kMp4Rates;
    return index >= 1 && InRange(rates, index) ? rates[index].fps : kKeepSourceTimingRate;
}

}  // namespace

double ResolveFrameRate(const ConversionSettings& settings, double sourceFrameRate) {
    const FormatEntry& format = FormatCatalogue::Format(settings.outputFormat);
    switch (format.family) {
    case FormatFamily::Avi: return AviRate(settings.aviFrameRate, sourceFrameRate);
    case FormatFamily::Mpeg: return MpegRate(settings.mpegFrameRate, sourceFrameRate);
    case FormatFamily::Disc: return DiscEntry(format.rates, settings).fps;
    case FormatFamily::ConstantQuality: return Mp4Rate(settings.mp4FrameRate);
    default: return kKeepSourceTimingRate;
    }
}

// A stored position out of range (a hand-edited option.ini) takes the
// default's, as the other lookups fall back on theirs.
const AspectEntry* ChosenAspect(const ConversionSettings& settings) {
    const FormatEntry& format = FormatCatalogue::Format(settings.outputFormat);
    int position = settings.*format.aspect;
    if (!InRange(format.aspects, position)) position = ConversionSettings{}.*format.aspect;
    return InRange(format.aspects, position) ? &format.aspects[position] : nullptr;
}

std::string AspectRatioText(const ConversionSettings& settings) {
    const AspectEntry* aspect = ChosenAspect(settings);
    return aspect ? aspect->ratio : "";
}

std::string OutputExtension(int format) { return FormatCatalogue::Format(format).extension; }

std::string VolumeLabel(int position) {
    return position < 20 ? FormatText("-%ddb", 20 - position) : FormatText("+%ddb", position - 20);
}

int WmvQuantiser(int qualityIndex) { return static_cast<int>(29 - 2.5 * qualityIndex); }
