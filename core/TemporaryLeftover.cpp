#include "core/TemporaryLeftover.h"

#include "protocol/TemporaryOutput.h"

#include <filesystem>

namespace fs = std::filesystem;

void RemoveTemporaryLeftover(const std::string& outputPath, const std::string& temporaryName) {
    if (!IsTemporaryOutputName(temporaryName)) return;
    const fs::path leftover = fs::path(outputPath).parent_path() / temporaryName;
    std::error_code error;
    // Links and folders under that name were never the encoder's.
    if (fs::symlink_status(leftover, error).type() == fs::file_type::regular) fs::remove(leftover, error);
}
