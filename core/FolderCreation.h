#pragma once

#include <string>

// Makes the folder exist, creating missing levels one by one from the root.
// The folder is an absolute path; a trailing separator is ignored. A
// relative path is refused (EINVAL), so nothing depends on the process's
// current directory, which is never changed.
// Returns 0 on success, -1 on failure with errno telling why.
int EnsureFolder(const std::string& folder);
