#include "gui/windows/CConverterDlg.h"

#include "core/ConversionBatch.h"
#include "core/DroppedPaths.h"
#include "core/FormatCatalogue.h"
#include "core/OutputPath.h"
#include "core/ProgramFolder.h"
#include "engine/BatchListFile.h"
#include "engine/ConversionEngine.h"
#include "engine/FolderText.h"
#include "engine/SourceProber.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/res/MenuTemplate.h"
#include "gui/widgets/AppMessageBox.h"
#include "gui/widgets/DialogEnterKey.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/widgets/FileDropTarget.h"
#include "gui/widgets/FreedesktopNotifications.h"
#include "gui/widgets/IconResources.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/BatchEndNotice.h"
#include "gui/windows/BatchPresenter.h"
#include "gui/windows/COutputSettingsDlg.h"
#include "gui/windows/CProgressDlg.h"
#include "gui/windows/DiscFitPrompt.h"
#include "gui/windows/FileChoosers.h"
#include "gui/windows/FileSettingsDialog.h"
#include "gui/windows/HelpCommands.h"
#include "gui/windows/MainWindowButtons.h"
#include "gui/windows/PlacementKeeper.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeView>

#include <algorithm>
#include <optional>

namespace {

constexpr const char* kFolderChooserTitle = "Select a temporary folder";

QString ResolvedFolderText(const QString& typed) {
    return QString::fromStdString(ResolveFolder(typed.toStdString(), GetHomeFolder()));
}

}  // namespace

CConverterDlg::CConverterDlg(SettingsStore store, QWidget* parent)
    : QDialog(parent),
      m_keeper(std::move(store)),
      m_settings(m_keeper.Settings()),
      m_chooseFolder(ChooseFolderWithDialog),
      m_chooseFiles(ChooseFilesWithDialog),
      m_chooseList(ChooseListWithDialog),
      m_outputFolder(m_settings.outputFolder),
      m_icon(LoadIconResource(IDR_MAINFRAME)) {
    DialogLayout layout(*this, MainDialogTemplate(), MainWindowButtons::Create);
    BindControls(layout);
    ConnectCommands(layout);
    RouteCommands();
    MainWindowButtons::Configure(layout);
    new DialogEnterKey(*this);
    OnInitDialog();
    CreateShortcuts();
    AcceptDroppedFiles();
    m_keeper.RestorePlacement(*this);
}

CConverterDlg::~CConverterDlg() {
    m_prober.reset();
    m_engine.reset();
    m_keeper.Save(*this);
}

void CConverterDlg::BindControls(const DialogLayout& layout) {
    m_aspectBox = layout.Bind<QComboBox>(IDC_MAIN_ASPECT);
    m_tvModeBox = layout.Bind<QComboBox>(IDC_MAIN_TVMODE);
    m_formatBox = layout.Bind<QComboBox>(IDC_MAIN_FORMAT);
    m_folderEdit = layout.Bind<QLineEdit>(IDC_OUTPUT_FOLDER);
    m_fileList = layout.Bind<QTreeView>(IDC_FILE_LIST);
    m_discFillLabel = layout.Bind<QLabel>(IDC_MAIN_DISC_FILL);
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
    connect(m_fileList, &QAbstractItemView::doubleClicked, this, [this] { OnCommand(ID_EDIT_FILE_SETTINGS); });
}

// Keys a desktop user reaches for first; each runs the command of its button.
void CConverterDlg::CreateShortcuts() {
    const struct {
        QKeySequence keys;
        QWidget* scope;  // the window, or the one control the keys act in
        int command;
    } shortcuts[] = {
        {QKeySequence(Qt::Key_Delete), m_fileList, ID_EDIT_REMOVE},
        {QKeySequence(Qt::Key_F1), this, ID_HELP_CONTENT},
        {QKeySequence(Qt::CTRL | Qt::Key_O), this, ID_EDIT_ADD},
        {QKeySequence(Qt::CTRL | Qt::Key_Return), this, IDC_CONVERT},
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), this, IDC_CONVERT},
    };
    for (const auto& [keys, scope, command] : shortcuts) {
        auto* shortcut = new QShortcut(keys, scope);
        shortcut->setContext(scope == this ? Qt::WindowShortcut : Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, command = command] { OnCommand(command); });
    }
}

// Files dropped on the list, the folder box or anywhere else on the window; a
// dropped folder gives the videos inside it.
void CConverterDlg::AcceptDroppedFiles() {
    auto* target = new FileDropTarget(
        *this, [this](const std::vector<std::string>& paths) { AddFiles(DroppedPaths::Expand(paths)); });
    for (QWidget* widget : {static_cast<QWidget*>(this), m_fileList->viewport(), static_cast<QWidget*>(m_folderEdit)})
        target->Watch(widget);
}

// The path column takes what the list gains or loses in width.
void CConverterDlg::FollowListWidth() {
    const int change = m_fileList->width() - m_listWidth;
    m_listWidth = m_fileList->width();
    if (change == 0) return;
    const int narrowest = DialogLayout::ScaledPixels(60, font());
    m_fileList->setColumnWidth(1, std::max(narrowest, m_fileList->columnWidth(1) + change));
}

void CConverterDlg::OnCommand(int commandId) {
    if (IsBusy()) return;  // the window's commands wait for the batch or the reading to end
    m_commands.Route(commandId);
}

void CConverterDlg::RouteCommands() {
    m_commands.Add({IDC_ADD, IDC_SIDE_ADD, ID_EDIT_ADD}, [this] { OnAddFiles(); });
    m_commands.Add({IDC_SIDE_REMOVE, ID_EDIT_REMOVE}, [this] { OnRemoveFile(); });
    m_commands.Add({IDC_SIDE_UP, ID_EDIT_MOVEUP}, [this] { OnMoveUp(); });
    m_commands.Add({IDC_SIDE_DOWN, ID_EDIT_MOVEDOWN}, [this] { OnMoveDown(); });
    m_commands.Add({ID_EDIT_FILE_SETTINGS}, [this] { OnFileSettings(); });
    m_commands.Add({ID_EDIT_SAVE_LIST}, [this] { OnSaveList(); });
    m_commands.Add({ID_EDIT_OPEN_LIST}, [this] { OnOpenList(); });
    m_commands.Add({IDC_CONVERT, IDC_SMALL_CONVERT}, [this] { ConvertAll(); });
    m_commands.Add({IDC_SETTINGS, IDC_SMALL_SETTINGS}, [this] { OnSettings(); });
    m_commands.Add({IDC_CHANGE}, [this] { OnChangeFolder(); });
    m_commands.Add({IDC_HELP_BUTTON}, [this] { OnHelpButton(); });
    m_commands.Add({ID_HELP_CONTENT}, [this] { OpenHelpContent(); });
    m_commands.Add({ID_HELP_ABOUT, IDM_ABOUTBOX}, [this] { ShowAboutBox(); });
    m_commands.Add({ID_HELP_HOMEPAGE}, [this] { OpenHomePage(); });
    m_commands.Add({ID_HELP_TIP}, [this] { ShowTipOfTheDay(); });
}

void CConverterDlg::OnInitDialog() {
    // The window menu of most desktops cannot take an item of the program's
    // own, so "About" in the Help button's menu is the about box's route
    // (IDM_ABOUTBOX stays routed for a platform that can add it). The icon
    // of the minimised window is drawn by the desktop from the window icon.
    setWindowIcon(m_icon);
    FitBoxesToTheirTexts();
    InsertListColumns();
    m_folderEdit->setText(QString::fromStdString(m_outputFolder));
    m_folderEdit->installEventFilter(this);
    CreateEngine(EncoderExecutablePath(GetProgramFolder()));
    m_formatBox->setCurrentIndex(m_settings.outputFormat);
    UpdateTvModeBox();
    UpdateAspectBox();
    UpdateDiscFill();
}

// Each quick box is wide enough for every text it can show.
void CConverterDlg::FitBoxesToTheirTexts() {
    QStringList aspects;
    for (int format = 0; format < kOutputFormatCount; ++format)
        for (const std::string& text : FormatCatalogue::AspectTexts(format)) aspects << QString::fromStdString(text);
    DialogLayout::WidenToFit(*m_aspectBox, aspects);
    for (QComboBox* box : {m_formatBox, m_tvModeBox}) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
        DialogLayout::WidenToFit(*box, texts);
    }
}

void CConverterDlg::InsertListColumns() {
    m_fileList->setModel(&m_sourceList);
    // The number and duration columns keep their share of the templates'
    // list; the path takes the rest, however wide the boxes made the window.
    const int number = DialogLayout::ScaledPixels(90, font());
    const int duration = DialogLayout::ScaledPixels(122, font());
    const int inside = m_fileList->width() - 2 * m_fileList->frameWidth();
    m_fileList->setColumnWidth(0, number);
    m_fileList->setColumnWidth(1, std::max(number, inside - number - duration));
    m_fileList->setColumnWidth(2, duration);
    // A long path keeps its file name in sight; the whole path is its tooltip.
    m_fileList->setTextElideMode(Qt::ElideMiddle);
    m_listWidth = m_fileList->width();
    m_fileList->installEventFilter(this);
}

// A conversion takes the folder that the box's text names, and the box shows
// it as taken.
QString CConverterDlg::OutputFolderText() const {
    const QString folder = ResolvedFolderText(m_folderEdit->text());
    if (folder != m_folderEdit->text()) m_folderEdit->setText(folder);
    return folder;
}

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
    UpdateDiscFill();
}

void CConverterDlg::UpdateDiscFill() {
    std::optional<QString> fill = DiscFitPrompt::FillText(m_settings, Sources(), m_fittedVideoKbps);
    m_discFillLabel->setVisible(fill.has_value());
    if (fill) m_discFillLabel->setText(*fill);
}

// The question starts from the preset's rate; the label shows the rate chosen.
bool CConverterDlg::ConfirmDiscFill() {
    m_fittedVideoKbps = 0;
    UpdateDiscFill();
    const std::optional<int> fitted = DiscFitPrompt::Ask(this, m_settings, Sources());
    m_fittedVideoKbps = fitted.value_or(0);
    UpdateDiscFill();
    return fitted.has_value();
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
    UpdateDiscFill();
}

// The selected file's own settings, over the batch's.
void CConverterDlg::OnFileSettings() {
    const int row = SelectedRow();
    if (row < 0) return;
    FileSettingsDialog dialog(Sources().Entry(row), m_settings, &Engine().Launcher(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_sourceList.SetOrder(row, dialog.Order());
    // The part kept fills the disc.
    UpdateDiscFill();
}

void CConverterDlg::OnChangeFolder() {
    QString chosen = m_chooseFolder(this, QString::fromLatin1(kFolderChooserTitle), m_folderEdit->text());
    if (!chosen.isEmpty()) ApplyOutputFolder(chosen);
}

// The folder, ending with a separator, becomes the box's text and the
// settings' output folder. A relative one lies below the home folder.
void CConverterDlg::ApplyOutputFolder(const QString& chosen) {
    QString folder = ResolvedFolderText(QDir::toNativeSeparators(chosen));
    if (!folder.endsWith(QLatin1Char(kPathSeparator))) folder += QLatin1Char(kPathSeparator);
    m_folderEdit->setText(folder);
    m_outputFolder = folder.toStdString();
}

// The path column follows the list's width. Enter in the output folder box
// applies the typed folder; it would otherwise reach the window as its OK
// command and end the program.
bool CConverterDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileList && event->type() == QEvent::Resize) FollowListWidth();
    if (watched != m_folderEdit || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    if (!IsPlainEnterKey(*static_cast<QKeyEvent*>(event))) return false;
    if (!m_folderEdit->text().trimmed().isEmpty()) ApplyOutputFolder(m_folderEdit->text());
    return true;
}

void CConverterDlg::OnHelpButton() { SkinLibrary::TrackPopupMenu(HelpMenuTemplate(), PopupPosition(), this); }

QPoint CConverterDlg::PopupPosition() const {
    QPoint cursor = QCursor::pos();
    return cursor == QPoint(-1, -1) ? mapToGlobal(QPoint(5, 5)) : cursor;
}

void CConverterDlg::SetEncoderProgram(const std::string& program) { CreateEngine(program); }

void CConverterDlg::CreateEngine(const std::string& program) {
    m_prober.reset();
    m_engine.reset();
    m_presenter = std::make_unique<BatchPresenter>(*this);
    new PlacementKeeper(m_presenter->ProgressWindow(), m_keeper.Profile(), "Progress");  // the window owns it
    m_engine = std::make_unique<ConversionEngine>(program, &m_menuPainter);
    m_prober = std::make_unique<SourceProber>(m_engine->Launcher());
    // Before the summary's box shows: until then the user's choice of window stands.
    auto* notice =
        new BatchEndNotice({this, &ProgressWindow()}, std::make_unique<FreedesktopNotifications>(), m_engine.get());
    connect(m_engine.get(), &ConversionEngine::Summarised, notice,
            [notice](const EngineMessage& summary) { notice->BatchEnded(summary.text); });
    m_presenter->Follow(*m_engine);
    m_presenter->Follow(*m_prober);
    connect(m_engine.get(), &ConversionEngine::BatchFinished, this, [this] { OnBatchFinished(); });
    connect(m_engine.get(), &ConversionEngine::StopDeclined, this, [this] { m_closeWhenIdle = false; });
    connect(m_engine.get(), &ConversionEngine::FileStarted, &m_sourceList, &SourceListModel::ShowStarted);
    connect(m_engine.get(), &ConversionEngine::Progressed, &m_sourceList, &SourceListModel::ShowProgress);
    connect(m_engine.get(), &ConversionEngine::FileEnded, &m_sourceList, &SourceListModel::ShowOutcome);
    connect(m_engine.get(), &ConversionEngine::BatchFinished, &m_sourceList, &SourceListModel::ShowOutcomes);
    connect(m_prober.get(), &SourceProber::SourceRead, this, &CConverterDlg::AppendRow);
    connect(m_prober.get(), &SourceProber::Finished, this, &CConverterDlg::ShowAddFailures);
}

CProgressDlg& CConverterDlg::ProgressWindow() { return m_presenter->ProgressWindow(); }

bool CConverterDlg::IsBusy() const { return m_engine->IsConverting() || m_prober->IsReading(); }

void CConverterDlg::OnAddFiles() {
    const QStringList chosen = m_chooseFiles(this, m_keeper.ImportStartFolder());
    if (chosen.isEmpty()) return;
    m_keeper.RememberImportFolder(chosen.front());
    AddFiles(chosen);
}

void CConverterDlg::AddFiles(const QStringList& names) { AddFiles(PathsOfChosen(this, names)); }

// Files given during a batch wait for its end; files given while others are
// read join them.
void CConverterDlg::AddFiles(const std::vector<std::string>& paths) {
    if (m_engine->IsConverting())
        m_waitingFiles.insert(m_waitingFiles.end(), paths.begin(), paths.end());
    else
        m_prober->Add(paths, Sources().fileCount());
}

void CConverterDlg::ConvertAll() {
    if (m_engine->IsConverting() || !ConfirmDiscFill()) return;
    // The folder a conversion of listed files takes is kept, whether or not it can be used.
    if (Sources().fileCount() > 0) m_outputFolder = FolderNamedBy(OutputFolderText(), m_outputFolder);
    m_engine->ConvertAll({m_settings, Sources(), m_fittedVideoKbps});
}

void CConverterDlg::OnBatchFinished() {
    m_fittedVideoKbps = 0;
    UpdateDiscFill();
    if (m_closeWhenIdle) {
        QDialog::reject();
        return;
    }
    m_prober->Add(std::exchange(m_waitingFiles, {}), Sources().fileCount());
}

// The session ends: a batch stops without a question, reading stops, and
// the window closes once the batch is over.
void CConverterDlg::EndSession() {
    m_closeWhenIdle = true;
    m_waitingFiles.clear();
    m_prober->Abort();
    m_engine->StopWithoutAsking();
}

// The close box, Alt+F4 and Escape. During a batch they ask to stop, as
// Cancel does, and the window closes once the batch has stopped; a No keeps
// both. While the full-disk question waits, its answer decides alone; while
// the disc image is made, it is stopped without asking.
// Reading stops at once, and the window closes.
void CConverterDlg::reject() {
    if (m_engine->IsConverting()) {
        if (m_engine->CurrentState() == ConversionEngine::State::AskingToGoOn) return;
        m_closeWhenIdle = true;
        // The files are made by the time the disc image is: closing stops only the image.
        if (m_engine->CurrentState() == ConversionEngine::State::MakingDiscImage)
            m_engine->StopWithoutAsking();
        else
            m_engine->RequestCancel();
        return;
    }
    m_prober->Abort();
    QDialog::reject();
}

// Enter and Escape are easily pressed by accident (a second Enter after a
// message box), so they close the window only when that loses no list. The
// close box and Alt+F4 are deliberate and close without asking.
void CConverterDlg::accept() {
    if (MayLoseTheList()) QDialog::accept();
}

void CConverterDlg::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel) && !MayLoseTheList()) return;
    QDialog::keyPressEvent(event);
}

bool CConverterDlg::MayLoseTheList() {
    const int count = Sources().fileCount();
    if (count == 0) return true;
    const QString files = count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
    return AppMessageBoxAsking(this, QStringLiteral("Close Tarvine? The list of %1 will be lost.").arg(files));
}

void CConverterDlg::ShowAddFailures(const std::vector<std::string>& failedPaths, int refusedForRoom) {
    for (const std::string& path : failedPaths)
        AppMessageBox(this, QStringLiteral("Load file %1 failed.").arg(QString::fromStdString(path)));
    if (refusedForRoom > 0) {
        AppMessageBox(this,
                      QStringLiteral("%1 of the selected files could not be added: the list holds at most %2 files.")
                          .arg(refusedForRoom)
                          .arg(SourceList::kCapacity));
    }
}

void CConverterDlg::AppendRow(const SourceEntry& source) {
    SourceEntry listed = source;
    const auto opened = std::find_if(m_openedOrders.begin(), m_openedOrders.end(),
                                     [&](const auto& file) { return file.first == source.path; });
    if (opened != m_openedOrders.end()) {
        listed.order = opened->second;
        m_openedOrders.erase(opened);
    }
    if (m_sourceList.Append(listed)) UpdateDiscFill();
}

void CConverterDlg::OnSaveList() {
    if (Sources().fileCount() == 0) return;
    const QString chosen = m_chooseList(this, true);
    if (chosen.isEmpty()) return;
    std::vector<BatchListFile::Listed> files;
    for (int row = 0; row < Sources().fileCount(); ++row)
        files.push_back({Sources().Entry(row).path, Sources().Entry(row).order});
    ConversionSettings settings = m_settings;
    settings.outputFolder = FolderNamedBy(OutputFolderText(), m_outputFolder);
    // The chooser has asked before a file is replaced.
    const QString failure = BatchListFile::Save(QFile::encodeName(chosen).toStdString(), settings, files, true);
    if (!failure.isEmpty()) AppMessageBox(this, failure, QMessageBox::Warning);
}

// The list's settings become the window's, and its files, read anew, its rows.
void CConverterDlg::OnOpenList() {
    const QString chosen = m_chooseList(this, false);
    if (chosen.isEmpty()) return;
    BatchListFile::Opened opened = BatchListFile::Open(QFile::encodeName(chosen).toStdString(), m_settings);
    if (!opened.failure.isEmpty()) return void(AppMessageBox(this, opened.failure, QMessageBox::Warning));
    const int count = Sources().fileCount();
    if (count > 0 && !AppMessageBoxAsking(
                         this, QStringLiteral("Open the list \"%1\" in place of the %2 listed?")
                                   .arg(QFileInfo(chosen).fileName(),
                                        count == 1 ? QStringLiteral("file") : QStringLiteral("%1 files").arg(count))))
        return;
    if (!opened.notUnderstood.isEmpty())
        AppMessageBox(this, QStringLiteral("Some of the list \"%1\" was not understood and is left out:\n%2")
                                .arg(QFileInfo(chosen).fileName(), opened.notUnderstood.join(QLatin1Char('\n'))));
    while (Sources().fileCount() > 0) m_sourceList.Remove(Sources().fileCount() - 1);
    m_settings = opened.settings;
    m_folderEdit->setText(QString::fromStdString(m_outputFolder));
    m_formatBox->setCurrentIndex(m_settings.outputFormat);
    UpdateTvModeBox();
    UpdateAspectBox();
    m_openedOrders.clear();
    std::vector<std::string> paths;
    for (BatchListFile::Listed& file : opened.files) {
        paths.push_back(file.path);
        m_openedOrders.emplace_back(file.path, std::move(file.order));
    }
    UpdateDiscFill();
    AddFiles(paths);
}

void CConverterDlg::OnRemoveFile() {
    if (Sources().fileCount() == 0) return;
    int row = SelectedRow();
    if (row < 0) return;

    m_sourceList.Remove(row);
    UpdateDiscFill();
    if (row < Sources().fileCount()) {
        SelectRow(row);
        m_fileList->setFocus();
    } else {
        m_fileList->clearSelection();
    }
}

void CConverterDlg::OnMoveUp() { MoveSelectedRow(-1); }

void CConverterDlg::OnMoveDown() { MoveSelectedRow(+1); }

void CConverterDlg::MoveSelectedRow(int step) {
    if (Sources().fileCount() < 2) return;
    int row = SelectedRow();
    if (row < 0) {
        AppMessageBox(this, QStringLiteral("No item was selected!"), QMessageBox::NoIcon, QMessageBox::Ok,
                      QStringLiteral("Warning"));
        return;
    }
    int target = row + step;
    if (target < 0 || target >= Sources().fileCount()) {
        m_fileList->setFocus();
        return;
    }
    SwapRows(row, target);
}

// The numbers stay in place; the files change rows, and the moved file stays
// selected.
void CConverterDlg::SwapRows(int from, int to) {
    m_sourceList.Swap(from, to);
    SelectRow(to);
    m_fileList->setFocus();
}

void CConverterDlg::OnListRightClick() { SkinLibrary::TrackPopupMenu(EditMenuTemplate(), PopupPosition(), this); }

int CConverterDlg::SelectedRow() const {
    const QModelIndexList rows = m_fileList->selectionModel()->selectedRows();
    if (rows.isEmpty()) return -1;
    return std::min_element(rows.begin(), rows.end(),
                            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); })
        ->row();
}

// Selects the row alone, gives it the focus state and scrolls it into view.
void CConverterDlg::SelectRow(int row) {
    const QModelIndex first = m_sourceList.index(row, 0);
    m_fileList->selectionModel()->setCurrentIndex(first,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_fileList->scrollTo(first);
}
