#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FilterGraph.h"
#include "kelvoenc/FrameEncoder.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/PipelineItems.h"

#include <memory>
#include <optional>

// The audio's way from decoded frames to encoded packets: gain, soft clip,
// channel mix and resampling, then the encoder's frame size and the encoder.
// Sound that changes its layout, rate or sample format midway (a broadcast
// going from stereo to 5.1) gets a new chain from there on, which carries
// on where the last one ended, so all of it is kept and mixed to the
// output's layout. It runs on the reader's thread; audio costs little next
// to video.
class AudioTrack {
public:
    // sourceTimeBase: of the decoded frames' timestamps, which count from
    // the output's 0; the sound is cut to the kept part there.
    AudioTrack(const EncoderOptions& options, const KeptPart& kept, AVRational sourceTimeBase, FrameEncoder encoder,
               int stream, PacketQueue& packets);

    // False when the pipeline was aborted.
    bool Add(AVFrame* decoded);
    bool Finish();

private:
    bool Drain();
    bool FillGap(std::int64_t until);
    bool EncodeBuffered(bool all);
    bool Deliver(PacketPtr packet);
    bool MatchesGraph(const AVFrame* frame) const;
    void CloseGraph();
    void BuildGraph(const AVFrame* first);

    const EncoderOptions& m_options;
    const KeptPart& m_kept;
    AVRational m_sourceTimeBase;
    FrameEncoder m_encoder;
    int m_stream;
    PacketQueue& m_packets;
    std::unique_ptr<FilterGraph> m_graph;
    AVChannelLayout m_graphLayout{};
    int m_graphRate = 0;
    int m_graphFormat = -1;
    std::int64_t m_nextPts = 0;  // in 1/sample rate of the source
    // Filtered sound waits here until it fills one of the encoder's frames.
    AudioFifoPtr m_buffered;
    std::int64_t m_filteredSamples = 0;  // out of every chain so far
    std::int64_t m_encodedSamples = 0;
    bool m_aborted = false;
    FramePtr m_filtered = MakeFrame();
};
