#pragma once

#include <string>
#include <vector>

// A rectangle in the menu's picture, in stored pixels.
struct MenuRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One button of a menu page. The remote's arrows lead to the neighbours
// (numbers of buttons on the same page, from 1).
struct DiscMenuButton {
    enum class Kind { Title, PlayAll, Previous, Next };

    Kind kind = Kind::Title;
    int title = 0;      // Title: the title it plays, from 1
    std::string label;  // the file's name, or the button's word
    MenuRect frame;     // what its highlight outlines
    MenuRect still;     // Title: the file's still
    MenuRect text;      // where the label stands
    int up = 0, down = 0, left = 0, right = 0;
};

struct DiscMenuPage {
    std::vector<DiscMenuButton> buttons;  // in reading order
};

// Where everything stands on the pages of a DVD's menu: the menu's title on
// top, then one button per title in list order, up to six a page in two rows
// of three, each a still of its file with its name below on up to two lines,
// then a row with "Previous" (after the first page), "Play all" and "Next"
// (before the last page). Everything stays inside the TV's safe area (a
// tenth of the frame on each side), the letters are 24 pixels high, legible
// on a TV, and neighbouring names keep a clear gap between them, also where
// a 4:3 TV shows the stored pixels narrower than they are.
class DiscMenuLayout {
public:
    static constexpr int kButtonsPerPage = 6;
    static constexpr int kTextPixels = 24;
    static constexpr int kLineHeight = 28;  // of a label's or the title's line
    static constexpr int kLabelLines = 2;
    static constexpr int kLabelSpacing = 16;  // between neighbouring labels, in stored pixels

    // `names` in title order; the frame is the disc's stored picture
    // (720x480 or 720x576).
    DiscMenuLayout(int frameWidth, int frameHeight, const std::vector<std::string>& names, std::string title);

    int FrameWidth() const { return m_width; }
    int FrameHeight() const { return m_height; }
    const std::string& Title() const { return m_title; }
    // Where the title stands, the same on every page.
    MenuRect TitleArea() const;
    const std::vector<DiscMenuPage>& Pages() const { return m_pages; }

private:
    DiscMenuPage MakePage(int page, int pageCount, const std::vector<std::string>& names) const;
    static void LinkNeighbours(DiscMenuPage& page);

    int m_width;
    int m_height;
    std::string m_title;
    std::vector<DiscMenuPage> m_pages;
};
