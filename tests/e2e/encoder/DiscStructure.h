#pragma once

#include "MediaInfo.h"

#include <string>

enum class DiscProfile { None, Vcd, Svcd, Dvd };

// Checks (as GoogleTest expectations) what a disc player expects of a
// program stream and no muxer enforces: one pack per sector of the
// profile's size, the profile's mux rate, the VCD preload and the SVCD
// scan-offset placeholder.
void CheckDiscStructure(const std::string& path, const MediaInfo& info, DiscProfile profile);

// Checks the first MPEG video sequence header: its bit rate field against
// the maximum rate and its VBV buffer size against the buffer the encoder
// was given (both in kbit/s and kbit as the encoder's options count them).
// The VCD profile also needs a buffer of at most 20 units (40 KB).
void CheckSequenceHeader(const std::string& path, int maxRateKbit, int bufferKbit, DiscProfile profile);
