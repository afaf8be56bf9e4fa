#include "kelvoenc/FilterGraph.h"

#include "kelvoenc/EncoderFailure.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/mem.h>
}

#include <memory>
#include <new>

namespace {

struct InOutFreer {
    void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutFreer>;

InOutPtr MakeEndpoint(const char* name, AVFilterContext* filter) {
    InOutPtr endpoint(avfilter_inout_alloc());
    if (!endpoint) throw std::bad_alloc();
    endpoint->name = av_strdup(name);
    endpoint->filter_ctx = filter;
    endpoint->pad_idx = 0;
    endpoint->next = nullptr;
    return endpoint;
}

void CheckFilter(int error, const std::string& what) { CheckFfmpeg(error, ExitStatus::OutputUnwritable, what); }

}  // namespace

FilterGraph::FilterGraph(AVMediaType type, const std::string& sourceArguments, const std::string& chain,
                         const std::string& scalerOptions)
    : m_graph(avfilter_graph_alloc()), m_chain(chain) {
    if (!m_graph) throw std::bad_alloc();
    const std::string what = "Cannot set up the filters \"" + chain + "\"";
    bool video = type == AVMEDIA_TYPE_VIDEO;
    CheckFilter(avfilter_graph_create_filter(&m_source, avfilter_get_by_name(video ? "buffer" : "abuffer"), "in",
                                             sourceArguments.c_str(), nullptr, m_graph.get()),
                what);
    CheckFilter(avfilter_graph_create_filter(&m_sink, avfilter_get_by_name(video ? "buffersink" : "abuffersink"), "out",
                                             nullptr, nullptr, m_graph.get()),
                what);
    if (!scalerOptions.empty()) {
        m_graph->scale_sws_opts = av_strdup(scalerOptions.c_str());
        if (!m_graph->scale_sws_opts) throw std::bad_alloc();
    }
    // The pipeline gives every stage its own thread already.
    m_graph->nb_threads = 1;
    InOutPtr outputs = MakeEndpoint("in", m_source);
    InOutPtr inputs = MakeEndpoint("out", m_sink);
    AVFilterInOut* openInputs = inputs.release();
    AVFilterInOut* openOutputs = outputs.release();
    int parsed = avfilter_graph_parse_ptr(m_graph.get(), chain.c_str(), &openInputs, &openOutputs, nullptr);
    avfilter_inout_free(&openInputs);
    avfilter_inout_free(&openOutputs);
    CheckFilter(parsed, what);
    CheckFilter(avfilter_graph_config(m_graph.get(), nullptr), what);
}

void FilterGraph::Push(AVFrame* frame) {
    CheckFilter(av_buffersrc_add_frame_flags(m_source, frame, AV_BUFFERSRC_FLAG_KEEP_REF),
                "Cannot filter a frame through \"" + m_chain + "\"");
}

void FilterGraph::Close(std::int64_t endTime) {
    CheckFilter(av_buffersrc_close(m_source, endTime, AV_BUFFERSRC_FLAG_PUSH),
                "Cannot finish the filters \"" + m_chain + "\"");
}

bool FilterGraph::Pull(AVFrame* frame) {
    int result = av_buffersink_get_frame(m_sink, frame);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return false;
    CheckFilter(result, "Cannot take a frame out of the filters \"" + m_chain + "\"");
    return true;
}

AVRational FilterGraph::OutputTimeBase() const { return av_buffersink_get_time_base(m_sink); }
