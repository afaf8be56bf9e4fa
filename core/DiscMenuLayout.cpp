#include "core/DiscMenuLayout.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kColumns = 3;
constexpr int kLargestStillWidth = 160;
constexpr int kFrameMargin = 6;  // between a still and its highlight
constexpr int kTextGap = 6;      // between a still and its name
constexpr int kRowSpacing = 8;   // at least, between the title, the rows and the navigation
constexpr int kTitleHeight = DiscMenuLayout::kLineHeight + 8;
constexpr int kLabelHeight = DiscMenuLayout::kLabelLines * DiscMenuLayout::kLineHeight;
constexpr int kNavigationWidth = 160;
constexpr int kNavigationHeight = 36;

// spumux wants a button's edges on even lines, so that both fields of an
// interlaced picture show them.
int Even(int value) { return value & ~1; }

MenuRect Around(const MenuRect& inner, int margin) {
    return {inner.x - margin, Even(inner.y - margin), inner.width + 2 * margin, Even(inner.height + 2 * margin)};
}

int SafeLeft(int width) { return Even(width / 10); }
int SafeTop(int height) { return Even(height / 10); }

}  // namespace

DiscMenuLayout::DiscMenuLayout(int frameWidth, int frameHeight, const std::vector<std::string>& names,
                               std::string title)
    : m_width(frameWidth), m_height(frameHeight), m_title(std::move(title)) {
    const int pageCount = std::max<int>(1, (static_cast<int>(names.size()) + kButtonsPerPage - 1) / kButtonsPerPage);
    for (int page = 0; page < pageCount; ++page) m_pages.push_back(MakePage(page, pageCount, names));
}

MenuRect DiscMenuLayout::TitleArea() const {
    return {SafeLeft(m_width), SafeTop(m_height), m_width - 2 * SafeLeft(m_width), kTitleHeight};
}

DiscMenuPage DiscMenuLayout::MakePage(int page, int pageCount, const std::vector<std::string>& names) const {
    const int left = SafeLeft(m_width), top = SafeTop(m_height);
    const int cellWidth = (m_width - 2 * left) / kColumns;
    const int rowsTop = Even(top + kTitleHeight + kRowSpacing);
    const int navigationY = m_height - top - kNavigationHeight;
    const int rowsRoom = navigationY - kRowSpacing - rowsTop;
    // The stills take what the two rows of names leave, keeping the frame's
    // own proportions: each shows as the output does.
    const int fixedHeight = kFrameMargin + kTextGap + kLabelHeight;
    const int stillHeight =
        Even(std::min((rowsRoom - kRowSpacing) / 2 - fixedHeight, kLargestStillWidth * m_height / m_width));
    const int stillWidth = stillHeight * m_width / m_height;
    const int rowHeight = fixedHeight + stillHeight;
    const int rowStep = Even(rowHeight + (rowsRoom - 2 * rowHeight));

    DiscMenuPage result;
    const int first = page * kButtonsPerPage;
    const int count = std::min<int>(kButtonsPerPage, static_cast<int>(names.size()) - first);
    for (int i = 0; i < count; ++i) {
        DiscMenuButton button;
        button.title = first + i + 1;
        button.label = names[static_cast<std::size_t>(first + i)];
        const int cellX = left + (i % kColumns) * cellWidth;
        const int frameY = rowsTop + (i / kColumns) * rowStep;
        button.still = {cellX + (cellWidth - stillWidth) / 2, frameY + kFrameMargin, stillWidth, stillHeight};
        // The name is wider than the still: the highlight outlines both.
        button.text = {cellX + kLabelSpacing / 2, button.still.y + stillHeight + kTextGap, cellWidth - kLabelSpacing,
                       kLabelHeight};
        button.frame = {button.text.x, frameY, button.text.width, Even(button.text.y + kLabelHeight - frameY)};
        result.buttons.push_back(button);
    }
    auto addNavigation = [&](DiscMenuButton::Kind kind, const char* label, int column) {
        DiscMenuButton button;
        button.kind = kind;
        button.label = label;
        button.text = {left + column * cellWidth + (cellWidth - kNavigationWidth) / 2, navigationY + 2,
                       kNavigationWidth, kNavigationHeight - 6};
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
