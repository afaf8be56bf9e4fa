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
    static std::optional<QString> FillText(const ConversionSettings& settings, const SourceList& sources);
    // True to convert. A DVD or SVCD list may be fitted to the disc: its
    // video rate is lowered for this batch (settings.fittedVideoKbps), the
    // stored quality stays.
    static bool Ask(QWidget* owner, ConversionSettings& settings, const SourceList& sources);
};
