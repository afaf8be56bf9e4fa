#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

const DialogTemplate& TipDialogTemplate() {
    static const DialogTemplate dialog{
        137,
        "Tip of the Day",
        231,
        143,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {IDC_TIP_PANEL, ControlKind::Panel, "", 20, 17, 190, 111},
            {IDC_TIP_TEXT, ControlKind::Static, "", 22, 57, 189, 52, StyleHidden},
            {IDC_TIP_STARTUP, ControlKind::CheckBox, "&Show Tips on StartUp", 13, 121, 85, 10, StyleTabStop},
            {IDC_TIP_NEXT, ControlKind::PushButton, "&Next Tip", 109, 118, 50, 14, StyleTabStop},
            {ID_OK, ControlKind::DefaultPushButton, "&Close", 168, 118, 50, 14, StyleTabStop},
        },
        {}};
    return dialog;
}
