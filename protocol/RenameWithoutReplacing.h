#pragma once

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <cerrno>
#include <string>

// How both programs give a finished file (the front-end also a folder) its
// name: failing with EEXIST instead of replacing anything that has that
// name, even when it appears at the last moment. File systems without the
// no-replace rename get the same guarantee for files from a hard link.
// `from` is found from the folder descriptor `fromFolder`, or as a path with
// AT_FDCWD.
inline bool RenameWithoutReplacing(int fromFolder, const std::string& from, const std::string& to) {
    if (renameat2(fromFolder, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (linkat(fromFolder, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) return false;
    unlinkat(fromFolder, from.c_str(), 0);
    return true;
}

inline bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    return RenameWithoutReplacing(AT_FDCWD, from, to);
}
