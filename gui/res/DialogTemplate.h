#pragma once

#include <string>
#include <vector>

// Declarative dialog templates: every control with its id, kind, text and
// position in dialog units, in template order (which is also the tab order).

inline constexpr int kNoId = -1;

enum class ControlKind {
    Static,  // text label
    Edit,    // single-line edit box
    PushButton,
    DefaultPushButton,
    OwnerDrawButton,  // drawn by its own class
    CheckBox,
    DropDownList,  // combo box without edit field; height is the dropped-down height
    ListView,      // report view with columns
    Trackbar,
    ProgressBar,
    EtchedLine,  // horizontal or vertical by its shape
    SunkenLine,
    Icon,
    Panel,   // empty static frame used as a painting area
    TabBar,  // the dialog's pages, named by the template's list of its id
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleTabStop = 1u << 0,
    StyleVScroll = 1u << 1,
    StyleCenter = 1u << 2,       // text centred horizontally
    StyleCenterImage = 1u << 3,  // text centred vertically
    StyleRight = 1u << 4,
    StyleHidden = 1u << 5,
    StyleDisabled = 1u << 6,
    StyleBorder = 1u << 7,
    StyleAutoHScroll = 1u << 8,
    StyleSingleSelection = 1u << 9,
    StyleNoTicks = 1u << 10,
    StyleNotify = 1u << 11,
};

enum DialogStyle : unsigned {
    DialogSystemMenu = 1u << 0,
    DialogMinimizeBox = 1u << 1,
    DialogAppWindow = 1u << 2,  // shown on the task bar
    DialogResizable = 1u << 3,  // with a maximise box; the template size is the smallest
};

// How a control of a resizable dialog follows the dialog's growth. Without
// an anchor it keeps its place and size.
enum ControlAnchor : unsigned {
    AnchorNone = 0,
    MoveRight = 1u << 0,   // keeps its distance to the right edge
    MoveDown = 1u << 1,    // keeps its distance to the bottom edge
    GrowWidth = 1u << 2,   // takes the extra width
    GrowHeight = 1u << 3,  // takes the extra height
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;
    unsigned style = StyleNone;
    unsigned anchor = AnchorNone;
    // On a dialog with a tab bar: the page it shows on, from 1; 0 on every page.
    int page = 0;
};

struct ListInit {
    int id;
    std::vector<std::string> entries;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int width, height;
    std::string fontFace;
    int pointSize;
    unsigned style;
    std::vector<ControlTemplate> controls;
    std::vector<ListInit> lists;  // initial contents of list boxes
};
