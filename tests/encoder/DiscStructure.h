#pragma once

#include "MediaInfo.h"

#include <string>

enum class DiscProfile { None, Vcd, Svcd, Dvd };

// Checks (as GoogleTest expectations) what a disc player expects of a
// program stream and no muxer enforces: one pack per sector of the
// profile's size, the profile's mux rate, the VCD preload and the SVCD
// scan-offset placeholder.
void CheckDiscStructure(const std::string& path, const MediaInfo& info, DiscProfile profile);
