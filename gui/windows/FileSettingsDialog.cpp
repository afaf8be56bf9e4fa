#include "gui/windows/FileSettingsDialog.h"

#include "core/SoundTrackChoice.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/widgets/DialogEnterKey.h"
#include "gui/widgets/DialogLayout.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

namespace {

enum Column { TrackColumn = 0, TitleColumn = 2 };

// "2 · deu", as the list of the track played first shows it.
QString TrackName(int number, const SoundTrackReport& track) {
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

QStandardItem* ShownItem(const QString& text) {
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

}  // namespace

FileSettingsDialog::FileSettingsDialog(const SourceEntry& source, const ConversionSettings& settings, QWidget* parent)
    : QDialog(parent), m_source(source) {
    DialogLayout layout(*this, FileSettingsDialogTemplate());
    m_trackList = layout.Bind<QTreeView>(IDC_FILE_TRACKS);
    m_firstList = layout.Bind<QComboBox>(IDC_FILE_FIRST_TRACK);
    connect(layout.Bind<QPushButton>(ID_OK), &QPushButton::clicked, this, &QDialog::accept);
    connect(layout.Bind<QPushButton>(ID_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_firstList, &QComboBox::activated, this, &FileSettingsDialog::OnFirstChosen);
    new DialogEnterKey(*this);
    std::vector<int> kept = SoundTrackChoice::Chosen(source, settings);
    if (kept.empty()) kept = SoundTrackChoice::Kept(source, settings);
    FillTracks(kept);
}

void FileSettingsDialog::FillTracks(const std::vector<int>& kept) {
    m_tracks.setHorizontalHeaderLabels(
        {QStringLiteral("Track"), QStringLiteral("Language"), QStringLiteral("Title"), QStringLiteral("Sound")});
    for (std::size_t i = 0; i < m_source.soundTracks.size(); ++i) {
        const SoundTrackReport& track = m_source.soundTracks[i];
        const int number = static_cast<int>(i) + 1;
        auto* keep = new QStandardItem(QString::number(number));
        keep->setCheckable(true);
        keep->setCheckState(std::find(kept.begin(), kept.end(), number) != kept.end() ? Qt::Checked : Qt::Unchecked);
        keep->setEditable(false);
        m_tracks.appendRow({keep, ShownItem(QString::fromStdString(track.language)),
                            ShownItem(QString::fromStdString(track.title)), ShownItem(SoundText(track))});
        m_firstList->addItem(TrackName(number, track), number);
    }
    m_trackList->setModel(&m_tracks);
    // A title takes the room the short columns leave.
    m_trackList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_trackList->header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    m_firstList->setCurrentIndex(kept.empty() ? -1 : kept.front() - 1);
    m_trackList->setEnabled(!m_source.soundTracks.empty());
    m_firstList->setEnabled(!m_source.soundTracks.empty());
}

// The track played first is kept.
void FileSettingsDialog::OnFirstChosen(int position) {
    m_tracks.item(position, TrackColumn)->setCheckState(Qt::Checked);
}

FileOrder FileSettingsDialog::Order() const {
    FileOrder order = m_source.order;
    if (m_source.soundTracks.empty()) return order;
    const int first = m_firstList->currentData().toInt();
    std::vector<int> tracks;
    if (first > 0) tracks.push_back(first);
    for (int row = 0; row < m_tracks.rowCount(); ++row)
        if (m_tracks.item(row, TrackColumn)->checkState() == Qt::Checked && row + 1 != first) tracks.push_back(row + 1);
    order.soundTracks = tracks;
    return order;
}
