#pragma once

#include "core/DiscMenuLayout.h"

#include <cstddef>
#include <string>

// Draws a DVD menu's pages. The drawing needs a graphics library, which the
// core and the runner do without: the program that makes discs hands one in.
class DiscMenuArtist {
public:
    virtual ~DiscMenuArtist() = default;

    // Draws page `page` into `folder`, under the names DiscAuthoring gives:
    // the background with the stills found there, and the highlight and
    // select pictures. Returns the sentence why not, or nothing.
    virtual std::string DrawPage(const DiscMenuLayout& menu, std::size_t page, const std::string& folder) const = 0;
};
