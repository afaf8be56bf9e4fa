#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

const DialogTemplate& FileSettingsDialogTemplate() {
    static const DialogTemplate dialog{
        167,
        "File settings",
        240,
        232,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {kNoId, ControlKind::Static, "Sound tracks to keep", 7, 7, 120, 8},
            {IDC_FILE_TRACKS, ControlKind::ListView, "", 7, 18, 226, 60,
             StyleSingleSelection | StyleBorder | StyleTabStop},
            {kNoId, ControlKind::Static, "Played first", 7, 87, 48, 8},
            {IDC_FILE_FIRST_TRACK, ControlKind::DropDownList, "", 80, 85, 110, 80, StyleVScroll | StyleTabStop},
            {kNoId, ControlKind::Static, "Subtitles to keep", 7, 104, 120, 8},
            {IDC_FILE_SUBTITLES, ControlKind::ListView, "", 7, 115, 226, 50,
             StyleSingleSelection | StyleBorder | StyleTabStop},
            {kNoId, ControlKind::Static, "Shown from the start", 7, 174, 70, 8},
            {IDC_FILE_SHOWN_SUBTITLE, ControlKind::DropDownList, "", 80, 172, 110, 80, StyleVScroll | StyleTabStop},
            {IDC_FILE_BURN_SUBTITLE, ControlKind::CheckBox, "Burn into the picture", 80, 189, 110, 10, StyleTabStop},
            {kNoId, ControlKind::EtchedLine, "", 7, 204, 226, 1},
            {ID_OK, ControlKind::PushButton, "Ok", 146, 212, 40, 12, StyleTabStop},
            {ID_CANCEL, ControlKind::PushButton, "Cancel", 193, 212, 40, 12, StyleTabStop},
        },
        {}};
    return dialog;
}
