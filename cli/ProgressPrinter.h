#pragma once

#include "core/BatchEntry.h"
#include "engine/EngineEvents.h"

#include <optional>
#include <string>

// Where a file of the command line's batch stands, as a printer reports it.
struct FileReport {
    int index = 0;  // in the batch; files that could not be read come after it
    int count = 0;
    const BatchEntry* entry = nullptr;
};

// Prints what the command line's batch does on standard output, and its
// problems on standard error. Each event names its file, so runs side by
// side would report just the same.
class ProgressPrinter {
public:
    virtual ~ProgressPrinter() = default;

    virtual void FileStarted(const FileReport& file) = 0;
    // `percent` of the file is done; the batch needs about `secondsLeft` more.
    virtual void FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) = 0;
    // The entry's state, reason and output path say how it ended.
    virtual void FileEnded(const FileReport& file) = 0;
    // A file given that has no entry in the batch: it could not be read as
    // video, or the part asked for (its start, its crop) does not fit it.
    virtual void SourceUnreadable(const std::string& path, const std::string& reason) = 0;
    virtual void BatchEnded(int exitStatus, const QString& summary) = 0;

    // A problem that stands in the way (a folder that takes no file, an
    // encoder that cannot be started), as one line on standard error.
    static void Problem(const QString& text);
};

// The word a report gives an entry's state.
const char* StateWord(EntryState state);
