#include "core/OutputPath.h"

#include "core/FormatCatalogue.h"
#include "core/ProgramFolder.h"

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

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace

std::optional<std::string> MakeOutputPath(const std::string& sourcePath, const std::string& outputFolder,
                                          int outputFormat, const SourceList& listed) {
    std::string folder = outputFolder;
    if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
    SplitName source = SplitAtLastDot(sourcePath.substr(sourcePath.rfind(kPathSeparator) + 1));
    std::string extension = OutputExtension(outputFormat);

    std::string stem = source.stem;
    if (Exists(folder + stem + "." + extension)) stem += "_" + source.extension;
    std::string path = folder + stem + "." + extension;
    for (int suffix = 1; listed.NamesListedFile(path); ++suffix)
        path = folder + stem + "_" + std::to_string(suffix) + "." + extension;

    if (path.size() > kMaxPathLength) return std::nullopt;
    return path;
}
