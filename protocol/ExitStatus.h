#pragma once

// How kelvoenc's process ends; the front-end turns each status into a reason
// for the user. Only Done promises a whole, playable output; after any other
// status but Incomplete no output file is left.
enum class ExitStatus : int {
    Done = 0,
    BadArguments = 1,
    SourceUnreadable = 2,  // the source cannot be read, has no video, or no picture of it converts
    OutputUnwritable = 3,  // the output cannot be written or encoded
    Stopped = 4,           // stopped by request or by a stop signal
    // An output was written under its final name, but it ends clearly short
    // of the source. The last line on standard error then reads
    //   kelvoenc: only HH:MM:SS of HH:MM:SS of "<source path>" could be converted: <cause>.
    // with the time converted first and the source's length second.
    Incomplete = 5,
    OutOfMemory = 6,      // the memory the conversion needs could not be had
    InternalFailure = 7,  // a fault of the encoder itself
    DiskFull = 8,         // the output's disk (or the user's quota on it) is full
    // Something else has the output's name, at the start or when the
    // finished file was to take it; a front-end may take the next free name.
    NameTaken = 9,
};

// Whether a run that ended with this status leaves its output under the
// output's name: the encoder renames its finished file there without ever
// replacing one, so after any other end what stands there is someone else's.
inline constexpr bool LeavesOutput(ExitStatus status) {
    return status == ExitStatus::Done || status == ExitStatus::Incomplete;
}

struct ExitStatusFacts {
    ExitStatus status;
    // Why a run failed, as the front-end's summary says it ("" for Done).
    const char* reason;
    // What the status means, as kelvoenc --help and the README list it.
    const char* meaning;
};

// Every status, in order: the one list the encoder's help, its exits and the
// front-end's reasons are read from.
inline constexpr ExitStatusFacts kExitStatuses[] = {
    {ExitStatus::Done, "", "Done: the whole source is in the output, which has at least one picture"},
    {ExitStatus::BadArguments, "the encoder refused its arguments", "Bad arguments; nothing was read or written"},
    {ExitStatus::SourceUnreadable, "the source cannot be read",
     "The source cannot be read: missing, not a regular file, a list of other files, no video, no picture that "
     "decodes, or a read error partway through; no output is left"},
    {ExitStatus::OutputUnwritable, "the output file cannot be written",
     "The output cannot be written or encoded (its folder is missing, was renamed or cannot be written into); no "
     "output is left"},
    {ExitStatus::Stopped, "the conversion was stopped",
     "Stopped by the front-end's reply, a closed report channel or a stop signal; no output is left"},
    {ExitStatus::Incomplete, "the output is incomplete",
     "Incomplete: the output is kept under its name, but the source ended clearly short of its stated length (a "
     "file cut short) or runs past the nine hours a conversion takes at most; the last line on standard error says how "
     "much, as kelvoenc: only 00:00:06 of 00:00:20 of "
     "\"SOURCE\" could be converted: CAUSE."},
    {ExitStatus::OutOfMemory, "the encoder ran out of memory",
     "Out of memory: the conversion needs more memory than the system gives; no output is left"},
    {ExitStatus::InternalFailure, "the encoder failed",
     "A fault of the encoder itself, named on standard error; no output is left"},
    {ExitStatus::DiskFull, "the disk holding the output is full",
     "The disk holding the output, or the user's quota on it, is full; no output is left"},
    {ExitStatus::NameTaken, "the output's name is taken",
     "A file or folder has the output's name, or took it while the output was written; it is never replaced, and "
     "no output is left"},
};

// The facts of a status number; null for a number no status has.
inline const ExitStatusFacts* FindExitStatus(int status) {
    for (const ExitStatusFacts& facts : kExitStatuses)
        if (static_cast<int>(facts.status) == status) return &facts;
    return nullptr;
}
