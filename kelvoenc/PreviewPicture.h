#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/EncoderOptions.h"

// Preview mode: writes the first picture a conversion with the same options
// would encode from the start time (-ss), after every filter (crop, fields,
// turn, colours, scaling, bars, a subtitle drawn in), as an RGB PNG at the
// shape it is shown in. Nothing is encoded: the source is read from the
// keyframe before the start only as far as that picture.
class PreviewPicture {
public:
    static ExitStatus Run(const EncoderOptions& options);
};
