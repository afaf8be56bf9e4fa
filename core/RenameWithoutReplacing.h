#pragma once

#include <string>

// Gives a file or folder a new name, failing (errno EEXIST) instead of
// replacing anything that has that name, even when it appears at the last
// moment. File systems without the no-replace rename get the same guarantee
// for files from a hard link.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);
