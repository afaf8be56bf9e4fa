#pragma once

#include <string>

// Where one file of a batch stands.
enum class EntryState {
    Waiting,     // not started (yet)
    Converting,  // its run is going on
    Converted,   // a whole output was written
    Incomplete,  // an output was written and kept, but it ends short of the source
    Failed,      // no output
    Stopped,     // the user stopped the batch during this file; its output is gone
};

// One file of a batch: a listed row as it was when the batch started, and
// what became of it.
struct BatchEntry {
    int row = 0;  // its position in the source list
    std::string sourcePath;
    double durationSeconds = 0.0;  // of the part kept (KeptSeconds)
    std::string outputPath;  // named when its turn comes
    EntryState state = EntryState::Waiting;
    double reportedSeconds = 0.0;  // the last progress report of its run
    std::string reason;            // why it is Failed or Incomplete, in words for the user
    bool diskFull = false;         // Failed because the output's disk is full
    std::string leftOut;           // what its output leaves out of what was chosen, in words
};
