#pragma once

#include <QStyledItemDelegate>

// Draws list rows as the standard delegate does, but tall enough for every
// glyph of the list's font: with some fonts the underscore reaches below the
// font's descent, and rows only as tall as the font cut it off (or let the
// next row's highlight paint over it).
class ListRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The least row height that shows a line of this font whole, vertically
    // centred, underscores included.
    static int RowHeightFor(const QFontMetrics& metrics);
};
