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
};
