#include "gui/windows/SourceListModel.h"

#include "core/KeptPart.h"
#include "engine/EngineEvents.h"
#include "text/ClockTime.h"
#include "text/ProgressText.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <algorithm>
#include <cstdint>

namespace {

// The number column's text of the row at this 0-based position.
QString RowNumberText(int row) { return QStringLiteral("          %1").arg(row + 1); }

QString Percent(double share) { return QStringLiteral("%1%").arg(static_cast<int>(std::clamp(share, 0.0, 1.0) * 100)); }

QStyle::StandardPixmap OutcomePixmap(EntryState state) {
    switch (state) {
    case EntryState::Converting: return QStyle::SP_MediaPlay;
    case EntryState::Converted: return QStyle::SP_DialogApplyButton;
    case EntryState::Incomplete: return QStyle::SP_MessageBoxWarning;
    case EntryState::Failed: return QStyle::SP_MessageBoxCritical;
    // Not the browser's stop sign: most styles draw it as the red cross of a failure.
    case EntryState::Stopped: return QStyle::SP_MediaStop;
    case EntryState::Waiting: break;
    }
    return QStyle::SP_CustomBase;
}

// "Its own subtitles: 1, 3 (3 shown, drawn into the picture)"
QString SubtitlesTip(const FileOrder& order) {
    if (order.subtitleTracks->empty()) return QStringLiteral("\nIts own subtitles: none");
    QStringList numbers;
    for (int number : *order.subtitleTracks) numbers << QString::number(number);
    QStringList notes;
    if (order.shownSubtitle) notes << QStringLiteral("%1 shown").arg(*order.shownSubtitle);
    if (order.burnSubtitle) notes << QStringLiteral("drawn into the picture");
    return QStringLiteral("\nIts own subtitles: %1").arg(numbers.join(QStringLiteral(", "))) +
           (notes.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(notes.join(QStringLiteral(", "))));
}

// "Kept: 00:00:10.00 to 00:00:20.00"
QString KeptPartTip(const SourceEntry& entry) {
    const FileOrder& order = entry.order;
    if (!order.startSeconds && !order.endSeconds) return {};
    return QStringLiteral("\nKept: %1 to %2")
        .arg(QString::fromStdString(FormatClockTime(order.startSeconds.value_or(0))),
             QString::fromStdString(FormatClockTime(order.endSeconds.value_or(entry.durationSeconds))));
}

// "Cropped to 1920×800, measured" or "Cropped by hand to 640×480"
QString CropTip(const SourceEntry& entry) {
    const FileOrder& order = entry.order;
    if (order.crop == CropMode::None) return {};
    if (order.crop == CropMode::Automatic && !order.measuredCrop)
        return QStringLiteral("\nCropped automatically, measured when converted");
    const CropEdges& edges = order.crop == CropMode::Custom ? order.customCrop : order.measuredCrop->edges;
    return QStringLiteral("\nCropped %1to %2\u00d7%3")
        .arg(order.crop == CropMode::Custom ? QStringLiteral("by hand ") : QStringLiteral("automatically "))
        .arg(entry.sourceWidth - edges.left - edges.right)
        .arg(entry.sourceHeight - edges.top - edges.bottom);
}

}  // namespace

int SourceListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_sources.fileCount(); }

int SourceListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant SourceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_sources.fileCount()) return {};
    switch (role) {
    case Qt::DisplayRole: return Text(index.row(), index.column());
    case Qt::ToolTipRole: return Tooltip(index.row(), index.column());
    case Qt::DecorationRole: return index.column() == NumberColumn ? OutcomeIcon(index.row()) : QVariant();
    case Qt::TextAlignmentRole: return index.column() == DurationColumn ? QVariant(int(Qt::AlignCenter)) : QVariant();
    default: return {};
    }
}

QVariant SourceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole)
        return int(section == DurationColumn ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (section) {
    case NumberColumn: return QStringLiteral(" Number");
    case PathColumn: return QStringLiteral("  File path");
    case DurationColumn: return QStringLiteral("   Duration");
    default: return {};
    }
}

// The length kept of the file truncates toward zero, as the column shows it.
QVariant SourceListModel::Text(int row, int column) const {
    const SourceEntry& entry = m_sources.Entry(row);
    switch (column) {
    case NumberColumn: return RowNumberText(row);
    case PathColumn: return QString::fromStdString(entry.path);
    case DurationColumn: {
        const RowStatus& status = Status(row);
        if (status.state == EntryState::Converting) return Percent(status.doneShare);
        return QString::fromStdString(FormatClock(static_cast<std::int64_t>(KeptSeconds(entry))));
    }
    default: return {};
    }
}

QVariant SourceListModel::Tooltip(int row, int column) const {
    if (column == NumberColumn) {
        QString outcome = OutcomeText(row);
        return outcome.isEmpty() ? QVariant() : QVariant(outcome);
    }
    return column == PathColumn ? QVariant(FileTooltip(row)) : QVariant();
}

QVariant SourceListModel::OutcomeIcon(int row) const {
    const QStyle::StandardPixmap pixmap = OutcomePixmap(Status(row).state);
    if (pixmap == QStyle::SP_CustomBase) return {};
    return QApplication::style()->standardIcon(pixmap);
}

QString SourceListModel::OutcomeText(int row) const {
    const RowStatus& status = Status(row);
    const QString reason = QString::fromStdString(status.reason);
    switch (status.state) {
    case EntryState::Converting: return QStringLiteral("Converting: %1").arg(Percent(status.doneShare));
    case EntryState::Converted: return QStringLiteral("Converted to %1").arg(QString::fromStdString(status.outputPath));
    case EntryState::Incomplete: return QStringLiteral("Converted in part: %1").arg(reason);
    case EntryState::Failed: return QStringLiteral("Failed: %1").arg(reason);
    case EntryState::Stopped: return QStringLiteral("Stopped: the unfinished output was removed");
    case EntryState::Waiting: break;
    }
    return {};
}

// The whole path, and what sets the file's pictures apart.
QString SourceListModel::FileTooltip(int row) const {
    const SourceEntry& entry = m_sources.Entry(row);
    QString tip = QString::fromStdString(entry.path);
    if (entry.hdr) tip += QStringLiteral("\nHDR video: MP4 H.265 keeps it; other formats get it in SDR colours");
    if (entry.interlaced)
        tip += entry.bottomFieldFirst ? QStringLiteral("\nInterlaced, bottom field first")
                                      : QStringLiteral("\nInterlaced, top field first");
    if (entry.order.soundTracks) {
        QStringList numbers;
        for (int number : *entry.order.soundTracks) numbers << QString::number(number);
        tip += QStringLiteral("\nIts own sound tracks: %1 (the first played first)")
                   .arg(numbers.join(QStringLiteral(", ")));
    }
    if (entry.order.subtitleTracks) tip += SubtitlesTip(entry.order);
    return tip + KeptPartTip(entry) + CropTip(entry);
}

void SourceListModel::SetOrder(int row, FileOrder order) {
    m_sources.SetOrder(row, std::move(order));
    RowChanged(row);
}

bool SourceListModel::Append(const SourceEntry& source) {
    if (m_sources.IsFull()) return false;
    ClearOutcomes();
    const int row = m_sources.fileCount();
    beginInsertRows({}, row, row);
    m_sources.Append(source);
    m_statuses.emplace_back();
    endInsertRows();
    return true;
}

// The later rows move up and take their new numbers.
void SourceListModel::Remove(int row) {
    if (row < 0 || row >= m_sources.fileCount()) return;
    ClearOutcomes();
    beginRemoveRows({}, row, row);
    m_sources.Remove(row);
    m_statuses.erase(m_statuses.begin() + row);
    endRemoveRows();
    if (row < m_sources.fileCount())
        emit dataChanged(index(row, NumberColumn), index(m_sources.fileCount() - 1, NumberColumn));
}

// The numbers stay in place; the files change rows.
void SourceListModel::Swap(int first, int second) {
    const int count = m_sources.fileCount();
    if (first < 0 || second < 0 || first >= count || second >= count) return;
    ClearOutcomes();
    m_sources.Swap(first, second);
    RowChanged(first);
    RowChanged(second);
}

void SourceListModel::ClearOutcomes() {
    if (m_sources.fileCount() == 0) return;
    m_statuses.assign(m_statuses.size(), RowStatus{});
    emit dataChanged(index(0, 0), index(m_sources.fileCount() - 1, ColumnCount - 1));
}

void SourceListModel::ShowStarted(const BatchEntry& entry) {
    SetStatus(entry.row, {EntryState::Converting, 0.0, {}, {}});
}

void SourceListModel::ShowProgress(const RunProgress& progress) {
    SetStatus(progress.row, {EntryState::Converting, progress.share, {}, {}});
}

void SourceListModel::ShowOutcome(const BatchEntry& entry) {
    SetStatus(entry.row, {entry.state, 0.0, entry.outputPath, entry.reason});
}

// Each row shows what the batch made of its file, from the end of its run
// until the list changes.
void SourceListModel::ShowOutcomes(const std::vector<BatchEntry>& entries) {
    for (const BatchEntry& entry : entries) ShowOutcome(entry);
}

const RowStatus& SourceListModel::Status(int row) const { return m_statuses.at(static_cast<std::size_t>(row)); }

void SourceListModel::SetStatus(int row, RowStatus status) {
    if (row < 0 || row >= m_sources.fileCount()) return;
    m_statuses[static_cast<std::size_t>(row)] = std::move(status);
    RowChanged(row);
}

void SourceListModel::RowChanged(int row) {
    if (row >= 0 && row < m_sources.fileCount()) emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
