#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FilterGraph.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/VideoPlan.h"

#include <memory>
#include <string>

// The pipeline's filter stage: decoded pictures in, pictures ready for the
// encoder out (end time, frame rate, scaling, padding, pixel format and
// shape), with timestamps in the encoder's time base.
class VideoFilterStage {
public:
    struct Setup {
        const EncoderOptions& options;
        VideoGeometry geometry;
        FrameTiming timing;
        AVRational sourceTimeBase;  // of the decoded frames, counting from the start
        std::string sourcePath;
        int uprightTurn;  // clockwise, in degrees
    };

    VideoFilterStage(Setup setup, FrameQueue& decoded, FrameQueue& filtered);

    // The stage's thread.
    void Run();

private:
    void BuildGraph(const AVFrame* first);
    std::string Chain() const;
    bool Drain();

    Setup m_setup;
    FrameQueue& m_decoded;
    FrameQueue& m_filtered;
    std::unique_ptr<FilterGraph> m_graph;
    std::int64_t m_lastPts = AV_NOPTS_VALUE;  // of the last frame handed on
};
