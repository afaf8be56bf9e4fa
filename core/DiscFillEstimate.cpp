#include "core/DiscFillEstimate.h"

#include "core/FormatCatalogue.h"

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

}  // namespace

std::optional<DiscFillEstimate> DiscFillEstimate::For(const ConversionSettings& settings, double listedSeconds) {
    std::optional<DiscKind> kind = DiscKindOf(settings.outputFormat);
    if (!kind) return std::nullopt;
    EncodeTargets targets;
    ResolveBitrates(settings, targets);
    double streamBytesPerSecond = (targets.videoBitrate + targets.audioBitrate) * 1000 / 8.0;
    double bytesPerSecond = *kind == DiscKind::Vcd   ? kVcdMuxBytesPerSecond
                            : *kind == DiscKind::Dvd ? streamBytesPerSecond * kDvdMuxOverhead
                                                     : streamBytesPerSecond * kSvcdMuxOverhead;
    return DiscFillEstimate(*kind, listedSeconds * bytesPerSecond);
}

double DiscFillEstimate::ShareOfDisc(DiscKind kind, double fileBytes) {
    if (kind == DiscKind::Dvd) return fileBytes / kDvdBytes;
    return fileBytes / kCdSectorPayload / kCdSectors;
}

std::string DiscFillEstimate::FillText(DiscKind kind, double share, const NumberText& number) {
    if (kind != DiscKind::Dvd)
        return "About " + number(share * kCdShownMegabytes, 0) + " MB of " + number(kCdShownMegabytes, 0) + " MB";
    // Less than a gigabyte reads in megabytes, so a short list does not show as 0.0 GB.
    double bytes = share * kDvdBytes;
    std::string fill = bytes < 1e9 ? number(bytes / 1e6, 0) + " MB" : number(bytes / 1e9, 1) + " GB";
    return "About " + fill + " of " + number(kDvdBytes / 1e9, 1) + " GB";
}
