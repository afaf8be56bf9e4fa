#include "core/TemporaryFileSnapshot.h"

#include "protocol/TemporaryOutput.h"

#include <filesystem>

namespace fs = std::filesystem;

TemporaryFileSnapshot::TemporaryFileSnapshot(std::string folder)
    : m_folder(std::move(folder)), m_names(TemporaryNames()) {}

std::set<std::string> TemporaryFileSnapshot::TemporaryNames() const {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(m_folder, error), end; !error && entry != end; entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (IsTemporaryOutputName(name) && entry->is_regular_file(error) && !entry->is_symlink(error))
            names.insert(std::move(name));
    }
    return names;
}

void TemporaryFileSnapshot::RemoveNewFiles() const {
    for (const std::string& name : TemporaryNames()) {
        std::error_code error;
        if (!m_names.count(name)) fs::remove(fs::path(m_folder) / name, error);
    }
}
