#pragma once

#include "core/ConversionSettings.h"
#include "core/DiscImageNames.h"

#include <functional>
#include <optional>
#include <string>

// A DVD or SVCD video rate that makes a list fill one disc, or the number
// of discs the list needs when no rate the picture stands does.
struct DiscFit {
    int videoKbps = 0;  // 0 when it needs more than one disc
    int discs = 1;
};

// How full a disc the listed files would make at the chosen quality (or a
// rate fitted to the disc): their length at the video and audio bitrate
// plus what the disc's container adds, and a DVD's menu, against a 4.7 GB
// DVD or an 80-minute (700 MB) CD.
class DiscFillEstimate {
public:
    // None for the formats that make no disc. `files` counts the menu's pages.
    static std::optional<DiscFillEstimate> For(const ConversionSettings& settings, double listedSeconds, int files = 0,
                                               int fittedVideoKbps = 0);

    // The video rate that fills the disc (`discBytes`, a real one when 0)
    // with the list, after sound, menu and multiplex overhead and a 2%
    // margin: never above the preset's, never below the rate where the
    // picture breaks up. None for VCD, whose rate its standard fixes, and
    // for the formats that make no disc.
    static std::optional<DiscFit> Fit(const ConversionSettings& settings, double listedSeconds, int files,
                                      double discBytes = 0);

    // The share of the disc that files of this many bytes take (1 is full).
    static double ShareOfDisc(DiscKind kind, double fileBytes);

    // The converted files' expected size in bytes.
    double FileBytes() const { return m_fileBytes; }
    double Share() const { return ShareOfDisc(m_kind, m_fileBytes); }
    bool OverCapacity() const { return Share() > 1.0; }

    // "About 3.1 GB of 4.7 GB" (CDs in MB), and ", video fitted to
    // 3,693 kbit/s" after a fit; `number` writes a value with this many
    // decimals, so the window can follow the user's locale.
    using NumberText = std::function<std::string(double value, int decimals)>;
    static std::string FillText(DiscKind kind, double share, const NumberText& number);
    std::string Text(const NumberText& number) const;

private:
    DiscFillEstimate(DiscKind kind, double fileBytes, int fittedKbps)
        : m_kind(kind), m_fileBytes(fileBytes), m_fittedKbps(fittedKbps) {}

    DiscKind m_kind;
    double m_fileBytes;
    int m_fittedKbps;
};
