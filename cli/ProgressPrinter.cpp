#include "cli/ProgressPrinter.h"

#include <cstdio>

void ProgressPrinter::Problem(const QString& text) {
    std::fprintf(stderr, "tarvine-convert: %s\n", text.toStdString().c_str());
    std::fflush(stderr);
}

const char* StateWord(EntryState state) {
    switch (state) {
    case EntryState::Waiting: return "not-started";
    case EntryState::Converting: return "converting";
    case EntryState::Converted: return "converted";
    case EntryState::Incomplete: return "incomplete";
    case EntryState::Failed: return "failed";
    case EntryState::Stopped: return "stopped";
    }
    return "failed";
}
