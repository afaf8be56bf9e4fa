#pragma once

#include "core/SourceList.h"

#include <cstddef>
#include <optional>
#include <string>

// Paths and texts are limited to 255 characters.
inline constexpr std::size_t kMaxPathLength = 255;

// The output path for a source: the output folder (a separator appended when
// missing), the source's file name with its extension replaced by the output
// format's. When a file of that name exists, the name becomes
// "<name>_<source extension>.<output extension>" (party.avi -> party_avi.avi),
// used even when that exists too: it is replaced by the conversion. A name
// that would hit a listed source (the source itself or another row) gets
// "_1", "_2", ... before the extension until it hits none, so a source is
// never overwritten.
// Returns nullopt when the path would be longer than kMaxPathLength.
std::optional<std::string> MakeOutputPath(const std::string& sourcePath, const std::string& outputFolder,
                                          int outputFormat, const SourceList& listed);
