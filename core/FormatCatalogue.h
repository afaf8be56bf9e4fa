#pragma once

#include "core/ConversionSettings.h"
#include "core/EncodeTargets.h"

#include <span>
#include <string>
#include <vector>

// Output formats, in the order of the "Output format" boxes.
enum OutputFormat : int {
    FormatAvi = 0,
    FormatMpeg1 = 1,
    FormatMpeg2 = 2,
    FormatDivx = 3,
    FormatXvid = 4,
    FormatVcd = 5,
    FormatSvcd = 6,
    FormatDvd = 7,
    FormatWmv = 8,
    FormatAsf = 9,
};
inline constexpr int kOutputFormatCount = 10;

enum class FormatFamily { Avi, Mpeg, Disc, WindowsMedia, None };

FormatFamily FamilyOf(int format);
inline bool IsAviFamily(int format) { return FamilyOf(format) == FormatFamily::Avi; }
inline bool IsMpegFamily(int format) { return FamilyOf(format) == FormatFamily::Mpeg; }
inline bool IsDiscFormat(int format) { return FamilyOf(format) == FormatFamily::Disc; }
inline bool IsWindowsMedia(int format) { return FamilyOf(format) == FormatFamily::WindowsMedia; }

// TV mode 0 is NTSC; every other value counts as PAL.
inline bool IsPal(const ConversionSettings& settings) { return settings.tvMode != 0; }

struct FormatEntry {
    const char* comboText;
    FormatFamily family;
    const char* extension;
};

struct QualityPreset {
    const char* text;
    int videoKbps;
    int audioKbps;
};

struct FrameSizeEntry {
    const char* text;
    int width;
    int height;
};

struct FrameRateEntry {
    const char* text;
    double fps;  // 0 means "from the source"
};

struct AspectEntry {
    const char* text;
    const char* ratio;  // as the encoder takes it
    // The display shape it flags; 0 x 0 flags square pixels instead.
    int displayWidth;
    int displayHeight;
};

// How one list of the output settings dialog looks for one format: its
// entries, where its selection comes from, where a new selection is stored
// and whether the user may change it.
struct ChoiceList {
    std::vector<std::string> entries;
    int ConversionSettings::*selectFrom = nullptr;  // null: entry 0 is selected
    int ConversionSettings::*storeTo = nullptr;     // null: a change stores nothing
    bool enabled = false;
};

namespace FormatCatalogue {

std::span<const FormatEntry> Formats();
std::vector<std::string> FormatTexts();

std::span<const QualityPreset> AviQualities();
std::span<const QualityPreset> Mpeg1Qualities();
std::span<const QualityPreset> Mpeg2Qualities();
std::span<const QualityPreset> SvcdQualities();
std::span<const QualityPreset> DvdQualities();
std::span<const QualityPreset> WmvQualities();

std::span<const FrameSizeEntry> AviResolutions();
std::span<const FrameSizeEntry> MpegResolutions();
std::span<const FrameRateEntry> AviFrameRates();
std::span<const FrameRateEntry> MpegFrameRates();
std::span<const AspectEntry> MpegAspects();
std::span<const AspectEntry> DiscAspects();

// The main window's TV-mode box: "NTSC", "PAL".
std::vector<std::string> TvModeTexts();
// The main window's aspect box for a format: the MPEG list for MPEG1/MPEG2,
// the disc list for every other format.
std::vector<std::string> AspectTexts(int format);

// The settings dialog's lists for a format (format outside 0..9 included).
ChoiceList QualityList(int format);
ChoiceList VideoCodecList(int format);
ChoiceList AudioCodecList(int format);
ChoiceList TvModeList(int format);
ChoiceList ResolutionList(int format);
ChoiceList FrameRateList(int format);
ChoiceList AspectList(int format);

// The quality field that serves a format; null outside 0..9.
int ConversionSettings::*QualityField(int format);

}  // namespace FormatCatalogue

void ResolveBitrates(const ConversionSettings& settings, EncodeTargets& targets);
void ResolveFrameSize(const ConversionSettings& settings, EncodeTargets& targets);
double ResolveFrameRate(const ConversionSettings& settings, double sourceFrameRate);
// The aspect entry the format flags its output with; null for the formats
// that flag none and for a stored position out of range.
const AspectEntry* ChosenAspect(const ConversionSettings& settings);
std::string AspectRatioText(const ConversionSettings& settings);
std::string OutputExtension(int format);
std::string VolumeLabel(int position);
int WmvQuantiser(int qualityIndex);
