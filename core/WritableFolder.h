#pragma once

#include <string>

// Whether a file can be made in this folder: a probe file is created and
// removed again. When it cannot, `cause` says why in the system's words.
bool CanWriteInFolder(const std::string& folder, std::string& cause);
