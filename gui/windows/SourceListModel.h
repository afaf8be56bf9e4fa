#pragma once

#include "core/SourceList.h"

#include <QAbstractTableModel>

struct BatchEntry;

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
    void ClearOutcomes();

    // A batch's entry is under way with this many of its seconds done, or
    // has ended.
    void ShowRunning(const BatchEntry& entry, double seconds);
    void ShowOutcome(const BatchEntry& entry);

private:
    QVariant Text(int row, int column) const;
    QVariant Tooltip(int row, int column) const;
    QVariant OutcomeIcon(int row) const;
    QString OutcomeText(int row) const;
    QString FileTooltip(int row) const;
    void RowChanged(int row);

    SourceList m_sources;
};
