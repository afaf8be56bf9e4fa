#include "core/DiscImageNames.h"

#include "core/FormatCatalogue.h"
#include "core/ProgramFolder.h"

#include <filesystem>

namespace {

constexpr const char* kStem = "Tarvine disc";

DiscImageNames NamesFor(const std::string& folderAndStem, DiscKind kind) {
    if (kind == DiscKind::Dvd) return {folderAndStem, folderAndStem + ".iso", ""};
    return {"", folderAndStem + ".bin", folderAndStem + ".cue"};
}

// A link counts as the file it is, even when it leads nowhere.
bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool AnyTaken(const DiscImageNames& names) {
    for (const std::string& path : names.Paths())
        if (Exists(path)) return true;
    return false;
}

}  // namespace

std::optional<DiscKind> DiscKindOf(int format) {
    switch (format) {
    case FormatVcd: return DiscKind::Vcd;
    case FormatSvcd: return DiscKind::Svcd;
    case FormatDvd: return DiscKind::Dvd;
    default: return std::nullopt;
    }
}

DiscImageNames DiscImageNames::Free(const std::string& outputFolder, DiscKind kind) {
    std::string folder = outputFolder;
    if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
    DiscImageNames names = NamesFor(folder + kStem, kind);
    for (int suffix = 1; AnyTaken(names); ++suffix)
        names = NamesFor(folder + kStem + "_" + std::to_string(suffix), kind);
    return names;
}

std::vector<std::string> DiscImageNames::Paths() const {
    std::vector<std::string> paths{image};
    if (!cue.empty()) paths.push_back(cue);
    if (!folder.empty()) paths.push_back(folder);
    return paths;
}
