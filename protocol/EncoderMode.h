#pragma once

// The next-to-last number of the argument text: what the encoder is asked to do.
enum EncoderMode : int { EncoderConvert = 0, EncoderProbe = 1, EncoderStill = 2 };
