#pragma once

#include <string>

// Makes the folder exist and become the process's current directory,
// creating missing levels one by one from the first existing ancestor. A
// trailing separator is ignored; "/" plays the part of a drive root. A path
// without any separator can only be entered, not created.
// Returns 0 on success, -1 on failure with errno telling why.
int EnsureFolder(const std::string& folder);
