#pragma once

#include "core/ConversionSettings.h"

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
    FormatMp4H264 = 10,
    FormatMp4H265 = 11,
    FormatMkvH264 = 12,
    FormatMkvH265 = 13,
    FormatWebm = 14,
};
inline constexpr int kOutputFormatCount = 15;

// ConstantQuality: MP4 and MKV with H.264 or H.265, and WebM with AV1, at
// a quality step, for today's players.
enum class FormatFamily { Avi, Mpeg, Disc, WindowsMedia, ConstantQuality, None };

FormatFamily FamilyOf(int format);
inline bool IsAviFamily(int format) { return FamilyOf(format) == FormatFamily::Avi; }
inline bool IsMpegFamily(int format) { return FamilyOf(format) == FormatFamily::Mpeg; }
inline bool IsDiscFormat(int format) { return FamilyOf(format) == FormatFamily::Disc; }
inline bool IsWindowsMedia(int format) { return FamilyOf(format) == FormatFamily::WindowsMedia; }
// Players switch among the sound tracks of a DVD (8 at most), an MP4, an
// MKV and a WebM file (as many, so that a film fits any disc made from it);
// every other format keeps one.
inline bool HoldsSeveralSoundTracks(int format) {
    return format == FormatDvd || FamilyOf(format) == FormatFamily::ConstantQuality;
}
inline int SoundTracksHeld(int format) { return HoldsSeveralSoundTracks(format) ? 8 : 1; }

// TV mode 0 is NTSC; every other value counts as PAL.
inline bool IsPal(const ConversionSettings& settings) { return settings.tvMode != 0; }

struct QualityPreset {
    const char* text;
    int videoKbps;  // 0 for a constant-quality step
    int audioKbps;
    int crf = 0;  // the constant-quality step's factor
    // AV1's numbered speed preset for this step; -1: the format's own word.
    int speedPreset = -1;
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

// A format's codec list in the settings dialog; a list without a field is
// fixed.
struct CodecChoices {
    std::span<const char* const> texts;
    int ConversionSettings::*field = nullptr;
};

// How the encoder's argument text is put together for a format.
enum class ArgumentStyle { Avi, Mpeg1, Mpeg2, Vcd, Svcd, Dvd, WindowsMedia, Mp4, Matroska, WebM, None };

// Everything that sets one output format apart. Disc formats list their NTSC
// size and rate first, then their PAL ones.
struct FormatEntry {
    const char* comboText;
    const char* shortName;  // what tarvine-convert's --format takes besides the number
    FormatFamily family;
    const char* extension;
    ArgumentStyle style;
    std::span<const QualityPreset> qualities;
    int ConversionSettings::*quality;
    CodecChoices videoCodecs;
    CodecChoices audioCodecs;
    std::span<const FrameSizeEntry> sizes;
    int ConversionSettings::*size;
    std::span<const FrameRateEntry> rates;
    int ConversionSettings::*rate;
    std::span<const AspectEntry> aspects;  // empty: the format flags none
    int ConversionSettings::*aspect;
    // The encoder's words for a constant-quality format: its video codec and
    // its speed preset.
    const char* videoEncoder = "";
    const char* speedPreset = "";
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
// The row of a format; formats outside the table get a row without lists
// whose sizes are AVI's.
const FormatEntry& Format(int format);
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

// The settings dialog's lists for a format (formats outside the table included).
ChoiceList QualityList(int format);
ChoiceList VideoCodecList(int format);
ChoiceList AudioCodecList(int format);
ChoiceList TvModeList(int format);
ChoiceList ResolutionList(int format);
ChoiceList FrameRateList(int format);
ChoiceList AspectList(int format);

// The quality field that serves a format; null outside the table.
int ConversionSettings::*QualityField(int format);

// The quality step the settings choose; a constant-quality format takes its
// middle step for a stored position outside its list, the others null.
const QualityPreset* ChosenQuality(const ConversionSettings& settings);

}  // namespace FormatCatalogue

// The frame size an output is encoded at; 0 by 0 keeps the source's size.
struct FrameSize {
    int width = 0;
    int height = 0;
};

// The rates an output is encoded at, in kbit/s; 0 where the format's
// quality step gives none.
struct Bitrates {
    int video = 0;
    int audio = 0;
};

// A disc batch fitted to its disc takes at most `fittedVideoKbps` for its video.
Bitrates ResolveBitrates(const ConversionSettings& settings, int fittedVideoKbps = 0);
FrameSize ResolveFrameSize(const ConversionSettings& settings);
double ResolveFrameRate(const ConversionSettings& settings, double sourceFrameRate);
// The aspect entry the format flags its output with, the default's for a
// stored position out of range; null for the formats that flag none.
const AspectEntry* ChosenAspect(const ConversionSettings& settings);
std::string AspectRatioText(const ConversionSettings& settings);
std::string OutputExtension(int format);
std::string VolumeLabel(int position);
int WmvQuantiser(int qualityIndex);
