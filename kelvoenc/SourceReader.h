#pragma once

#include "kelvoenc/AudioTrack.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/ReadAhead.h"
#include "kelvoenc/StreamDecoder.h"
#include "kelvoenc/StreamTimeline.h"

#include <optional>
#include <vector>

// The pipeline's first stage: reads the source, decodes the picture and
// every chosen sound track, hands the pictures to the filter stage and takes
// the sound all the way to packets itself. Timestamps leave it in microseconds (kFrameTimeBase),
// counting from the conversion's start, on one continuous timeline per
// stream (a picture's best_effort_timestamp keeps its place in the source,
// likewise counted, for its subtitles); at the end time (-endpos) it stops reading. In containers whose
// timestamps can be trusted, a long wait for the next picture is a picture
// held (a screen recording, a slideshow) and stays on the timeline; only a
// jump past the source's own length is closed. A read that fails throws SourceUnreadable: a source with a hole
// is not converted as if it were whole.
class SourceReader {
public:
    static constexpr AVRational kFrameTimeBase{1, AV_TIME_BASE};

    // One sound track on its way from the source to the output. A still's
    // silence has no source stream and no decoder.
    struct SoundInput {
        const AVStream* stream;
        StreamDecoder* decoder;
        AudioTrack* track;
    };

    struct Setup {
        InputMedia& source;
        ReadAhead& readAhead;  // packets already read from the source, taken first
        StreamDecoder& videoDecoder;
        std::vector<SoundInput> sounds;  // none when the output has no sound
        const KeptPart& kept;
        // Where the timelines begin, in microseconds of the source's clock:
        // where reading begins; none: at the source's start.
        std::optional<std::int64_t> timelineMicroseconds;
        AVRational frameRate;  // for pictures that do not say how long they last
        // A still: only the first picture, held this long, and silence as
        // long for the audio, which then has no decoder.
        std::optional<double> stillSeconds;
    };

    SourceReader(Setup setup, FrameQueue& pictures, PacketQueue& packets);

    // The stage's thread.
    void Run();

    // How far into the source its own timestamps have come, in seconds from
    // the output's 0: with breaks closed, the output's length is no measure of
    // how much of the source was read.
    double ReachedSeconds() const { return m_reachedSeconds; }

private:
    bool TimelineMended() const;
    void Reached(std::int64_t sourceTime, std::int64_t duration);
    void ReadFailed(int error) const;
    std::int64_t PictureDuration(const AVFrame* frame) const;
    void TakePicture(AVFrame* frame);
    struct SoundState {
        SoundInput input;
        StreamTimeline timeline;
        bool done;
    };

    void TakeSound(SoundState& sound, AVFrame* frame);
    bool AddSilence(AudioTrack& track);
    bool FinishSounds();
    bool PastEnd(std::int64_t pts) const;
    bool Finished() const;

    Setup m_setup;
    FrameQueue& m_pictures;
    PacketQueue& m_packets;
    std::int64_t m_origin = 0;
    JoinedTimelines m_joined;
    std::optional<StreamTimeline> m_videoTimeline;
    std::vector<SoundState> m_sounds;
    double m_longestGapSeconds;
    double m_readSeconds = 0;  // how far the pictures have come
    double m_reachedSeconds = 0;
    bool m_videoDone = false;
    bool m_aborted = false;
};
