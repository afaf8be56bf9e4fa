#include "gui/widgets/ListRowDelegate.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

// Room kept above and below the text, in pixels.
constexpr int kRowPadding = 1;

}  // namespace

int ListRowDelegate::RowHeightFor(const QFontMetrics& metrics) {
    // How far the underscore reaches below the line the font reserves; the
    // text is centred, so the row grows by as much above as below.
    int lowest = metrics.ascent() + metrics.boundingRect(QLatin1Char('_')).bottom() + 1;
    int overhang = std::max(0, lowest - metrics.height());
    return metrics.height() + 2 * (overhang + kRowPadding);
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), RowHeightFor(option.fontMetrics)));
    return size;
}
