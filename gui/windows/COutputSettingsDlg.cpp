#include "gui/windows/COutputSettingsDlg.h"

#include "core/ConversionsAtOnce.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/widgets/DialogEnterKey.h"
#include "gui/widgets/DialogLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

constexpr int kVolumeMin = 0;
constexpr int kVolumeMax = 40;

// Every text that a list shows for one format or another.
QStringList EveryEntry(ChoiceList (*list)(int format)) {
    QStringList texts;
    for (int format = 0; format < kOutputFormatCount; ++format)
        for (const std::string& entry : list(format).entries) texts << QString::fromStdString(entry);
    return texts;
}

QStringList ItemTexts(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
    return texts;
}

}  // namespace

COutputSettingsDlg::COutputSettingsDlg(ConversionSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_working(settings) {
    DialogLayout layout(*this, OutputSettingsDialogTemplate());
    BindControls(layout);
    ConnectHandlers(layout);
    new DialogEnterKey(*this);
    FitListsToTheirTexts();
    OnInitDialog();
}

void COutputSettingsDlg::FitListsToTheirTexts() {
    for (QComboBox* box : {m_formatList, m_audioTracksList, m_subtitlesList}) DialogLayout::WidenToFit(*box, ItemTexts(*box));
    const std::pair<QComboBox*, ChoiceList (*)(int)> lists[] = {
        {m_qualityList, FormatCatalogue::QualityList},       {m_videoCodecList, FormatCatalogue::VideoCodecList},
        {m_audioCodecList, FormatCatalogue::AudioCodecList}, {m_tvModeList, FormatCatalogue::TvModeList},
        {m_resolutionList, FormatCatalogue::ResolutionList}, {m_frameRateList, FormatCatalogue::FrameRateList},
        {m_aspectList, FormatCatalogue::AspectList},
    };
    for (const auto& [box, list] : lists) DialogLayout::WidenToFit(*box, EveryEntry(list));
}

void COutputSettingsDlg::BindControls(const DialogLayout& layout) {
    m_letterboxCheck = layout.Bind<QCheckBox>(IDC_SET_LETTERBOX);
    m_discImageCheck = layout.Bind<QCheckBox>(IDC_SET_DISC_IMAGE);
    m_discMenuCheck = layout.Bind<QCheckBox>(IDC_SET_DISC_MENU);
    m_discTitleEdit = layout.Bind<QLineEdit>(IDC_SET_DISC_TITLE);
    m_conversionsList = layout.Bind<QComboBox>(IDC_SET_CONVERSIONS);
    m_audioTracksList = layout.Bind<QComboBox>(IDC_SET_AUDIO_TRACKS);
    m_subtitlesList = layout.Bind<QComboBox>(IDC_SET_SUBTITLES);
    m_volumeLabel = layout.Bind<QLabel>(IDC_SET_VOLUME_LABEL);
    m_volumeSlider = layout.Bind<QSlider>(IDC_SET_VOLUME);
    m_aspectList = layout.Bind<QComboBox>(IDC_SET_ASPECT);
    m_frameRateList = layout.Bind<QComboBox>(IDC_SET_FRAME_RATE);
    m_resolutionList = layout.Bind<QComboBox>(IDC_SET_RESOLUTION);
    m_tvModeList = layout.Bind<QComboBox>(IDC_SET_TVMODE);
    m_audioCodecList = layout.Bind<QComboBox>(IDC_SET_AUDIO_CODEC);
    m_videoCodecList = layout.Bind<QComboBox>(IDC_SET_VIDEO_CODEC);
    m_qualityList = layout.Bind<QComboBox>(IDC_SET_QUALITY);
    m_formatList = layout.Bind<QComboBox>(IDC_SET_FORMAT);
}

void COutputSettingsDlg::ConnectHandlers(const DialogLayout& layout) {
    connect(layout.Bind<QPushButton>(ID_OK), &QPushButton::clicked, this, &QDialog::accept);
    connect(layout.Bind<QPushButton>(ID_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
    // `activated` is the user's choice only; refilling a list does not raise it.
    connect(m_formatList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeFormat);
    connect(m_qualityList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeQuality);
    connect(m_videoCodecList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeVideoCodec);
    connect(m_audioCodecList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeAudioCodec);
    connect(m_tvModeList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeTvMode);
    connect(m_resolutionList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeResolution);
    connect(m_frameRateList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeFrameRate);
    connect(m_aspectList, &QComboBox::activated, this, &COutputSettingsDlg::OnSelchangeAspect);
    connect(m_volumeSlider, &QSlider::valueChanged, this, &COutputSettingsDlg::OnHScroll);
    connect(m_discImageCheck, &QCheckBox::clicked, this, [this](bool on) {
        m_working.discImage = on ? 1 : 0;
        ShowDiscImage();
    });
    connect(m_discMenuCheck, &QCheckBox::clicked, this, [this](bool on) {
        m_working.discMenu = on ? 1 : 0;
        ShowDiscImage();
    });
    connect(m_discTitleEdit, &QLineEdit::textEdited, this,
            [this](const QString& title) { m_working.discMenuTitle = title.trimmed().toStdString(); });
    // "Auto" first, then 1 up to the cores: the position is the stored number.
    connect(m_conversionsList, &QComboBox::activated, this,
            [this](int position) { m_working.conversionsAtOnce = position; });
    // The position is the stored number, as above.
    connect(m_audioTracksList, &QComboBox::activated, this, [this](int position) { m_working.audioTracks = position; });
    connect(m_subtitlesList, &QComboBox::activated, this, [this](int position) { m_working.subtitles = position; });
}

void COutputSettingsDlg::OnInitDialog() {
    m_formatList->setCurrentIndex(Format());
    m_letterboxCheck->setChecked(m_settings.letterbox != 0);
    FillAllLists();
    InitVolumeSlider();
    FillConversionsList();
    // Every format takes subtitles: as tracks, or one drawn into the picture.
    const int subtitles = m_working.subtitles;
    m_subtitlesList->setCurrentIndex(subtitles == ConversionSettings::kAllSubtitles ||
                                             subtitles == ConversionSettings::kForcedAndDefaultSubtitles
                                         ? subtitles
                                         : ConversionSettings::kNoSubtitles);
    m_discTitleEdit->setText(QString::fromStdString(m_working.discMenuTitle));
    m_discTitleEdit->setPlaceholderText(QStringLiteral("The output folder's name"));
}

// A stored number beyond this machine's cores shows no choice, and is kept.
void COutputSettingsDlg::FillConversionsList() {
    m_conversionsList->addItem(QStringLiteral("Auto"));
    for (int count = 1; count <= AvailableCores(); ++count) m_conversionsList->addItem(QString::number(count));
    m_conversionsList->setCurrentIndex(m_working.conversionsAtOnce);
}

void COutputSettingsDlg::FillAllLists() {
    FillQualityList();
    FillCodecLists();
    FillTvModeList();
    FillResolutionList();
    FillFrameRateList();
    FillAspectList();
    ShowDiscImage();
    ShowAudioTracks();
}

// Only the disc formats make a disc image, and only an image has a menu; a
// choice that does not apply is shown greyed and kept.
void COutputSettingsDlg::ShowDiscImage() {
    m_discImageCheck->setChecked(m_working.discImage != 0);
    m_discImageCheck->setEnabled(IsDiscFormat(Format()));
    m_discMenuCheck->setChecked(m_working.discMenu != 0);
    m_discMenuCheck->setEnabled(m_discImageCheck->isEnabled() && m_working.discImage != 0);
    m_discTitleEdit->setEnabled(m_discMenuCheck->isEnabled() && m_working.discMenu != 0);
}

// Formats with one sound track keep the first; the choice is kept, greyed.
void COutputSettingsDlg::ShowAudioTracks() {
    m_audioTracksList->setCurrentIndex(m_working.audioTracks == ConversionSettings::kAllAudioTracks ? 1 : 0);
    m_audioTracksList->setEnabled(HoldsSeveralSoundTracks(Format()));
}

void COutputSettingsDlg::Fill(QComboBox* box, const ChoiceList& list, bool applyEnabled) {
    box->clear();
    for (const std::string& entry : list.entries) box->addItem(QString::fromStdString(entry));
    // A stored position outside the list leaves the box without a selection;
    // the stored value itself is kept.
    box->setCurrentIndex(list.selectFrom ? m_working.*list.selectFrom : 0);
    if (applyEnabled) box->setEnabled(list.enabled);
}

void COutputSettingsDlg::Store(const QComboBox* box, const ChoiceList& list) {
    if (list.storeTo) m_working.*list.storeTo = box->currentIndex();
}

void COutputSettingsDlg::FillQualityList() { Fill(m_qualityList, FormatCatalogue::QualityList(Format()), false); }

void COutputSettingsDlg::FillCodecLists() {
    Fill(m_videoCodecList, FormatCatalogue::VideoCodecList(Format()));
    Fill(m_audioCodecList, FormatCatalogue::AudioCodecList(Format()));
}

void COutputSettingsDlg::FillTvModeList() { Fill(m_tvModeList, FormatCatalogue::TvModeList(Format())); }

void COutputSettingsDlg::FillResolutionList() { Fill(m_resolutionList, FormatCatalogue::ResolutionList(Format())); }

void COutputSettingsDlg::FillFrameRateList() { Fill(m_frameRateList, FormatCatalogue::FrameRateList(Format())); }

void COutputSettingsDlg::FillAspectList() { Fill(m_aspectList, FormatCatalogue::AspectList(Format())); }

void COutputSettingsDlg::InitVolumeSlider() {
    // Placing the thumb is not a user's move: a stored volume outside the
    // range must reach "Ok" unchanged.
    QSignalBlocker blocker(m_volumeSlider);
    m_volumeSlider->setRange(kVolumeMin, kVolumeMax);
    m_volumeSlider->setValue(m_working.volume);
    ShowVolume(m_volumeSlider->value());
}

void COutputSettingsDlg::OnSelchangeFormat() {
    m_working.outputFormat = m_formatList->currentIndex();
    FillAllLists();
}

void COutputSettingsDlg::OnSelchangeQuality() { Store(m_qualityList, FormatCatalogue::QualityList(Format())); }

void COutputSettingsDlg::OnSelchangeVideoCodec() { Store(m_videoCodecList, FormatCatalogue::VideoCodecList(Format())); }

void COutputSettingsDlg::OnSelchangeAudioCodec() { Store(m_audioCodecList, FormatCatalogue::AudioCodecList(Format())); }

void COutputSettingsDlg::OnSelchangeTvMode() {
    Store(m_tvModeList, FormatCatalogue::TvModeList(Format()));
    FillResolutionList();
    FillFrameRateList();
}

void COutputSettingsDlg::OnSelchangeResolution() { Store(m_resolutionList, FormatCatalogue::ResolutionList(Format())); }

void COutputSettingsDlg::OnSelchangeFrameRate() { Store(m_frameRateList, FormatCatalogue::FrameRateList(Format())); }

void COutputSettingsDlg::OnSelchangeAspect() { Store(m_aspectList, FormatCatalogue::AspectList(Format())); }

void COutputSettingsDlg::OnHScroll(int position) {
    m_working.volume = position;
    ShowVolume(position);
}

void COutputSettingsDlg::ShowVolume(int position) {
    m_volumeLabel->setText(QString::fromStdString(VolumeLabel(position)));
}

void COutputSettingsDlg::accept() {
    ConversionSettings result = m_working;
    result.outputFolder = m_settings.outputFolder;
    result.letterbox = m_letterboxCheck->isChecked() ? 1 : 0;
    m_settings = result;
    QDialog::accept();
}
