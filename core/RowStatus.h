#pragma once

#include "core/BatchEntry.h"

#include <string>

// What the last batch made of a listed file, shown in its row from the end
// of its run until the list changes. A row no batch has reached is Waiting.
struct RowStatus {
    EntryState state = EntryState::Waiting;
    double doneShare = 0.0;  // how far a Converting row's run is, 0 to 1
    std::string outputPath;  // of a Converted row
    std::string reason;      // why a row is Failed or Incomplete, in words for the user
};
