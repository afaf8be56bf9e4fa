#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceList.h"

// Everything one Convert command needs, handed to the engine whole: the
// settings with the output folder already resolved, and the listed files
// (each with its own FileOrder) as they were when Convert was given.
struct BatchOrder {
    ConversionSettings settings;
    SourceList files;
};
