#pragma once

// The next-to-last number of the argument text: what the encoder is asked to do.
enum EncoderMode : int {
    EncoderConvert = 0,
    EncoderProbe = 1,
    EncoderStill = 2,       // the source's picture at -endpos, as stored, into a PNG
    EncoderPreview = 3,     // the output's first picture, as the conversion's options make it, into a PNG
    EncoderMeasureCrop = 4  // the black borders of the kept part, reported
};
