#pragma once

#include "core/SourceEntry.h"

#include <array>
#include <string>

// The queue of files to convert: a fixed table of 99 slots, slot i holding
// row i. Slot fileCount() is the probe slot: while a file is being added the
// encoder's property reports are written into it, and Append makes it the new
// last row. The slot is not cleared between probes, so a property that a
// probe does not report keeps the slot's earlier value.
//
// totalDuration() is kept as a running sum (added on Append, subtracted on
// Remove) and never recomputed from the rows.
//
// The file list window drives this table and mirrors every change in its
// list widget; the conversion engine reads it.
class SourceList {
public:
    static constexpr int kCapacity = 99;

    int fileCount() const { return m_fileCount; }
    double totalDuration() const { return m_totalDuration; }
    bool IsFull() const { return m_fileCount >= kCapacity; }

    // Row 0 .. fileCount() - 1.
    const SourceEntry& Entry(int row) const;

    // The slot a probe fills, or nullptr when all 99 rows are taken: a
    // property report that arrives then has nowhere to go and is dropped.
    SourceEntry* ProbeSlot();

    // Makes the probe slot the new last row with this path. Returns false,
    // changing nothing, when the list is full.
    bool Append(const std::string& path);

    // Removes a row; the slots of the later rows move one place toward the
    // front, so every remaining row keeps its own values.
    void Remove(int row);

    // Exchanges two rows' slots (path and properties); the total is unchanged.
    void Swap(int first, int second);

    // Whether a listed row's path names this file (the same text, or the same
    // file reached by another path).
    bool NamesListedFile(const std::string& path) const;

private:
    bool IsRow(int row) const { return row >= 0 && row < m_fileCount; }

    std::array<SourceEntry, kCapacity> m_slots{};
    int m_fileCount = 0;
    double m_totalDuration = 0.0;
};
