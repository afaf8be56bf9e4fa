#include "gui/windows/FileSettingsDialog.h"

#include "core/SoundTrackChoice.h"
#include "core/SubtitleChoice.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/widgets/AppMessageBox.h"
#include "gui/widgets/DialogEnterKey.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/windows/PicturePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

namespace {

enum Column { TrackColumn = 0, TitleColumn = 2 };

// "2 · deu", as the lists of the track played first and the subtitle shown
// show it.
template <typename Track>
QString TrackName(int number, const Track& track) {
    return QStringLiteral("%1 \u00b7 %2")
        .arg(number)
        .arg(track.language.empty() ? QStringLiteral("no language") : QString::fromStdString(track.language));
}

QString ChannelsText(int channels) {
    switch (channels) {
    case 1: return QStringLiteral("mono");
    case 2: return QStringLiteral("stereo");
    case 6: return QStringLiteral("5.1");
    case 8: return QStringLiteral("7.1");
    default: return QStringLiteral("%1 channels").arg(channels);
    }
}

// "AC3, 5.1": the codec as FFmpeg names it, and the channels.
QString SoundText(const SoundTrackReport& track) {
    const QString channels = ChannelsText(track.channels);
    return track.codec.empty() ? channels : QString::fromStdString(track.codec).toUpper() + ", " + channels;
}

// "SUBRIP, forced": the codec, and what players go by.
QString SubtitleText(const SubtitleTrackReport& track) {
    QStringList words{QString::fromStdString(track.codec).toUpper()};
    if (track.isPicture) words << QStringLiteral("pictures");
    if (track.isForced) words << QStringLiteral("forced");
    if (track.isDefault) words << QStringLiteral("default");
    return words.join(QStringLiteral(", "));
}

QStandardItem* ShownItem(const QString& text) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

QStandardItem* KeepItem(int number, bool kept) {
    auto* keep = new QStandardItem(QString::number(number));
    keep->setCheckable(true);
    keep->setCheckState(kept ? Qt::Checked : Qt::Unchecked);
    keep->setEditable(false);
    return keep;
}

bool Contains(const std::vector<int>& numbers, int number) {
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

// A title takes the room the short columns leave.
void ShowTracks(QTreeView& view, QStandardItemModel& model, bool any) {
    view.setModel(&model);
    view.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view.header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    view.setEnabled(any);
}

}  // namespace

FileSettingsDialog::FileSettingsDialog(const SourceEntry& source, const ConversionSettings& settings,
                                       const EncoderLauncher* launcher, QWidget* parent)
    : QDialog(parent), m_source(source) {
    DialogLayout layout(*this, FileSettingsDialogTemplate());
    m_trackList = layout.Bind<QTreeView>(IDC_FILE_TRACKS);
    m_firstList = layout.Bind<QComboBox>(IDC_FILE_FIRST_TRACK);
    m_subtitleList = layout.Bind<QTreeView>(IDC_FILE_SUBTITLES);
    m_shownList = layout.Bind<QComboBox>(IDC_FILE_SHOWN_SUBTITLE);
    m_burnCheck = layout.Bind<QCheckBox>(IDC_FILE_BURN_SUBTITLE);
    connect(layout.Bind<QPushButton>(ID_OK), &QPushButton::clicked, this, &FileSettingsDialog::OnOk);
    connect(layout.Bind<QPushButton>(ID_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
    new DialogEnterKey(*this);
    std::vector<int> kept = SoundTrackChoice::Chosen(source, settings);
    if (kept.empty()) kept = SoundTrackChoice::Kept(source, settings);
    FillTracks(kept);
    FillSubtitles(settings);
    m_picture = new PicturePage(layout, source, settings, launcher, this);
}

void FileSettingsDialog::OnOk() {
    const QString problem = m_picture->Problem();
    if (problem.isEmpty()) return accept();
    AppMessageBox(this, problem, QMessageBox::Warning);
}

void FileSettingsDialog::FillTracks(const std::vector<int>& kept) {
    m_tracks.setHorizontalHeaderLabels(
        {QStringLiteral("Track"), QStringLiteral("Language"), QStringLiteral("Title"), QStringLiteral("Sound")});
    for (std::size_t i = 0; i < m_source.soundTracks.size(); ++i) {
        const SoundTrackReport& track = m_source.soundTracks[i];
        const int number = static_cast<int>(i) + 1;
        m_tracks.appendRow({KeepItem(number, Contains(kept, number)), ShownItem(QString::fromStdString(track.language)),
                            ShownItem(QString::fromStdString(track.title)), ShownItem(SoundText(track))});
        m_firstList->addItem(TrackName(number, track), number);
    }
    ShowTracks(*m_trackList, m_tracks, !m_source.soundTracks.empty());
    m_firstList->setCurrentIndex(kept.empty() ? -1 : kept.front() - 1);
    m_firstList->setEnabled(!m_source.soundTracks.empty());
}

void FileSettingsDialog::FillSubtitles(const ConversionSettings& settings) {
    const SubtitlePick pick = SubtitleChoice::Chosen(m_source, settings);
    m_subtitles.setHorizontalHeaderLabels(
        {QStringLiteral("Track"), QStringLiteral("Language"), QStringLiteral("Title"), QStringLiteral("Kind")});
    m_shownList->addItem(QStringLiteral("None"), 0);
    for (std::size_t i = 0; i < m_source.subtitleTracks.size(); ++i) {
        const SubtitleTrackReport& track = m_source.subtitleTracks[i];
        const int number = static_cast<int>(i) + 1;
        m_subtitles.appendRow({KeepItem(number, Contains(pick.tracks, number)),
                               ShownItem(QString::fromStdString(track.language)),
                               ShownItem(QString::fromStdString(track.title)), ShownItem(SubtitleText(track))});
        m_shownList->addItem(TrackName(number, track), number);
    }
    const bool any = !m_source.subtitleTracks.empty();
    ShowTracks(*m_subtitleList, m_subtitles, any);
    m_shownList->setCurrentIndex(pick.shown ? *pick.shown : 0);
    m_shownList->setEnabled(any);
    m_burnCheck->setChecked(m_source.order.burnSubtitle);
    m_burnCheck->setEnabled(any);
    m_burnCheck->setToolTip(QStringLiteral(
        "The subtitle shown from the start, else the first kept, is drawn into the picture. Formats without "
        "subtitle tracks draw one in anyway."));
}

FileOrder FileSettingsDialog::Order() const {
    FileOrder order = m_source.order;
    if (!m_source.soundTracks.empty()) {
        // The track played first is kept, ticked or not: browsing the list
        // by keyboard ticks nothing.
        const int first = m_firstList->currentData().toInt();
        std::vector<int> tracks;
        if (first > 0) tracks.push_back(first);
        for (int row = 0; row < m_tracks.rowCount(); ++row)
            if (m_tracks.item(row, TrackColumn)->checkState() == Qt::Checked && row + 1 != first)
                tracks.push_back(row + 1);
        order.soundTracks = tracks;
    }
    if (!m_source.subtitleTracks.empty()) {
        // The subtitle shown is kept too.
        const int shown = m_shownList->currentData().toInt();
        std::vector<int> subtitles;
        for (int row = 0; row < m_subtitles.rowCount(); ++row)
            if (m_subtitles.item(row, TrackColumn)->checkState() == Qt::Checked || row + 1 == shown)
                subtitles.push_back(row + 1);
        order.subtitleTracks = subtitles;
        order.shownSubtitle = shown > 0 ? std::optional<int>(shown) : std::nullopt;
        order.burnSubtitle = m_burnCheck->isChecked();
    }
    m_picture->Fill(order);
    return order;
}
