#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

const DialogTemplate& AboutDialogTemplate() {
    static const DialogTemplate dialog{
        100,
        "About Tarvine",
        230,
        146,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {kNoId, ControlKind::Icon, "", 4, 7, 21, 20},
            {IDC_ABOUT_PRODUCT, ControlKind::Static, "Tarvine 1.0", 30, 12, 145, 8},
            {ID_OK, ControlKind::DefaultPushButton, "OK", 184, 9, 33, 12, StyleTabStop},
            {kNoId, ControlKind::SunkenLine, "", 9, 28, 207, 1},
            {IDC_ABOUT_HOMEPAGE, ControlKind::Static, "Home page", 85, 34, 38, 8, StyleNotify},
            {IDC_ABOUT_ORDER, ControlKind::Static, "Online order", 85, 45, 40, 8, StyleNotify},
            {IDC_ABOUT_SUPPORT, ControlKind::Static, "Technical support", 85, 55, 57, 8, StyleNotify},
            {kNoId, ControlKind::Static, "Batch video conversion for players, discs and the web.", 9, 76, 207, 10,
             StyleCenter},
            {kNoId, ControlKind::SunkenLine, "", 9, 98, 207, 1},
            {kNoId, ControlKind::Static,
             "Copyright \xC2\xA9 The Tarvine developers. All rights reserved.\n"
             "Built with Qt and the FFmpeg libraries (LGPL).\n"
             "This program is provided as is, without warranty of any kind.\n"
             "Convert only videos that you own or have the right to copy.\n"
             "Copying protected works may be unlawful where you live.",
             9, 103, 207, 40},
        },
        {}};
    return dialog;
}
