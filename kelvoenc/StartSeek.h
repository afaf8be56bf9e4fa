#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/ReadAhead.h"
#include "kelvoenc/VideoPlan.h"

#include <cstdint>
#include <optional>
#include <string>

// Opens the source where reading its kept part begins: at a keyframe
// before the start time (-ss) where the source can seek to one, else at its
// beginning; and reads on to the first picture there, for what it tells of
// them all (FirstPicture). The packets read stay in the read-ahead.
class StartSeek {
public:
    static StartSeek Open(std::optional<InputMedia>& source, const std::string& path, const EncoderOptions& options,
                          ReadAhead& readAhead);

    PictureTraits traits;
    // Where the streams' timelines begin, in microseconds of the source's
    // clock: the earliest time met after a seek; none when reading starts
    // at the source's beginning.
    std::optional<std::int64_t> timelineMicroseconds;
};
