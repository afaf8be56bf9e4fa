#pragma once

#include "core/BatchEntry.h"

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <vector>

// What the runner tells its presenters (the progress window, the command
// line's output). The runner words its sentences; a presenter only shows them.

// How a message is to be taken, as a box shows it by its sign.
enum class MessageSeverity { Plain, Information, Warning, Critical };

// A sentence for the user: a refusal before a batch, an encoder that cannot
// be started, or a batch's summary with its details and the output folder.
struct EngineMessage {
    MessageSeverity severity = MessageSeverity::Plain;
    QString text;
    QString details;  // the summary's lines on single files; empty elsewhere
    QString folder;   // the summary's output folder; empty elsewhere
};

// A question the runner waits on; the answer comes back through Answer.
enum class EngineQuestion {
    Stop,  // "Do you really want to stop?" after Cancel
    GoOn,  // a file found the disk full: go on with the rest?
};

// A progress report of one entry's run, with where the whole batch stands.
struct RunProgress {
    int index = 0;             // the entry in the batch
    int row = 0;               // the entry's row in the source list
    double seconds = 0.0;      // of that entry, converted so far
    double share = 0.0;        // of that entry's duration, converted so far (0 without one)
    double doneSeconds = 0.0;  // of the entries finished before
    double totalSeconds = 0.0;
    std::uint32_t elapsedMs = 0;  // since the batch started
};

Q_DECLARE_METATYPE(EngineMessage)
Q_DECLARE_METATYPE(RunProgress)
Q_DECLARE_METATYPE(BatchEntry)
Q_DECLARE_METATYPE(std::vector<BatchEntry>)
