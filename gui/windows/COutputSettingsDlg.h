#pragma once

#include "core/ConversionSettings.h"
#include "core/FormatCatalogue.h"

#include <QDialog>

class DialogLayout;
class QCheckBox;
class QLineEdit;
class QComboBox;
class QLabel;
class QSlider;

// The modal "Output Settings" dialog. It edits a working copy of the
// settings and writes it back only on "Ok"; Cancel, Escape and the close box
// leave the caller's settings untouched.
class COutputSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit COutputSettingsDlg(ConversionSettings& settings, QWidget* parent = nullptr);

    // The letterbox flag lives in the check box while the dialog is open.
    void accept() override;  // OnOK

private:
    void BindControls(const DialogLayout& layout);
    void ConnectHandlers(const DialogLayout& layout);
    // Wide enough for the longest entry that any format puts in each list.
    void FitListsToTheirTexts();
    void OnInitDialog();

    void FillQualityList();
    void FillCodecLists();
    void FillTvModeList();
    void FillResolutionList();
    void FillFrameRateList();
    void FillAspectList();
    void InitVolumeSlider();
    void FillConversionsList();
    void FillAllLists();
    void ShowDiscImage();
    void ShowAudioTracks();

    void OnSelchangeFormat();
    void OnSelchangeQuality();
    void OnSelchangeVideoCodec();
    void OnSelchangeAudioCodec();
    void OnSelchangeTvMode();
    void OnSelchangeResolution();
    void OnSelchangeFrameRate();
    void OnSelchangeAspect();
    void OnHScroll(int position);

    void Fill(QComboBox* box, const ChoiceList& list, bool applyEnabled = true);
    void Store(const QComboBox* box, const ChoiceList& list);
    void ShowVolume(int position);
    int Format() const { return m_working.outputFormat; }

    ConversionSettings& m_settings;
    // Only the list choices, the volume, the disc image switches and the
    // menu's title of this copy are edited and written back; the letterbox flag and the folder stay the caller's.
    ConversionSettings m_working;

    QCheckBox* m_letterboxCheck = nullptr;
    QCheckBox* m_discImageCheck = nullptr;
    QCheckBox* m_discMenuCheck = nullptr;
    QLineEdit* m_discTitleEdit = nullptr;
    QComboBox* m_audioTracksList = nullptr;
    QComboBox* m_subtitlesList = nullptr;
    QComboBox* m_conversionsList = nullptr;
    QLabel* m_volumeLabel = nullptr;
    QSlider* m_volumeSlider = nullptr;
    QComboBox* m_aspectList = nullptr;
    QComboBox* m_frameRateList = nullptr;
    QComboBox* m_resolutionList = nullptr;
    QComboBox* m_tvModeList = nullptr;
    QComboBox* m_audioCodecList = nullptr;
    QComboBox* m_videoCodecList = nullptr;
    QComboBox* m_qualityList = nullptr;
    QComboBox* m_formatList = nullptr;
};
