#include "core/FolderCreation.h"

#include "core/ProgramFolder.h"

#include <sys/stat.h>
#include <cerrno>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the level unless it is there already; a file in its place makes
// the next level (or the final check) fail with ENOTDIR.
bool MakeLevel(const std::string& level) { return ::mkdir(level.c_str(), 0777) == 0 || errno == EEXIST; }

}  // namespace

int EnsureFolder(const std::string& folder) {
    if (folder.empty() || folder.front() != kPathSeparator) {
        errno = EINVAL;
        return -1;
    }
    if (IsFolder(folder)) return 0;
    for (std::size_t cut = folder.find(kPathSeparator, 1); cut != std::string::npos;
         cut = folder.find(kPathSeparator, cut + 1))
        if (!MakeLevel(folder.substr(0, cut))) return -1;
    if (!MakeLevel(folder)) return -1;
    if (IsFolder(folder)) return 0;
    errno = ENOTDIR;
    return -1;
}
