#pragma once

#include "kelvoenc/AudioTrack.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/StreamDecoder.h"
#include "kelvoenc/StreamTimeline.h"

#include <optional>

// The pipeline's first stage: reads the source, decodes both streams, hands
// the pictures to the filter stage and takes the sound all the way to
// packets itself. Timestamps leave it in microseconds (kFrameTimeBase),
// counting from the conversion's start, on one continuous timeline per
// stream; at the end time (-endpos) it stops
// reading. A read that fails throws SourceUnreadable: a source with a hole
// is not converted as if it were whole.
class SourceReader {
public:
    static constexpr AVRational kFrameTimeBase{1, AV_TIME_BASE};

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

    // Whether breaks in the source's timestamps were closed; the length the
    // source states then counts the gaps too.
    bool TimelineMended() const;

private:
    void ReadFailed(int error) const;
    std::int64_t PictureDuration(const AVFrame* frame) const;
    void TakePicture(AVFrame* frame);
    void TakeSound(AVFrame* frame);
    bool PastEnd(std::int64_t pts) const;
    bool Finished() const;

    Setup m_setup;
    FrameQueue& m_pictures;
    PacketQueue& m_packets;
    std::int64_t m_origin = 0;
    std::optional<StreamTimeline> m_videoTimeline;
    std::optional<StreamTimeline> m_audioTimeline;
    double m_readSeconds = 0;  // how far the pictures have come
    bool m_videoDone = false;
    bool m_audioDone = false;
    bool m_aborted = false;
};
