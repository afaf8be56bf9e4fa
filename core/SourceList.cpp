#include "core/SourceList.h"

#include "core/KeptPart.h"

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
    return m_rows[static_cast<std::size_t>(row)];
}

bool SourceList::Append(const SourceEntry& entry) {
    if (IsFull()) return false;
    m_rows.push_back(entry);
    m_totalDuration += KeptSeconds(entry);
    return true;
}

void SourceList::Remove(int row) {
    if (!IsRow(row)) return;
    m_totalDuration -= KeptSeconds(Entry(row));
    m_rows.erase(m_rows.begin() + row);
}

void SourceList::Swap(int first, int second) {
    if (!IsRow(first) || !IsRow(second)) return;
    std::swap(m_rows[static_cast<std::size_t>(first)], m_rows[static_cast<std::size_t>(second)]);
}

bool SourceList::NamesListedFile(const std::string& path) const {
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [&path](const SourceEntry& row) { return SameFile(row.path, path); });
}

void SourceList::SetOrder(int row, FileOrder order) {
    if (!IsRow(row)) return;
    SourceEntry& entry = m_rows[static_cast<std::size_t>(row)];
    m_totalDuration -= KeptSeconds(entry);
    entry.order = std::move(order);
    m_totalDuration += KeptSeconds(entry);
}
