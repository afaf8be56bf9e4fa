#include "core/DiscMenuLayout.h"

#include <cstdlib>

namespace {

constexpr int kColumns = 3;
constexpr int kStillWidth = 160;
constexpr int kFrameMargin = 6;  // between a still and its highlight
constexpr int kCellGap = 4;      // between a button and the next
constexpr int kTextGap = 6;
constexpr int kTextHeight = 30;
constexpr int kNavigationHeight = 36;

// spumux wants a button's edges on even lines, so that both fields of an
// interlaced picture show them.
int Even(int value) { return value & ~1; }

MenuRect Around(const MenuRect& inner, int margin) {
    return {inner.x - margin, Even(inner.y - margin), inner.width + 2 * margin, Even(inner.height + 2 * margin)};
}

}  // namespace

DiscMenuLayout::DiscMenuLayout(int frameWidth, int frameHeight, const std::vector<std::string>& names)
    : m_width(frameWidth), m_height(frameHeight) {
    const int pageCount = std::max<int>(1, (static_cast<int>(names.size()) + kButtonsPerPage - 1) / kButtonsPerPage);
    for (int page = 0; page < pageCount; ++page) m_pages.push_back(MakePage(page, pageCount, names));
}

DiscMenuPage DiscMenuLayout::MakePage(int page, int pageCount, const std::vector<std::string>& names) const {
    const int left = Even(m_width / 10), top = Even(m_height / 10);
    const int cellWidth = (m_width - 2 * left) / kColumns;
    // A still keeps the frame's own proportions: it shows as the output does.
    const int stillHeight = Even(kStillWidth * m_height / m_width);
    const int rowHeight = kFrameMargin + stillHeight + kTextGap + kTextHeight;
    const int rowGap = (m_height - 2 * top - kNavigationHeight - 2 * rowHeight) / 2;

    DiscMenuPage result;
    const int first = page * kButtonsPerPage;
    const int count = std::min<int>(kButtonsPerPage, static_cast<int>(names.size()) - first);
    for (int i = 0; i < count; ++i) {
        DiscMenuButton button;
        button.title = first + i + 1;
        button.label = names[static_cast<std::size_t>(first + i)];
        const int cellX = left + (i % kColumns) * cellWidth;
        const int y = top + kFrameMargin + (i / kColumns) * (rowHeight + rowGap);
        button.still = {cellX + (cellWidth - kStillWidth) / 2, y, kStillWidth, stillHeight};
        // The name may be wider than the still: the highlight outlines both.
        button.text = {cellX + kCellGap, y + stillHeight + kTextGap, cellWidth - 2 * kCellGap, kTextHeight};
        button.frame = Around(button.still, kFrameMargin);
        button.frame.x = button.text.x;
        button.frame.width = button.text.width;
        button.frame.height = Even(button.text.y + button.text.height - button.frame.y);
        result.buttons.push_back(button);
    }
    const int navigationY = m_height - top - kNavigationHeight;
    auto addNavigation = [&](DiscMenuButton::Kind kind, const char* label, int column) {
        DiscMenuButton button;
        button.kind = kind;
        button.label = label;
        button.text = {left + column * cellWidth + (cellWidth - kStillWidth) / 2, navigationY + 2, kStillWidth,
                       kTextHeight};
        button.frame = Around(button.text, 2);
        result.buttons.push_back(button);
    };
    if (page > 0) addNavigation(DiscMenuButton::Kind::Previous, "Previous", 0);
    addNavigation(DiscMenuButton::Kind::PlayAll, "Play all", 1);
    if (page + 1 < pageCount) addNavigation(DiscMenuButton::Kind::Next, "Next", 2);
    LinkNeighbours(result);
    return result;
}

// Left and right step through the reading order, round the page; up and
// down go to the nearest button of the row above or below.
void DiscMenuLayout::LinkNeighbours(DiscMenuPage& page) {
    std::vector<DiscMenuButton>& buttons = page.buttons;
    const int count = static_cast<int>(buttons.size());
    auto centre = [](const MenuRect& rect) { return rect.x + rect.width / 2; };
    auto nearestInRow = [&](int from, int direction) {
        int rowY = -1, best = from;
        for (int step = 1; step < count; ++step) {
            int i = direction > 0 ? from + step : from - step;
            if (i < 0 || i >= count) break;
            if (buttons[i].frame.y == buttons[from].frame.y) continue;
            if (rowY < 0) rowY = buttons[i].frame.y;
            if (buttons[i].frame.y != rowY) break;
            if (best == from || std::abs(centre(buttons[i].frame) - centre(buttons[from].frame)) <
                                    std::abs(centre(buttons[best].frame) - centre(buttons[from].frame)))
                best = i;
        }
        return best + 1;
    };
    for (int i = 0; i < count; ++i) {
        buttons[i].left = (i + count - 1) % count + 1;
        buttons[i].right = (i + 1) % count + 1;
        buttons[i].up = nearestInRow(i, -1);
        buttons[i].down = nearestInRow(i, +1);
    }
}
