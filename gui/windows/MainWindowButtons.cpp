#include "gui/windows/MainWindowButtons.h"

#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplate.h"
#include "gui/widgets/CImageButton.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/widgets/IconResources.h"

namespace {

bool IsImageButton(int id) {
    switch (id) {
    case IDC_ADD:
    case IDC_CONVERT:
    case IDC_SETTINGS:
    case IDC_HELP_BUTTON:
    case IDC_CHANGE:
    case IDC_SIDE_ADD:
    case IDC_SIDE_REMOVE:
    case IDC_SIDE_UP:
    case IDC_SIDE_DOWN: return true;
    default: return false;
    }
}

struct ImageButtonSetup {
    int iconId;
    int iconSize;  // 0: the icon's own size
    const char* tooltip;
};

constexpr int kToolbarIconSize = 48;

}  // namespace

QWidget* MainWindowButtons::Create(const ControlTemplate& control, QWidget* parent) {
    return IsImageButton(control.id) ? new CImageButton(QString::fromStdString(control.text), parent) : nullptr;
}

void MainWindowButtons::Configure(const DialogLayout& layout) {
    const std::pair<int, ImageButtonSetup> buttons[] = {
        {IDC_CONVERT, {IDI_CONVERT, kToolbarIconSize, "Start converting"}},
        {IDC_SETTINGS, {IDI_SETTINGS, kToolbarIconSize, "Settings..."}},
        {IDC_ADD, {IDI_ADD, kToolbarIconSize, "Add video files to the list"}},
        {IDC_HELP_BUTTON, {IDI_HELP, 0, "About,help,home page,tip of the day."}},
        {IDC_SIDE_ADD, {IDI_SIDE_ADD, 0, "Add video files to the list"}},
        {IDC_SIDE_REMOVE, {IDI_SIDE_REMOVE, 0, "Remove the selected video file"}},
        {IDC_SIDE_UP, {IDI_SIDE_UP, 0, "Move the selected video file up"}},
        {IDC_SIDE_DOWN, {IDI_SIDE_DOWN, 0, "Move the selected video file down"}},
    };
    for (const auto& [id, setup] : buttons) {
        auto* button = layout.Bind<CImageButton>(id);
        button->SetIconResource(setup.iconId, setup.iconSize, setup.iconSize);
        button->SetTooltip(QString::fromLatin1(setup.tooltip), true);
        button->SetTransparent(false);
        button->SetAlignment(CImageButton::IconAboveCaption, true);
    }
}
