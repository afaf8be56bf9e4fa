#pragma once

// An output frame rate of this or more in the argument text asks the encoder
// to keep the source's own frames and timing ("Original" for WMV, ASF and
// MP4), where the container has timestamps of its own.
inline constexpr double kKeepSourceTimingRate = 1000.0;
