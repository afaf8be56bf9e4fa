#include "core/OutputPath.h"

#include "core/FormatCatalogue.h"
#include "core/ProgramFolder.h"

#include <algorithm>
#include <filesystem>

namespace {

struct SplitName {
    std::string stem;       // up to the last dot
    std::string extension;  // after the last dot; empty without one
};

SplitName SplitAtLastDot(const std::string& fileName) {
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) return {fileName, ""};
    return {fileName.substr(0, dot), fileName.substr(dot + 1)};
}

// A link counts as the file it is, even when it leads nowhere.
bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

std::string MakeOutputPath(const std::string& sourcePath, const std::string& outputFolder, int outputFormat,
                           const SourceList& listed, const std::vector<std::string>& reserved) {
    std::string folder = outputFolder;
    if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
    SplitName source = SplitAtLastDot(sourcePath.substr(sourcePath.rfind(kPathSeparator) + 1));
    std::string extension = OutputExtension(outputFormat);

    auto taken = [&](const std::string& path) {
        return Exists(path) || listed.NamesListedFile(path) ||
               std::find(reserved.begin(), reserved.end(), path) != reserved.end();
    };
    std::string path = folder + source.stem + "." + extension;
    if (taken(path)) {
        std::string stem = source.stem + "_" + source.extension;
        path = folder + stem + "." + extension;
        for (int suffix = 1; taken(path); ++suffix)
            path = folder + stem + "_" + std::to_string(suffix) + "." + extension;
    }

    return path;
}

std::string ResolveFolder(const std::string& typed, const std::string& homeFolder) {
    if (typed.empty() || typed.front() == kPathSeparator) return typed;
    std::string relative = typed;
    if (relative == "~")
        relative.clear();
    else if (relative.rfind(std::string("~") + kPathSeparator, 0) == 0)
        relative.erase(0, 2);
    std::string resolved = (std::filesystem::path(homeFolder) / relative).lexically_normal().string();
    const bool wantsSeparator = typed.back() == kPathSeparator;
    if (!wantsSeparator && resolved.size() > 1 && resolved.back() == kPathSeparator) resolved.pop_back();
    return resolved;
}
