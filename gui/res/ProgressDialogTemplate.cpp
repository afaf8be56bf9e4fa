#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

const DialogTemplate& ProgressDialogTemplate() {
    static const DialogTemplate kTemplate{
        130,
        "Tarvine",
        302,
        79,
        "MS Sans Serif",
        8,
        DialogSystemMenu | DialogMinimizeBox,
        {
            {IDC_PROGRESS_TEXT, ControlKind::Static, "Static", 7, 7, 288, 20, StyleCenterImage},
            {IDC_PROGRESS_BAR, ControlKind::ProgressBar, "", 7, 31, 288, 11},
            {kNoId, ControlKind::EtchedLine, "", 7, 51, 288, 1},
            {IDC_PROGRESS_TIME_LEFT, ControlKind::Static, "", 7, 61, 230, 9},
            {IDC_PROGRESS_CANCEL, ControlKind::PushButton, "Cancel", 245, 58, 50, 14, StyleTabStop},
        },
        {},
    };
    return kTemplate;
}
