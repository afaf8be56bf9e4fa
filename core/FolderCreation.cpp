#include "core/FolderCreation.h"

#include "core/ProgramFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

// The parent part of a path whose last level hangs directly off the root
// ("" for "/Videos").
bool IsRoot(const std::string& parent) { return parent.empty(); }

int CreateAndEnter(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return -1;
    return ::chdir(folder.c_str()) == 0 ? 0 : -1;
}

}  // namespace

int EnsureFolder(const std::string& folder) {
    std::string path = folder;
    if (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
    if (::chdir(path.c_str()) == 0) return 0;

    std::size_t cut = path.rfind(kPathSeparator);
    if (cut == std::string::npos) {
        errno = ENOENT;
        return -1;
    }
    std::string parent = path.substr(0, cut);
    if (IsRoot(parent)) return CreateAndEnter(path);
    if (EnsureFolder(parent) != 0) return -1;
    // The parent is now the current directory.
    return CreateAndEnter(path.substr(cut + 1));
}
