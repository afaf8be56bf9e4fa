#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceList.h"

// Everything one Convert command needs, handed to the engine whole: the
// settings with the output folder already resolved, the listed files (each
// with its own FileOrder) as they were when Convert was given, and what
// holds for this batch alone.
struct BatchOrder {
    ConversionSettings settings;
    SourceList files;
    // A DVD or SVCD video rate (kbit/s) fitted to the disc; 0 keeps the
    // quality preset's.
    int fittedVideoKbps = 0;
};
