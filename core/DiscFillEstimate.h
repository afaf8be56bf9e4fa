#pragma once

#include "core/ConversionSettings.h"
#include "core/DiscImageNames.h"

#include <functional>
#include <optional>
#include <string>

// How full a disc the listed files would make at the chosen quality: their
// length at the preset's video and audio bitrate plus what the disc's
// container adds, against a 4.7 GB DVD or an 80-minute (700 MB) CD.
class DiscFillEstimate {
public:
    // None for the formats that make no disc.
    static std::optional<DiscFillEstimate> For(const ConversionSettings& settings, double listedSeconds);

    // The share of the disc that files of this many bytes take (1 is full).
    static double ShareOfDisc(DiscKind kind, double fileBytes);

    // The converted files' expected size in bytes.
    double FileBytes() const { return m_fileBytes; }
    double Share() const { return ShareOfDisc(m_kind, m_fileBytes); }
    bool OverCapacity() const { return Share() > 1.0; }

    // "About 3.1 GB of 4.7 GB" (CDs in MB); `number` writes a value with
    // this many decimals, so the window can follow the user's locale.
    using NumberText = std::function<std::string(double value, int decimals)>;
    static std::string FillText(DiscKind kind, double share, const NumberText& number);
    std::string Text(const NumberText& number) const { return FillText(m_kind, Share(), number); }

private:
    DiscFillEstimate(DiscKind kind, double fileBytes) : m_kind(kind), m_fileBytes(fileBytes) {}

    DiscKind m_kind;
    double m_fileBytes;
};
