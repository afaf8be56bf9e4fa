#include "core/FormatCatalogue.h"

#include "text/FormatText.h"

namespace {

using S = ConversionSettings;

constexpr FormatEntry kFormats[] = {
    {"AVI Format (*.avi)", FormatFamily::Avi, "avi"},
    {"MPEG1 Format (*.mpg)", FormatFamily::Mpeg, "mpeg"},
    {"MPEG2 Format (*.mpg)", FormatFamily::Mpeg, "mpeg"},
    {"DivX Format (*.avi)", FormatFamily::Avi, "avi"},
    {"Xvid Format (*.avi)", FormatFamily::Avi, "avi"},
    {"VCD compatible MPEG1 Format (*.mpg)", FormatFamily::Disc, "mpeg"},
    {"SVCD compatible MPEG2 Format (*.mpg)", FormatFamily::Disc, "mpeg"},
    {"DVD compatible MPEG2 Format (*.vob)", FormatFamily::Disc, "vob"},
    {"WMV Format (*.wmv)", FormatFamily::WindowsMedia, "wmv"},
    {"ASF Format (*.ASF)", FormatFamily::WindowsMedia, "asf"},
};

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

constexpr FrameRateEntry kMpegFrameRates[] = {
    {"Original", 0.0}, {"23.976 fps", 23.976}, {"24.0 fps", 24.0},
    {"25.0 fps", 25.0}, {"29.97 fps", 29.97},  {"30.0 fps", 30.0},
};

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

constexpr const char* kTvModes[] = {"NTSC", "PAL"};
constexpr const char* kNone = "None";

bool InFormatRange(int format) { return format >= 0 && format < kOutputFormatCount; }

template <class T>
bool InRange(std::span<const T> list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

template <class T>
std::vector<std::string> TextsOf(std::span<const T> list) {
    std::vector<std::string> texts;
    for (const T& entry : list) texts.emplace_back(entry.text);
    return texts;
}

std::span<const QualityPreset> QualitiesOf(int format) {
    switch (format) {
    case FormatAvi:
    case FormatDivx:
    case FormatXvid: return kAviQualities;
    case FormatMpeg1:
    case FormatVcd: return kMpeg1Qualities;
    case FormatMpeg2: return kMpeg2Qualities;
    case FormatSvcd: return kSvcdQualities;
    case FormatDvd: return kDvdQualities;
    case FormatWmv:
    case FormatAsf: return kWmvQualities;
    default: return {};
    }
}

std::span<const FrameSizeEntry> DiscSizesOf(int format) {
    switch (format) {
    case FormatVcd: return kVcdSizes;
    case FormatSvcd: return kSvcdSizes;
    default: return kDvdSizes;
    }
}

std::span<const FrameRateEntry> DiscRatesOf(int format) {
    return format == FormatVcd ? std::span<const FrameRateEntry>(kVcdRates)
                               : std::span<const FrameRateEntry>(kSvcdDvdRates);
}

// A single disabled entry with entry 0 selected.
ChoiceList Fixed(std::vector<std::string> entries, int S::*storeTo = nullptr) {
    return ChoiceList{std::move(entries), nullptr, storeTo, false};
}

ChoiceList Choice(std::vector<std::string> entries, int S::*field) {
    return ChoiceList{std::move(entries), field, field, true};
}

}  // namespace

FormatFamily FamilyOf(int format) { return InFormatRange(format) ? kFormats[format].family : FormatFamily::None; }

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
std::span<const FrameRateEntry> MpegFrameRates() { return kMpegFrameRates; }
std::span<const AspectEntry> MpegAspects() { return kMpegAspects; }
std::span<const AspectEntry> DiscAspects() { return kDiscAspects; }

std::vector<std::string> TvModeTexts() { return {kTvModes[0], kTvModes[1]}; }

std::vector<std::string> AspectTexts(int format) {
    return IsMpegFamily(format) ? TextsOf(MpegAspects()) : TextsOf(DiscAspects());
}

int S::*QualityField(int format) {
    switch (format) {
    case FormatAvi:
    case FormatDivx:
    case FormatXvid: return &S::aviQuality;
    case FormatMpeg1:
    case FormatVcd: return &S::mpeg1Quality;
    case FormatMpeg2: return &S::mpeg2Quality;
    case FormatSvcd: return &S::svcdQuality;
    case FormatDvd: return &S::dvdQuality;
    case FormatWmv:
    case FormatAsf: return &S::wmvQuality;
    default: return nullptr;
    }
}

ChoiceList QualityList(int format) {
    int S::*field = QualityField(format);
    return ChoiceList{TextsOf(QualitiesOf(format)), field, field, true};
}

ChoiceList VideoCodecList(int format) {
    switch (format) {
    case FormatAvi: return Choice({"Divx", "Xvid"}, &S::aviVideoCodec);
    case FormatMpeg1:
    case FormatVcd: return Fixed({"MPEG1"});
    case FormatMpeg2:
    case FormatSvcd:
    case FormatDvd: return Fixed({"MPEG2"});
    case FormatDivx: return Fixed({"Divx"});
    case FormatXvid: return Fixed({"Xvid"});
    case FormatWmv: return Fixed({"WMV8"});
    case FormatAsf: return Choice({"msmpeg4", "msmpeg4v2", "WMV8"}, &S::asfVideoCodec);
    default: return Fixed({});
    }
}

ChoiceList AudioCodecList(int format) {
    switch (format) {
    case FormatAvi: return Choice({"MP3", "AC3"}, &S::aviAudioCodec);
    case FormatDivx: return Choice({"MP3", "AC3"}, &S::divxAudioCodec);
    case FormatXvid: return Choice({"MP3", "AC3"}, &S::xvidAudioCodec);
    case FormatMpeg1:
    case FormatMpeg2:
    case FormatVcd:
    case FormatSvcd: return Fixed({"MP2"});
    case FormatDvd: return Choice({"AC3", "MP2"}, &S::dvdAudioCodec);
    case FormatWmv: return Choice({"WMAv1", "WMAv2"}, &S::wmvAudioCodec);
    case FormatAsf: return Choice({"WMAv1", "WMAv2"}, &S::asfAudioCodec);
    default: return Fixed({});
    }
}

ChoiceList TvModeList(int format) {
    if (IsDiscFormat(format)) return Choice(TvModeTexts(), &S::tvMode);
    return Fixed({kNone}, &S::tvMode);
}

ChoiceList ResolutionList(int format) {
    if (IsMpegFamily(format)) return Choice(TextsOf(MpegResolutions()), &S::mpegResolution);
    if (IsDiscFormat(format)) return ChoiceList{TextsOf(DiscSizesOf(format)), &S::tvMode, &S::aviResolution, false};
    return Choice(TextsOf(AviResolutions()), &S::aviResolution);
}

ChoiceList FrameRateList(int format) {
    switch (FamilyOf(format)) {
    case FormatFamily::Avi: return Choice(TextsOf(AviFrameRates()), &S::aviFrameRate);
    case FormatFamily::Mpeg: return Choice(TextsOf(MpegFrameRates()), &S::mpegFrameRate);
    case FormatFamily::Disc: return ChoiceList{TextsOf(DiscRatesOf(format)), &S::tvMode, &S::aviFrameRate, false};
    case FormatFamily::WindowsMedia: return Fixed({"Auto"}, &S::aviFrameRate);
    default: return Fixed({}, &S::aviFrameRate);
    }
}

ChoiceList AspectList(int format) {
    if (IsMpegFamily(format)) return Choice(TextsOf(MpegAspects()), &S::mpegAspect);
    if (IsDiscFormat(format)) return Choice(TextsOf(DiscAspects()), &S::dvdAspect);
    return Fixed({kNone}, &S::dvdAspect);
}

}  // namespace FormatCatalogue

void ResolveBitrates(const ConversionSettings& settings, EncodeTargets& targets) {
    int S::*field = FormatCatalogue::QualityField(settings.outputFormat);
    if (!field) return;
    std::span<const QualityPreset> presets = QualitiesOf(settings.outputFormat);
    int index = settings.*field;
    if (!InRange(presets, index)) return;
    targets.videoBitrate = presets[index].videoKbps;
    targets.audioBitrate = presets[index].audioKbps;
}

void ResolveFrameSize(const ConversionSettings& settings, EncodeTargets& targets) {
    auto apply = [&targets](std::span<const FrameSizeEntry> list, int index, int first) {
        bool known = index >= first && InRange(list, index);
        targets.width = known ? list[index].width : 0;
        targets.height = known ? list[index].height : 0;
    };
    int format = settings.outputFormat;
    if (IsMpegFamily(format)) {
        apply(kMpegResolutions, settings.mpegResolution, 1);
    } else if (IsDiscFormat(format)) {
        const FrameSizeEntry& size = DiscSizesOf(format)[IsPal(settings) ? 1 : 0];
        targets.width = size.width;
        targets.height = size.height;
    } else {
        apply(kAviResolutions, settings.aviResolution, 1);
    }
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
    if (index >= 1 && index <= 4) return kMpegFrameRates[index].fps;
    return 30.0;
}

}  // namespace

double ResolveFrameRate(const ConversionSettings& settings, double sourceFrameRate) {
    int format = settings.outputFormat;
    switch (FamilyOf(format)) {
    case FormatFamily::Avi: return AviRate(settings.aviFrameRate, sourceFrameRate);
    case FormatFamily::Mpeg: return MpegRate(settings.mpegFrameRate, sourceFrameRate);
    case FormatFamily::Disc: return DiscRatesOf(format)[IsPal(settings) ? 1 : 0].fps;
    default: return 1000.0;
    }
}

const AspectEntry* ChosenAspect(const ConversionSettings& settings) {
    if (IsMpegFamily(settings.outputFormat) && InRange(std::span<const AspectEntry>(kMpegAspects), settings.mpegAspect))
        return &kMpegAspects[settings.mpegAspect];
    if (IsDiscFormat(settings.outputFormat) && InRange(std::span<const AspectEntry>(kDiscAspects), settings.dvdAspect))
        return &kDiscAspects[settings.dvdAspect];
    return nullptr;
}

std::string AspectRatioText(const ConversionSettings& settings) {
    const AspectEntry* aspect = ChosenAspect(settings);
    return aspect ? aspect->ratio : "";
}

std::string OutputExtension(int format) { return InFormatRange(format) ? kFormats[format].extension : "avi"; }

std::string VolumeLabel(int position) {
    return position < 20 ? FormatText("-%ddb", 20 - position) : FormatText("+%ddb", position - 20);
}

int WmvQuantiser(int qualityIndex) { return static_cast<int>(29 - 2.5 * qualityIndex); }
