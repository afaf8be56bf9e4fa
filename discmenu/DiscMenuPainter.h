#pragma once

#include "core/DiscMenuArtist.h"

#include <QStringList>

// Draws a DVD menu's pages with Qt's painter, which needs a GUI application
// (the offscreen platform will do) but no window: a dark background with
// the menu's title and each file's still and its name in light letters,
// and the highlight and select pictures spumux turns into the buttons'
// subpictures, each in a single colour without smoothing, as a DVD
// subpicture's few colours ask.
class DiscMenuPainter : public DiscMenuArtist {
public:
    std::string DrawPage(const DiscMenuLayout& menu, std::size_t page, const std::string& folder) const override;

    // A label's lines in `width` pixels, in the labels' letters: broken at
    // spaces, else (when that takes more than two lines) anywhere, and
    // shortened in the middle only when two lines still do not hold it.
    static QStringList LabelLines(const QString& name, int width);
};
