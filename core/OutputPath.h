#pragma once

#include "core/SourceList.h"

#include <cstddef>
#include <string>
#include <vector>

// Paths and texts are limited to 255 characters.
inline constexpr std::size_t kMaxPathLength = 255;

// The output path for a source: the output folder (a separator appended when
// missing), the source's file name with its extension replaced by the output
// format's. A name is taken when a file of that name exists or a listed
// source (the source itself or another row) is that file; an output never
// replaces anything. When the first name is taken, the name becomes
// "<name>_<source extension>.<output extension>" (party.avi -> party_avi.avi),
// and when that is taken too, "_1", "_2", ... go before the extension until
// a name is free. The names in `reserved` (the outputs of runs still going
// on, which are not at their names yet) are taken too.
// The path is not limited in length here; a conversion refuses a path longer
// than kMaxPathLength.
std::string MakeOutputPath(const std::string& sourcePath, const std::string& outputFolder, int outputFormat,
                           const SourceList& listed, const std::vector<std::string>& reserved = {});

// The output folder a typed text names: an absolute path as typed, "~" and
// "~/..." in the home folder, and any other relative path below the home
// folder (never below the process's current directory), with "." and ".."
// levels worked out. A trailing separator is kept; an empty text stays empty.
std::string ResolveFolder(const std::string& typed, const std::string& homeFolder);
