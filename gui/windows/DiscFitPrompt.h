#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceList.h"

#include <QString>

#include <optional>

class QWidget;

// How full the disc would be, shown under the list, and the question asked
// before a batch that is to end in a disc image the listed files would overfill.
class DiscFitPrompt {
public:
    // The fill shown while a disc format is chosen; none for other formats.
    // A batch fitted to the disc shows its `fittedVideoKbps`.
    static std::optional<QString> FillText(const ConversionSettings& settings, const SourceList& sources,
                                           int fittedVideoKbps);
    // Nothing to stay, else the video rate to convert at: a DVD or SVCD list
    // may be fitted to the disc, which lowers the rate of this batch alone
    // (the stored quality stays); 0 keeps the preset's.
    static std::optional<int> Ask(QWidget* owner, const ConversionSettings& settings, const SourceList& sources);
};
