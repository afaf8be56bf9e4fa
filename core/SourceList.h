#pragma once

#include "core/SourceEntry.h"

#include <string>
#include <vector>

// The queue of files to convert, at most 99 rows, each with the properties
// its probe reported and what the user chose for it.
//
// totalDuration() is the rows' kept lengths (KeptSeconds), kept as a
// running sum (added on Append, subtracted on Remove, both on SetOrder) and
// never recomputed from the rows.
//
// The file list window shows it through its model; a Convert hands a copy
// of it to the conversion engine.
class SourceList {
public:
    static constexpr int kCapacity = 99;

    int fileCount() const { return static_cast<int>(m_rows.size()); }
    double totalDuration() const { return m_totalDuration; }
    bool IsFull() const { return fileCount() >= kCapacity; }

    // Row 0 .. fileCount() - 1.
    const SourceEntry& Entry(int row) const;

    // Makes this file the new last row. Returns false, changing nothing, when
    // the list is full.
    bool Append(const SourceEntry& entry);

    // Removes a row; the later rows move one place toward the front, each
    // keeping its own values.
    void Remove(int row);

    // What the user chose for this row's file alone.
    void SetOrder(int row, FileOrder order);

    // Exchanges two rows (path and properties); the total is unchanged.
    void Swap(int first, int second);

    // Whether a listed row's path names this file (the same text, or the same
    // file reached by another path).
    bool NamesListedFile(const std::string& path) const;

private:
    bool IsRow(int row) const { return row >= 0 && row < fileCount(); }

    std::vector<SourceEntry> m_rows;
    double m_totalDuration = 0.0;
};
