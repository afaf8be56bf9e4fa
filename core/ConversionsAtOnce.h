#pragma once

#include "core/ConversionSettings.h"

// How many files a batch converts side by side, and how many threads each of
// those runs may keep busy, so that the runs together ask for about the
// machine's cores and never for runs times cores.

// The chosen number of conversions at once, held to the cores, or for
// "Auto" one picked from the cores and the format: H.264 and H.265 spread
// one run over many threads and get a run for every four cores; the classic
// formats keep about two cores busy per run and get one for every two, and
// two at least where there are two cores, since starting and ending short
// runs leaves cores idle. Never more than `filesLeft`, never fewer than one.
int ConversionsAtOnce(const ConversionSettings& settings, int cores, int filesLeft);

// Each of `runs` runs' share of `cores` threads: at least one.
int ThreadsPerRun(int cores, int runs);

// The machine's cores, at least one.
int AvailableCores();
