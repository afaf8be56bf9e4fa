#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

namespace {
constexpr int kTracks = 1;
constexpr int kPicture = 2;
}  // namespace

const DialogTemplate& FileSettingsDialogTemplate() {
    static const DialogTemplate dialog{
        167,
        "File settings",
        320,
        262,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {IDC_FILE_PAGES, ControlKind::TabBar, "", 7, 5, 306, 14, StyleTabStop},

            {kNoId, ControlKind::Static, "Sound tracks to keep", 7, 26, 120, 8, 0, 0, kTracks},
            {IDC_FILE_TRACKS, ControlKind::ListView, "", 7, 37, 306, 66,
             StyleSingleSelection | StyleBorder | StyleTabStop, 0, kTracks},
            {kNoId, ControlKind::Static, "Played first", 7, 112, 70, 8, 0, 0, kTracks},
            {IDC_FILE_FIRST_TRACK, ControlKind::DropDownList, "", 80, 110, 110, 80, StyleVScroll | StyleTabStop, 0,
             kTracks},
            {kNoId, ControlKind::Static, "Subtitles to keep", 7, 130, 120, 8, 0, 0, kTracks},
            {IDC_FILE_SUBTITLES, ControlKind::ListView, "", 7, 141, 306, 58,
             StyleSingleSelection | StyleBorder | StyleTabStop, 0, kTracks},
            {kNoId, ControlKind::Static, "Shown from the start", 7, 208, 70, 8, 0, 0, kTracks},
            {IDC_FILE_SHOWN_SUBTITLE, ControlKind::DropDownList, "", 80, 206, 110, 80, StyleVScroll | StyleTabStop, 0,
             kTracks},
            {IDC_FILE_BURN_SUBTITLE, ControlKind::CheckBox, "Burn into the picture", 80, 222, 110, 10, StyleTabStop, 0,
             kTracks},

            {IDC_FILE_PREVIEW, ControlKind::Static, "", 7, 26, 200, 113, StyleCenter | StyleCenterImage | StyleBorder,
             0, kPicture},
            {IDC_FILE_OUTPUT_SHAPE, ControlKind::Static, "", 214, 26, 99, 48, 0, 0, kPicture},
            {IDC_FILE_POSITION, ControlKind::Trackbar, "", 5, 143, 310, 14, StyleNoTicks | StyleTabStop, 0, kPicture},
            {IDC_FILE_POSITION_TEXT, ControlKind::Static, "", 7, 159, 200, 8, 0, 0, kPicture},
            {kNoId, ControlKind::Static, "Start", 7, 176, 30, 8, 0, 0, kPicture},
            {IDC_FILE_START, ControlKind::Edit, "", 40, 174, 62, 12, StyleBorder | StyleTabStop, 0, kPicture},
            {IDC_FILE_SET_START, ControlKind::PushButton, "Here", 106, 174, 36, 12, StyleTabStop, 0, kPicture},
            {kNoId, ControlKind::Static, "End", 164, 176, 24, 8, 0, 0, kPicture},
            {IDC_FILE_END, ControlKind::Edit, "", 190, 174, 62, 12, StyleBorder | StyleTabStop, 0, kPicture},
            {IDC_FILE_SET_END, ControlKind::PushButton, "Here", 256, 174, 36, 12, StyleTabStop, 0, kPicture},
            {kNoId, ControlKind::Static, "Crop", 7, 196, 30, 8, 0, 0, kPicture},
            {IDC_FILE_CROP, ControlKind::DropDownList, "", 40, 194, 80, 60, StyleVScroll | StyleTabStop, 0, kPicture},
            {IDC_FILE_CROP_RESULT, ControlKind::Static, "", 126, 196, 187, 8, 0, 0, kPicture},
            {kNoId, ControlKind::Static, "Left", 7, 216, 30, 8, 0, 0, kPicture},
            {IDC_FILE_CROP_LEFT, ControlKind::Edit, "", 40, 214, 36, 12, StyleBorder | StyleTabStop, 0, kPicture},
            {kNoId, ControlKind::Static, "Top", 84, 216, 20, 8, 0, 0, kPicture},
            {IDC_FILE_CROP_TOP, ControlKind::Edit, "", 106, 214, 36, 12, StyleBorder | StyleTabStop, 0, kPicture},
            {kNoId, ControlKind::Static, "Right", 152, 216, 24, 8, 0, 0, kPicture},
            {IDC_FILE_CROP_RIGHT, ControlKind::Edit, "", 178, 214, 36, 12, StyleBorder | StyleTabStop, 0, kPicture},
            {kNoId, ControlKind::Static, "Bottom", 222, 216, 30, 8, 0, 0, kPicture},
            {IDC_FILE_CROP_BOTTOM, ControlKind::Edit, "", 254, 214, 36, 12, StyleBorder | StyleTabStop, 0, kPicture},

            {kNoId, ControlKind::EtchedLine, "", 7, 234, 306, 1},
            {ID_OK, ControlKind::PushButton, "Ok", 226, 242, 40, 12, StyleTabStop},
            {ID_CANCEL, ControlKind::PushButton, "Cancel", 273, 242, 40, 12, StyleTabStop},
        },
        {{IDC_FILE_PAGES, {"Tracks", "Picture"}}, {IDC_FILE_CROP, {"None", "Automatic", "Custom"}}}};
    return dialog;
}
