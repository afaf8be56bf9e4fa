#include "core/SourceList.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool SameFile(const std::string& first, const std::string& second) {
    if (fs::path(first).lexically_normal() == fs::path(second).lexically_normal()) return true;
    std::error_code error;
    return fs::equivalent(first, second, error);
}

}  // namespace

const SourceEntry& SourceList::Entry(int row) const {
    if (!IsRow(row)) throw std::out_of_range("source list row out of range");
    return m_slots[static_cast<std::size_t>(row)];
}

SourceEntry* SourceList::ProbeSlot() { return IsFull() ? nullptr : &m_slots[static_cast<std::size_t>(m_fileCount)]; }

bool SourceList::Append(const std::string& path) {
    SourceEntry* slot = ProbeSlot();
    if (!slot) return false;
    slot->path = path;
    m_totalDuration += slot->durationSeconds;
    ++m_fileCount;
    return true;
}

void SourceList::Remove(int row) {
    if (!IsRow(row)) return;
    auto first = m_slots.begin() + row;
    m_totalDuration -= first->durationSeconds;
    std::move(first + 1, m_slots.begin() + m_fileCount, first);
    --m_fileCount;
}

void SourceList::Swap(int first, int second) {
    if (!IsRow(first) || !IsRow(second)) return;
    std::swap(m_slots[static_cast<std::size_t>(first)], m_slots[static_cast<std::size_t>(second)]);
}

bool SourceList::NamesListedFile(const std::string& path) const {
    return std::any_of(m_slots.begin(), m_slots.begin() + m_fileCount,
                       [&path](const SourceEntry& entry) { return SameFile(entry.path, path); });
}
