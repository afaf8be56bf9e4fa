#pragma once

#include "engine/BatchListFile.h"

#include <cstdio>
#include <string>
#include <vector>

// The files of the list `listPath` to convert: all of them, or, when the
// command line names files too, those of them it names, in the list's
// order. Throws UsageError for a named file the list does not hold.
std::vector<BatchListFile::Listed> ChooseListed(const std::vector<BatchListFile::Listed>& listed,
                                                const std::vector<std::string>& named, const std::string& listPath);

// Writes each listed path's bytes and a newline to `out`, for GNU parallel
// and the like. A path holding a newline would read as two: it is left out
// and said on standard error. Returns the exit status: 0, or 1 when a path
// was left out.
int PrintListed(const std::vector<BatchListFile::Listed>& listed, std::FILE* out);
