#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/EncoderOptions.h"

// Still mode: writes the picture the source shows at the end position
// (-endpos; the first picture without one) into the output as a PNG, at the
// size the picture is stored in. A disc menu shows it on the file's button.
class StillPicture {
public:
    static ExitStatus Run(const EncoderOptions& options);
};
