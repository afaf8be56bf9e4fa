#pragma once

// How kelvoenc's process ends; the front-end turns each status into a reason
// for the user. Only Done promises a whole, playable output.
enum class ExitStatus : int {
    Done = 0,
    BadArguments = 1,
    SourceUnreadable = 2,  // the source cannot be read or has no video
    OutputUnwritable = 3,  // the output cannot be written or encoded
    Stopped = 4,           // stopped by request
    Incomplete = 5,        // an output was written, but it ends clearly short of the source
};
