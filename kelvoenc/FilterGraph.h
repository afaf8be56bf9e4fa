#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <string>

// A chain of FFmpeg filters between one buffer source and one sink, for
// video or for audio. Frames go in with Push, the filtered ones come out of
// Pull; Close marks the end so the last frames can be drained.
class FilterGraph {
public:
    // sourceArguments: the (a)buffer source's parameters; chain: the filters
    // between source and sink, in FFmpeg's filter-graph syntax.
    FilterGraph(AVMediaType type, const std::string& sourceArguments, const std::string& chain,
                const std::string& scalerOptions = "");

    void Push(AVFrame* frame);
    // No more frames; the source ends at this time (in the source's time base).
    void Close(std::int64_t endTime);
    // The next filtered frame, or false when none is ready (or all are out).
    bool Pull(AVFrame* frame);

    AVRational OutputTimeBase() const;

private:
    FilterGraphPtr m_graph;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_sink = nullptr;
    std::string m_chain;
};
