#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FfmpegHandles.h"

class InputMedia;

// Still mode: writes the picture the source shows at the end position
// (-endpos; the first picture without one) into the output as a PNG, at the
// size the picture is stored in. A disc menu shows it on the file's button.
class StillPicture {
public:
    static ExitStatus Run(const EncoderOptions& options);

    // The stored picture the source shows at `seconds` from its video's
    // start: the first at or after it, else the last one before the end.
    // Throws SourceUnreadable when none decodes.
    static FramePtr PictureAt(InputMedia& source, double seconds);
};
