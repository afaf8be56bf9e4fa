#include "core/FormatCatalogue.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

namespace {

constexpr unsigned kList = StyleVScroll | StyleTabStop;

std::vector<std::string> DiscAspectTexts() { return FormatCatalogue::AspectTexts(FormatDvd); }

}  // namespace

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate dialog{
        102,
        "Tarvine",
        429,
        285,
        "MS Sans Serif",
        8,
        DialogSystemMenu | DialogMinimizeBox | DialogAppWindow | DialogResizable,
        {
            {IDC_ADD, ControlKind::OwnerDrawButton, "Add", 15, 3, 51, 44, StyleTabStop},
            {IDC_CONVERT, ControlKind::OwnerDrawButton, "Convert", 78, 3, 51, 44, StyleTabStop},
            {IDC_SETTINGS, ControlKind::OwnerDrawButton, "Settings", 141, 3, 51, 44, StyleTabStop},
            {IDC_HELP_BUTTON, ControlKind::OwnerDrawButton, "Help", 217, 3, 51, 44, StyleTabStop},
            {kNoId, ControlKind::EtchedLine, "", 15, 50, 384, 1, StyleNone, GrowWidth},
            {IDC_FILE_LIST, ControlKind::ListView, "", 15, 55, 384, 163,
             StyleSingleSelection | StyleBorder | StyleTabStop, GrowWidth | GrowHeight},
            {IDC_MAIN_DISC_FILL, ControlKind::Static, "", 15, 219, 384, 8, StyleNone, MoveDown | GrowWidth},
            {kNoId, ControlKind::Static, "Output folder", 15, 230, 57, 8, StyleNone, MoveDown},
            {IDC_OUTPUT_FOLDER, ControlKind::Edit, "", 78, 228, 263, 12, StyleBorder | StyleAutoHScroll | StyleTabStop,
             MoveDown | GrowWidth},
            {IDC_CHANGE, ControlKind::PushButton, "Change", 347, 227, 52, 13,
             StyleCenter | StyleCenterImage | StyleTabStop, MoveRight | MoveDown},
            {kNoId, ControlKind::EtchedLine, "", 204, 12, 1, 28, StyleDisabled},
            {IDC_SIDE_ADD, ControlKind::OwnerDrawButton, "", 405, 68, 18, 17, StyleTabStop, MoveRight},
            {IDC_SIDE_REMOVE, ControlKind::OwnerDrawButton, "", 405, 95, 18, 17, StyleTabStop, MoveRight},
            {IDC_SIDE_UP, ControlKind::OwnerDrawButton, "", 405, 122, 18, 17, StyleTabStop, MoveRight},
            {IDC_SIDE_DOWN, ControlKind::OwnerDrawButton, "", 405, 149, 18, 17, StyleTabStop, MoveRight},
            {kNoId, ControlKind::Static, "TV mode", 15, 270, 29, 8, StyleNone, MoveDown},
            {kNoId, ControlKind::Static, "Output format", 15, 251, 53, 8, StyleNone, MoveDown},
            {IDC_MAIN_FORMAT, ControlKind::DropDownList, "", 78, 247, 263, 222, kList, MoveDown | GrowWidth},
            {kNoId, ControlKind::Static, "Aspect ratio", 186, 270, 49, 8, StyleNone, MoveDown},
            {IDC_MAIN_ASPECT, ControlKind::DropDownList, "", 249, 267, 92, 60, kList, MoveDown},
            {IDC_MAIN_TVMODE, ControlKind::DropDownList, "", 78, 267, 92, 55, kList, MoveDown},
            {IDC_SMALL_SETTINGS, ControlKind::PushButton, "Settings", 347, 247, 52, 13, StyleCenter | StyleTabStop,
             MoveRight | MoveDown},
            {IDC_SMALL_CONVERT, ControlKind::PushButton, "Convert", 347, 267, 52, 13, StyleTabStop,
             MoveRight | MoveDown},
        },
        {
            {IDC_MAIN_FORMAT, FormatCatalogue::FormatTexts()},
            {IDC_MAIN_TVMODE, FormatCatalogue::TvModeTexts()},
            {IDC_MAIN_ASPECT, DiscAspectTexts()},
        }};
    return dialog;
}
