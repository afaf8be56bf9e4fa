#include "core/FormatCatalogue.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"

namespace {

constexpr unsigned kList = StyleVScroll | StyleTabStop;

std::vector<std::string> AviQualityTexts() {
    std::vector<std::string> texts;
    for (const QualityPreset& preset : FormatCatalogue::AviQualities()) texts.emplace_back(preset.text);
    return texts;
}

}  // namespace

const DialogTemplate& OutputSettingsDialogTemplate() {
    static const DialogTemplate dialog{
        166,
        "Output Settings",
        279,
        205,
        "Arial",
        9,
        DialogSystemMenu,
        {
            {kNoId, ControlKind::Static, "Output format", 12, 10, 43, 8},
            {IDC_SET_FORMAT, ControlKind::DropDownList, "", 65, 8, 198, 97, kList},
            {kNoId, ControlKind::Static, "Output quality", 12, 28, 43, 8},
            {IDC_SET_QUALITY, ControlKind::DropDownList, "", 65, 26, 198, 80, kList},
            {kNoId, ControlKind::Static, "Video codec", 12, 46, 39, 8},
            {IDC_SET_VIDEO_CODEC, ControlKind::DropDownList, "", 65, 44, 65, 41, kList},
            {kNoId, ControlKind::Static, "Audio codec", 149, 46, 39, 8},
            {IDC_SET_AUDIO_CODEC, ControlKind::DropDownList, "", 198, 44, 65, 41, kList},
            {kNoId, ControlKind::Static, "Resolution", 12, 64, 35, 8},
            {IDC_SET_RESOLUTION, ControlKind::DropDownList, "", 65, 62, 65, 209, kList},
            {kNoId, ControlKind::Static, "Frame rate", 149, 64, 35, 8},
            {IDC_SET_FRAME_RATE, ControlKind::DropDownList, "", 198, 62, 65, 99, kList},
            {IDC_SET_LETTERBOX, ControlKind::CheckBox, "Add letter box to keep aspect ratio", 64, 113, 121, 10,
             StyleTabStop},
            {IDC_SET_DISC_IMAGE, ControlKind::CheckBox, "Make a disc image", 198, 100, 72, 10, StyleTabStop},
            {IDC_SET_DISC_MENU, ControlKind::CheckBox, "Disc menu", 208, 113, 62, 10, StyleTabStop},
            {kNoId, ControlKind::Static, "Volume", 12, 101, 25, 8},
            {IDC_SET_VOLUME, ControlKind::Trackbar, "", 62, 101, 70, 9, StyleNoTicks | StyleTabStop},
            {IDC_SET_VOLUME_LABEL, ControlKind::Static, "+0db", 149, 100, 38, 8},
            {kNoId, ControlKind::Static, "Conversions at once", 12, 131, 70, 8},
            {IDC_SET_CONVERSIONS, ControlKind::DropDownList, "", 84, 129, 46, 99, kList},
            {kNoId, ControlKind::Static, "Audio tracks", 149, 131, 45, 8},
            {IDC_SET_AUDIO_TRACKS, ControlKind::DropDownList, "", 198, 129, 65, 30, kList},
            {kNoId, ControlKind::Static, "Subtitles", 12, 149, 45, 8},
            {IDC_SET_SUBTITLES, ControlKind::DropDownList, "", 84, 147, 46, 40, kList},
            {kNoId, ControlKind::Static, "Disc menu title", 12, 167, 52, 8},
            {IDC_SET_DISC_TITLE, ControlKind::Edit, "", 84, 165, 179, 12, StyleTabStop},
            {kNoId, ControlKind::EtchedLine, "", 7, 183, 263, 1},
            {ID_OK, ControlKind::PushButton, "Ok", 173, 189, 35, 12, StyleTabStop},
            {ID_CANCEL, ControlKind::PushButton, "Cancel", 220, 189, 35, 12, StyleTabStop},
            {kNoId, ControlKind::Static, "TV mode", 12, 82, 29, 8},
            {IDC_SET_TVMODE, ControlKind::DropDownList, "", 65, 80, 65, 30, kList},
            {kNoId, ControlKind::Static, "Aspect ratio", 149, 82, 38, 8},
            {IDC_SET_ASPECT, ControlKind::DropDownList, "", 198, 80, 65, 79, kList},
        },
        {
            {IDC_SET_FORMAT, FormatCatalogue::FormatTexts()},
            {IDC_SET_QUALITY, AviQualityTexts()},
            {IDC_SET_AUDIO_TRACKS, {"The default track", "All tracks"}},
            {IDC_SET_SUBTITLES, {"None", "Forced and default", "All"}},
        }};
    return dialog;
}
