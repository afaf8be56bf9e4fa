#pragma once

#include "kelvoenc/AudioTrack.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/StreamDecoder.h"

#include <optional>

// The pipeline's first stage: reads the source, decodes both streams, hands
// the pictures to the filter stage and takes the sound all the way to
// packets itself. Timestamps leave it counting from the conversion's start;
// at the end time (-endpos) it stops reading.
class SourceReader {
public:
    struct Setup {
        InputMedia& source;
        StreamDecoder& videoDecoder;
        StreamDecoder* audioDecoder;  // null when the output has no audio
        AudioTrack* audio;
        std::optional<double> endSeconds;
        AVRational frameRate;  // for pictures that do not say how long they last
    };

    SourceReader(Setup setup, FrameQueue& pictures, PacketQueue& packets);

    // The stage's thread.
    void Run();

private:
    void TakePicture(AVFrame* frame);
    void TakeSound(AVFrame* frame);
    bool PastEnd(std::int64_t pts, AVRational timeBase) const;
    bool Finished() const;

    Setup m_setup;
    FrameQueue& m_pictures;
    PacketQueue& m_packets;
    std::int64_t m_videoOrigin = 0;
    std::int64_t m_audioOrigin = 0;
    std::int64_t m_nextVideoPts = 0;
    bool m_videoDone = false;
    bool m_audioDone = false;
    bool m_aborted = false;
};
