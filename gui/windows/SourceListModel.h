#pragma once

#include "core/BatchEntry.h"
#include "core/RowStatus.h"
#include "core/SourceList.h"

#include <QAbstractTableModel>

#include <vector>

struct RunProgress;

// The source list as the file list shows it: the number, the path and the
// duration of each file. While a batch runs, a running row shows how far it
// is in the duration column, and an ended row shows its outcome's icon, with
// the outcome in the number's tooltip, until the list changes. Every change
// to the list goes through here, so the view always shows the list.
class SourceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NumberColumn, PathColumn, DurationColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    const SourceList& Sources() const { return m_sources; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The list changes; each change clears the last batch's outcomes.
    bool Append(const SourceEntry& source);
    void Remove(int row);
    void Swap(int first, int second);
    void SetOrder(int row, FileOrder order);
    void ClearOutcomes();

    // The conversion engine's reports, taken as it sends them: a batch's
    // entry is under way, has gone this far, or has ended; the batch is over.
    void ShowStarted(const BatchEntry& entry);
    void ShowProgress(const RunProgress& progress);
    void ShowOutcome(const BatchEntry& entry);
    void ShowOutcomes(const std::vector<BatchEntry>& entries);

private:
    QVariant Text(int row, int column) const;
    QVariant Tooltip(int row, int column) const;
    QVariant OutcomeIcon(int row) const;
    QString OutcomeText(int row) const;
    QString FileTooltip(int row) const;
    const RowStatus& Status(int row) const;
    void SetStatus(int row, RowStatus status);
    void RowChanged(int row);

    SourceList m_sources;
    std::vector<RowStatus> m_statuses;  // one a row, Waiting until a batch reaches it
};
