#include "ui/CConverterDlg.h"

#include "controls/CImageButton.h"
#include "controls/DialogEnterKey.h"
#include "controls/DialogLayout.h"
#include "controls/IconResources.h"
#include "controls/SkinLibrary.h"
#include "engine/ConversionEngine.h"
#include "res/CommandIds.h"
#include "res/DialogTemplates.h"
#include "res/MenuTemplate.h"
#include "settings/COutputSettingsDlg.h"
#include "settings/FormatCatalogue.h"
#include "settings/ProgramFolder.h"
#include "ui/HelpCommands.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>

namespace {

constexpr const char* kFolderChooserTitle = "Select a temporary folder";

// The buttons that draw themselves: the toolbar, the side bar and Change.
bool IsImageButton(int id) {
    switch (id) {
    case IDC_ADD: case IDC_CONVERT: case IDC_SETTINGS: case IDC_HELP_BUTTON: case IDC_CHANGE:
    case IDC_SIDE_ADD: case IDC_SIDE_REMOVE: case IDC_SIDE_UP: case IDC_SIDE_DOWN:
        return true;
    default:
        return false;
    }
}

QWidget* CreateImageButton(const ControlTemplate& control, QWidget* parent) {
    return IsImageButton(control.id) ? new CImageButton(QString::fromStdString(control.text), parent) : nullptr;
}

QString ChooseFolderWithDialog(QWidget* owner, const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

struct ImageButtonSetup {
    int iconId;
    int iconSize;  // 0: the icon's own size
    const char* tooltip;
};

constexpr int kToolbarIconSize = 48;

}  // namespace

CConverterDlg::CConverterDlg(SettingsStore store, QWidget* parent)
    : QDialog(parent),
      m_store(std::move(store)),
      m_settings(m_store.Load()),
      m_chooseFolder(ChooseFolderWithDialog),
      m_outputFolder(m_settings.outputFolder),
      m_icon(LoadIconResource(IDR_MAINFRAME)) {
    DialogLayout layout(*this, MainDialogTemplate(), CreateImageButton);
    BindControls(layout);
    ConnectCommands(layout);
    new DialogEnterKey(*this);
    OnInitDialog();
}

CConverterDlg::~CConverterDlg() {
    m_engine.reset();
    if (!m_store.Save(m_settings)) {
        QMessageBox::warning(nullptr, QStringLiteral("Tarvine"),
                             QStringLiteral("The settings could not be saved to %1 or to the per-user settings "
                                            "folder; this session's changes are lost.")
                                 .arg(QString::fromStdString(m_store.OptionFilePath())));
    }
}

void CConverterDlg::BindControls(const DialogLayout& layout) {
    m_aspectBox = layout.Bind<QComboBox>(IDC_MAIN_ASPECT);
    m_tvModeBox = layout.Bind<QComboBox>(IDC_MAIN_TVMODE);
    m_formatBox = layout.Bind<QComboBox>(IDC_MAIN_FORMAT);
    m_folderEdit = layout.Bind<QLineEdit>(IDC_OUTPUT_FOLDER);
    m_changeButton = layout.Bind<CImageButton>(IDC_CHANGE);
    m_upButton = layout.Bind<CImageButton>(IDC_SIDE_UP);
    m_removeButton = layout.Bind<CImageButton>(IDC_SIDE_REMOVE);
    m_downButton = layout.Bind<CImageButton>(IDC_SIDE_DOWN);
    m_sideAddButton = layout.Bind<CImageButton>(IDC_SIDE_ADD);
    m_helpButton = layout.Bind<CImageButton>(IDC_HELP_BUTTON);
    m_addButton = layout.Bind<CImageButton>(IDC_ADD);
    m_convertButton = layout.Bind<CImageButton>(IDC_CONVERT);
    m_settingsButton = layout.Bind<CImageButton>(IDC_SETTINGS);
    m_fileList = layout.Bind<QTreeWidget>(IDC_FILE_LIST);
}

void CConverterDlg::ConnectCommands(const DialogLayout& layout) {
    // Every button delivers its own id as a command.
    for (int id : {IDC_ADD, IDC_CONVERT, IDC_SETTINGS, IDC_HELP_BUTTON, IDC_CHANGE, IDC_SIDE_ADD, IDC_SIDE_REMOVE,
                   IDC_SIDE_UP, IDC_SIDE_DOWN, IDC_SMALL_SETTINGS, IDC_SMALL_CONVERT}) {
        auto* button = layout.Bind<QAbstractButton>(id);
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    }
    connect(m_formatBox, &QComboBox::activated, this, &CConverterDlg::OnSelchangeFormat);
    connect(m_tvModeBox, &QComboBox::activated, this, &CConverterDlg::OnSelchangeTvMode);
    connect(m_aspectBox, &QComboBox::activated, this, &CConverterDlg::OnSelchangeAspect);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QWidget::customContextMenuRequested, this, &CConverterDlg::OnListRightClick);
}

void CConverterDlg::OnCommand(int commandId) {
    switch (commandId) {
    case IDC_ADD: case IDC_SIDE_ADD: case ID_EDIT_ADD: OnAddFiles(); break;
    case IDC_SIDE_REMOVE: case ID_EDIT_REMOVE: OnRemoveFile(); break;
    case IDC_SIDE_UP: case ID_EDIT_MOVEUP: OnMoveUp(); break;
    case IDC_SIDE_DOWN: case ID_EDIT_MOVEDOWN: OnMoveDown(); break;
    case IDC_CONVERT: case IDC_SMALL_CONVERT: m_engine->ConvertAll(); break;
    case IDC_SETTINGS: case IDC_SMALL_SETTINGS: OnSettings(); break;
    case IDC_CHANGE: OnChangeFolder(); break;
    case IDC_HELP_BUTTON: OnHelpButton(); break;
    case ID_HELP_CONTENT: OpenHelpContent(); break;
    case ID_HELP_ABOUT: case IDM_ABOUTBOX: ShowAboutBox(); break;
    case ID_HELP_HOMEPAGE: OpenHomePage(); break;
    case ID_HELP_TIP: ShowTipOfTheDay(); break;
    default: break;
    }
}

void CConverterDlg::OnInitDialog() {
    // The window menu of most desktops cannot take an item of the program's
    // own, so "About" in the Help button's menu is the about box's route
    // (IDM_ABOUTBOX stays routed for a platform that can add it). The icon
    // of the minimised window is drawn by the desktop from the window icon.
    setWindowIcon(m_icon);
    InsertListColumns();
    ConfigureImageButtons();
    m_folderEdit->setText(QString::fromStdString(m_outputFolder));
    m_engine = std::make_unique<ConversionEngine>(*this);
    m_formatBox->setCurrentIndex(m_settings.outputFormat);
    UpdateTvModeBox();
    UpdateAspectBox();
}

void CConverterDlg::InsertListColumns() {
    m_fileList->setColumnCount(3);
    m_fileList->setHeaderLabels({QStringLiteral(" Number"), QStringLiteral("  File path"),
                                 QStringLiteral("   Duration")});
    m_fileList->headerItem()->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    m_fileList->headerItem()->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    m_fileList->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    m_fileList->setColumnWidth(0, 90);
    m_fileList->setColumnWidth(1, 360);
    m_fileList->setColumnWidth(2, 122);
}

void CConverterDlg::ConfigureImageButtons() {
    const std::pair<CImageButton*, ImageButtonSetup> buttons[] = {
        {m_convertButton, {IDI_CONVERT, kToolbarIconSize, "Start converting"}},
        {m_settingsButton, {IDI_SETTINGS, kToolbarIconSize, "Settings..."}},
        {m_addButton, {IDI_ADD, kToolbarIconSize, "Add video files to the list"}},
        {m_helpButton, {IDI_HELP, 0, "About,help,home page,tip of the day."}},
        {m_sideAddButton, {IDI_SIDE_ADD, 0, "Add video files to the list"}},
        {m_removeButton, {IDI_SIDE_REMOVE, 0, "Remove the selected video file"}},
        {m_upButton, {IDI_SIDE_UP, 0, "Move the selected video file up"}},
        {m_downButton, {IDI_SIDE_DOWN, 0, "Move the selected video file down"}},
    };
    for (const auto& [button, setup] : buttons) {
        button->SetIconResource(setup.iconId, setup.iconSize, setup.iconSize);
        button->SetTooltip(QString::fromLatin1(setup.tooltip), true);
        button->SetTransparent(false);
        button->SetAlignment(CImageButton::IconAboveCaption, true);
    }
}

QString CConverterDlg::OutputFolderText() const { return m_folderEdit->text(); }

void CConverterDlg::UpdateTvModeBox() {
    m_tvModeBox->setCurrentIndex(m_settings.tvMode);
    m_tvModeBox->setEnabled(IsDiscFormat(m_settings.outputFormat));
}

void CConverterDlg::UpdateAspectBox() {
    int format = m_settings.outputFormat;
    m_aspectBox->clear();
    for (const std::string& text : FormatCatalogue::AspectTexts(format))
        m_aspectBox->addItem(QString::fromStdString(text));
    m_aspectBox->setCurrentIndex(IsMpegFamily(format) ? m_settings.mpegAspect : m_settings.dvdAspect);
    m_aspectBox->setEnabled(IsMpegFamily(format) || IsDiscFormat(format));
}

void CConverterDlg::OnSelchangeFormat() {
    m_settings.outputFormat = m_formatBox->currentIndex();
    UpdateTvModeBox();
    UpdateAspectBox();
}

void CConverterDlg::OnSelchangeTvMode() { m_settings.tvMode = m_tvModeBox->currentIndex(); }

void CConverterDlg::OnSelchangeAspect() {
    int& aspect = IsMpegFamily(m_settings.outputFormat) ? m_settings.mpegAspect : m_settings.dvdAspect;
    aspect = m_aspectBox->currentIndex();
}

void CConverterDlg::OnSettings() {
    COutputSettingsDlg dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_formatBox->setCurrentIndex(m_settings.outputFormat);
    UpdateTvModeBox();
    UpdateAspectBox();
}

void CConverterDlg::OnChangeFolder() {
    QString chosen = m_chooseFolder(this, QString::fromLatin1(kFolderChooserTitle), m_folderEdit->text());
    if (chosen.isEmpty()) return;
    QString folder = QDir::toNativeSeparators(chosen);
    if (!folder.endsWith(QLatin1Char(kPathSeparator))) folder += QLatin1Char(kPathSeparator);
    m_folderEdit->setText(folder);
    m_outputFolder = folder.toStdString();
}

void CConverterDlg::OnHelpButton() { SkinLibrary::TrackPopupMenu(HelpMenuTemplate(), PopupPosition(), this); }

QPoint CConverterDlg::PopupPosition() const {
    QPoint cursor = QCursor::pos();
    return cursor == QPoint(-1, -1) ? mapToGlobal(QPoint(5, 5)) : cursor;
}

// The source file list's operations belong to the file-list work; until it
// lands the commands are routed here and do nothing.
void CConverterDlg::OnAddFiles() {}
void CConverterDlg::OnRemoveFile() {}
void CConverterDlg::OnMoveUp() {}
void CConverterDlg::OnMoveDown() {}
void CConverterDlg::OnListRightClick() {}
void CConverterDlg::AppendRow(const std::string&) {}
void CConverterDlg::SwapRows(int, int) {}
