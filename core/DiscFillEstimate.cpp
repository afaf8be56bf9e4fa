#include "core/DiscFillEstimate.h"

#include "core/DiscMenuLayout.h"
#include "core/FormatCatalogue.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDvdBytes = 4.7e9;
// An 80-minute CD: 75 sectors a second. A VCD or SVCD stream fills the
// 2324-byte payload of each sector; a burner counts the disc as 700 MB.
constexpr double kCdSectors = 80 * 60 * 75;
constexpr double kCdSectorPayload = 2324;
constexpr double kCdShownMegabytes = 700;

// A VCD stream is multiplexed at the CD's own pace, one sector's payload
// per 75th of a second: the muxer pads to it, whatever the preset spends.
constexpr double kVcdMuxBytesPerSecond = 75 * kCdSectorPayload;
// Pack and packet headers (and, on DVD, a navigation pack per group of
// pictures) on top of the elementary streams.
constexpr double kSvcdMuxOverhead = 1.03;
constexpr double kDvdMuxOverhead = 1.045;

// A menu page: its still picture with its buttons, and its share of the
// disc's tables.
constexpr double kMenuPageBytes = 200'000;
// What a fitted rate leaves free: the file system and the disc's tables,
// and a share for the encoder's overshoot and the estimate's error.
constexpr double kDiscTablesBytes = 1'000'000;
constexpr double kFitMargin = 0.02;
// Below these video rates a full-size MPEG-2 picture breaks up into blocks.
constexpr int kDvdFloorKbps = 1000;
constexpr int kSvcdFloorKbps = 800;

double MuxOverhead(DiscKind kind) { return kind == DiscKind::Dvd ? kDvdMuxOverhead : kSvcdMuxOverhead; }

double MenuBytes(const ConversionSettings& settings, DiscKind kind, int files) {
    if (kind != DiscKind::Dvd || settings.discMenu == 0 || files <= 0) return 0;
    int pages = (files + DiscMenuLayout::kButtonsPerPage - 1) / DiscMenuLayout::kButtonsPerPage;
    return pages * kMenuPageBytes;
}

double DiscBytes(DiscKind kind) { return kind == DiscKind::Dvd ? kDvdBytes : kCdSectors * kCdSectorPayload; }

}  // namespace

std::optional<DiscFillEstimate> DiscFillEstimate::For(const ConversionSettings& settings, double listedSeconds,
                                                      int files, int fittedVideoKbps) {
    std::optional<DiscKind> kind = DiscKindOf(settings.outputFormat);
    if (!kind) return std::nullopt;
    const Bitrates rates = ResolveBitrates(settings, fittedVideoKbps);
    double streamBytesPerSecond = (rates.video + rates.audio) * 1000 / 8.0;
    double bytesPerSecond = *kind == DiscKind::Vcd ? kVcdMuxBytesPerSecond : streamBytesPerSecond * MuxOverhead(*kind);
    int fitted = *kind == DiscKind::Vcd ? 0 : fittedVideoKbps;
    return DiscFillEstimate(*kind, listedSeconds * bytesPerSecond + MenuBytes(settings, *kind, files), fitted);
}

std::optional<DiscFit> DiscFillEstimate::Fit(const ConversionSettings& settings, double listedSeconds, int files,
                                             double discBytes) {
    std::optional<DiscKind> kind = DiscKindOf(settings.outputFormat);
    if (!kind || *kind == DiscKind::Vcd || listedSeconds <= 0) return std::nullopt;
    if (discBytes <= 0) discBytes = DiscBytes(*kind);
    const Bitrates preset = ResolveBitrates(settings);
    const double streamBytes = discBytes * (1 - kFitMargin) - kDiscTablesBytes - MenuBytes(settings, *kind, files);
    const double kbps = streamBytes / listedSeconds / MuxOverhead(*kind) * 8 / 1000 - preset.audio;
    const int floor = *kind == DiscKind::Dvd ? kDvdFloorKbps : kSvcdFloorKbps;
    if (kbps >= floor) return DiscFit{std::min(preset.video, static_cast<int>(kbps)), 1};
    // At the floor, each disc takes what fits of the list.
    const double secondsPerDisc = streamBytes / ((floor + preset.audio) * 1000 / 8.0 * MuxOverhead(*kind));
    return DiscFit{0, static_cast<int>(std::ceil(listedSeconds / secondsPerDisc))};
}

std::string DiscFillEstimate::Text(const NumberText& number) const {
    std::string text = FillText(m_kind, Share(), number);
    if (m_fittedKbps > 0) text += ", video fitted to " + number(m_fittedKbps, 0) + " kbit/s";
    return text;
}

double DiscFillEstimate::ShareOfDisc(DiscKind kind, double fileBytes) { return fileBytes / DiscBytes(kind); }

std::string DiscFillEstimate::FillText(DiscKind kind, double share, const NumberText& number) {
    if (kind != DiscKind::Dvd)
        return "About " + number(share * kCdShownMegabytes, 0) + " MB of " + number(kCdShownMegabytes, 0) + " MB";
    // Less than a gigabyte reads in megabytes, so a short list does not show as 0.0 GB.
    double bytes = share * kDvdBytes;
    std::string fill = bytes < 1e9 ? number(bytes / 1e6, 0) + " MB" : number(bytes / 1e9, 1) + " GB";
    return "About " + fill + " of " + number(kDvdBytes / 1e9, 1) + " GB";
}
