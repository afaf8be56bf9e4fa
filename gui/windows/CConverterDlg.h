#pragma once

#include "core/ConversionSettings.h"
#include "core/SettingsStore.h"
#include "discmenu/DiscMenuPainter.h"
#include "gui/widgets/CommandTarget.h"
#include "gui/windows/CommandRouter.h"
#include "gui/windows/SettingsKeeper.h"
#include "gui/windows/SourceListModel.h"

#include <QDialog>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class BatchPresenter;
class ConversionEngine;
class CProgressDlg;
class SourceProber;
class DialogLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeView;

// The program's main window: toolbar, source file list with its side
// buttons, output folder row and the quick format, TV-mode and aspect boxes.
// It keeps the live settings (loaded when it is built, saved when it is
// destroyed, so every way of closing keeps them), owns the source list and
// the conversion engine with its progress window, and takes every command of
// the program through OnCommand to its router.
class CConverterDlg : public QDialog, public CommandTarget {
    Q_OBJECT
public:
    // Shows a folder picker; returns the chosen folder, or an empty text when
    // the user cancelled.
    using FolderChooser = std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;
    // Shows the "Import video files" dialog opened on `startFolder`; returns
    // the chosen files' full paths in the dialog's order, or none when the
    // user cancelled.
    using FileChooser = std::function<QStringList(QWidget* owner, const QString& startFolder)>;
    // Shows "Save list" (`saving`) or "Open list"; returns the chosen file, or
    // an empty text when the user cancelled.
    using ListChooser = std::function<QString(QWidget* owner, bool saving)>;

    explicit CConverterDlg(SettingsStore store = SettingsStore(), QWidget* parent = nullptr);
    ~CConverterDlg() override;

    void OnCommand(int commandId) override;

public slots:
    // Enter outside the folder box and the buttons.
    void accept() override;
    void reject() override;
    // The session ends: a batch or the reading stops without a question, and
    // the window closes once it is over.
    void EndSession();

public:
    void UpdateTvModeBox();
    void UpdateAspectBox();
    // How full the disc would be, shown under the list while a disc format
    // is chosen.
    void UpdateDiscFill();
    // When the batch is to end in a disc image that the listed files would
    // overfill, asks whether to convert all the same; true to go on.
    bool ConfirmDiscFill();

    ConversionSettings& Settings() { return m_settings; }
    int FittedVideoKbps() const { return m_fittedVideoKbps; }
    const SourceList& Sources() const { return m_sourceList.Sources(); }
    SourceListModel& SourceRows() { return m_sourceList; }
    ConversionEngine& Engine() { return *m_engine; }
    SourceProber& Prober() { return *m_prober; }
    CProgressDlg& ProgressWindow();
    // A batch runs or added files are being read.
    bool IsBusy() const;

    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    void SetFileChooser(FileChooser chooser) { m_chooseFiles = std::move(chooser); }
    void SetListChooser(ListChooser chooser) { m_chooseList = std::move(chooser); }
    // Runs this encoder program instead of the program folder's; the
    // progress window is made anew. Only outside a probe or a batch.
    void SetEncoderProgram(const std::string& program);

    // The source file list's commands.
    void OnAddFiles();
    // Reads and lists these files in order, as Add does with the files
    // chosen in its dialog; dropped files come here too, in any state.
    void AddFiles(const QStringList& names);
    void AddFiles(const std::vector<std::string>& paths);
    void OnRemoveFile();
    void OnMoveUp();
    void OnMoveDown();
    // The list and the batch's settings into a file that tarvine-convert
    // --batch converts anywhere, and such a file opened in place of the list.
    void OnSaveList();
    void OnOpenList();
    void OnListRightClick();
    // Lists a file that was read as the new last row.
    void AppendRow(const SourceEntry& source);
    void SwapRows(int from, int to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BindControls(const DialogLayout& layout);
    void ConnectCommands(const DialogLayout& layout);
    void RouteCommands();
    void OnInitDialog();
    void InsertListColumns();
    void FitBoxesToTheirTexts();
    void CreateShortcuts();
    void AcceptDroppedFiles();
    void CreateEngine(const std::string& program);
    void OnBatchFinished();
    void FollowListWidth();

    void OnSelchangeFormat();
    void OnSelchangeTvMode();
    void OnSelchangeAspect();
    void OnSettings();
    void OnFileSettings();
    void OnChangeFolder();
    void ApplyOutputFolder(const QString& chosen);
    void OnHelpButton();
    QPoint PopupPosition() const;

    void ConvertAll();
    QString OutputFolderText() const;
    bool MayLoseTheList();
    void ShowAddFailures(const std::vector<std::string>& failedPaths, int refusedForRoom);
    // An OK box; the application's name is the caption unless one is given.
    void MoveSelectedRow(int step);
    int SelectedRow() const;
    void SelectRow(int row);

    SettingsKeeper m_keeper;
    ConversionSettings& m_settings;  // the keeper's
    CommandRouter m_commands;
    FolderChooser m_chooseFolder;
    FileChooser m_chooseFiles;
    ListChooser m_chooseList;
    // The choices of an opened list's files, waiting for their rows: the
    // first of a path goes to its first row.
    std::vector<std::pair<std::string, FileOrder>> m_openedOrders;

    // The settings' output folder. Only Change, Enter in the box and a
    // conversion update it, so a folder typed and never used is not saved.
    std::string& m_outputFolder;
    QComboBox* m_aspectBox = nullptr;
    QComboBox* m_tvModeBox = nullptr;
    QComboBox* m_formatBox = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    SourceListModel m_sourceList;
    QTreeView* m_fileList = nullptr;
    QLabel* m_discFillLabel = nullptr;
    int m_listWidth = 0;  // the list's width that its path column was last fitted to
    QIcon m_icon;
    DiscMenuPainter m_menuPainter;
    // Made by OnInitDialog; gone before the settings are saved. The
    // presenter shows what the engine and the prober do.
    std::unique_ptr<BatchPresenter> m_presenter;
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<SourceProber> m_prober;
    bool m_closeWhenIdle = false;             // a close waits for the batch to stop
    std::vector<std::string> m_waitingFiles;  // given during a batch, read after it
    int m_fittedVideoKbps = 0;                // this batch's video rate, fitted to the disc
};
