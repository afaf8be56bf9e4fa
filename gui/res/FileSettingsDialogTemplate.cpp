#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

const DialogTemplate& FileSettingsDialogTemplate() {
    static const DialogTemplate dialog{
        167,
        "File settings",
        240,
        150,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {kNoId, ControlKind::Static, "Sound tracks to keep", 7, 7, 120, 8},
            {IDC_FILE_TRACKS, ControlKind::ListView, "", 7, 18, 226, 78,
             StyleSingleSelection | StyleBorder | StyleTabStop},
            {kNoId, ControlKind::Static, "Played first", 7, 105, 48, 8},
            {IDC_FILE_FIRST_TRACK, ControlKind::DropDownList, "", 60, 103, 110, 80, StyleVScroll | StyleTabStop},
            {kNoId, ControlKind::EtchedLine, "", 7, 122, 226, 1},
            {ID_OK, ControlKind::PushButton, "Ok", 146, 130, 40, 12, StyleTabStop},
            {ID_CANCEL, ControlKind::PushButton, "Cancel", 193, 130, 40, 12, StyleTabStop},
        },
        {}};
    return dialog;
}
