#pragma once

#include "gui/res/DialogTemplate.h"

// The program's dialog templates, by resource id.
const DialogTemplate& AboutDialogTemplate();           // 100
const DialogTemplate& MainDialogTemplate();            // 102
const DialogTemplate& ProgressDialogTemplate();        // 130
const DialogTemplate& TipDialogTemplate();             // 137
const DialogTemplate& OutputSettingsDialogTemplate();  // 166
const DialogTemplate& FileSettingsDialogTemplate();    // 167
