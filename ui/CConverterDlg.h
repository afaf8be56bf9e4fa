#pragma once

#include "controls/CommandTarget.h"
#include "engine/ConversionHost.h"
#include "engine/SourceList.h"
#include "settings/ConversionSettings.h"
#include "settings/EncodeTargets.h"
#include "settings/SettingsStore.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <memory>
#include <string>

class CImageButton;
class ConversionEngine;
class DialogLayout;
class QComboBox;
class QLineEdit;
class QTreeWidget;

// The program's main window: toolbar, source file list with its side
// buttons, output folder row and the quick format, TV-mode and aspect boxes.
// It owns the live settings (loaded when it is built, saved when it is
// destroyed, so every way of closing keeps them), the encode targets and the
// source list, and the conversion engine with its progress window, and routes
// every command of the program through OnCommand.
class CConverterDlg : public QDialog, public CommandTarget, public ConversionHost {
    Q_OBJECT
public:
    // Shows a folder picker; returns the chosen folder, or an empty text when
    // the user cancelled.
    using FolderChooser = std::function<QString(QWidget* owner, const QString& title, const QString& startFolder)>;

    explicit CConverterDlg(SettingsStore store = SettingsStore(), QWidget* parent = nullptr);
    ~CConverterDlg() override;

    void OnCommand(int commandId) override;

    void UpdateTvModeBox();
    void UpdateAspectBox();

    QWidget* HostWindow() override { return this; }
    QString OutputFolderText() const override;
    ConversionSettings& Settings() override { return m_settings; }
    EncodeTargets& Targets() override { return m_targets; }
    SourceList& Sources() override { return m_sources; }
    ConversionEngine& Engine() { return *m_engine; }

    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    // The source file list's commands.
    void OnAddFiles();
    void OnRemoveFile();
    void OnMoveUp();
    void OnMoveDown();
    void OnListRightClick();
    void AppendRow(const std::string& path);
    void SwapRows(int from, int to);

private:
    void BindControls(const DialogLayout& layout);
    void ConnectCommands(const DialogLayout& layout);
    void OnInitDialog();
    void InsertListColumns();
    void ConfigureImageButtons();

    void OnSelchangeFormat();
    void OnSelchangeTvMode();
    void OnSelchangeAspect();
    void OnSettings();
    void OnChangeFolder();
    void OnHelpButton();
    QPoint PopupPosition() const;

    SettingsStore m_store;
    ConversionSettings m_settings;
    SourceList m_sources;
    FolderChooser m_chooseFolder;

    EncodeTargets m_targets;
    // The settings' output folder. Only Change and a conversion update it, so
    // a folder typed into the box and never used is not saved.
    std::string& m_outputFolder;
    QComboBox* m_aspectBox = nullptr;
    QComboBox* m_tvModeBox = nullptr;
    QComboBox* m_formatBox = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    CImageButton* m_changeButton = nullptr;
    CImageButton* m_upButton = nullptr;
    CImageButton* m_removeButton = nullptr;
    CImageButton* m_downButton = nullptr;
    CImageButton* m_sideAddButton = nullptr;
    CImageButton* m_helpButton = nullptr;
    CImageButton* m_addButton = nullptr;
    CImageButton* m_convertButton = nullptr;
    CImageButton* m_settingsButton = nullptr;
    QTreeWidget* m_fileList = nullptr;
    QIcon m_icon;
    // Made by OnInitDialog with the progress window; gone before the
    // settings are saved.
    std::unique_ptr<ConversionEngine> m_engine;
};
