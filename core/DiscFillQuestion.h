#pragma once

#include "core/ConversionSettings.h"
#include "core/DiscFillEstimate.h"

#include <optional>
#include <string>

// What the user is told before a list over one disc's capacity is converted
// into a disc image: how full the disc would be and, when no lower video
// rate fits the list on one disc, how many discs it needs.
struct DiscFillQuestion {
    std::string text;     // the sentences before the question itself
    int fittingKbps = 0;  // the video rate that fits the list on one disc; 0 when none does

    // None when the batch makes no disc image or the list fits.
    static std::optional<DiscFillQuestion> For(const ConversionSettings& settings, double listedSeconds, int files,
                                               const DiscFillEstimate::NumberText& number);
};
