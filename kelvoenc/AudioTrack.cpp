#include "kelvoenc/AudioTrack.h"

#include "core/FormatText.h"
#include "kelvoenc/AudioPlan.h"
#include "kelvoenc/EncoderFailure.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <string>

namespace {

std::string LayoutText(const AVChannelLayout& layout) {
    char text[128] = {};
    av_channel_layout_describe(&layout, text, sizeof text);
    return text;
}

std::string Chain(const EncoderOptions& options, const AVCodecContext* encoder) {
    std::string chain;
    if (options.endSeconds) chain += FormatText("atrim=end=%.6f,", *options.endSeconds);
    // Gaps and overlaps in the source's timestamps become silence or are
    // cut, so the sound stays with the picture even where the container
    // keeps no timestamps (AVI).
    chain += "aresample=async=1:first_pts=0,";
    const AudioFilterOptions& filters = options.audioFilter;
    if (filters.gainDb && *filters.gainDb != 0) {
        // Without soft clipping a raised level clips hard at full scale,
        // which the fixed-point path does.
        bool hardClip = *filters.gainDb > 0 && !filters.softClip;
        chain += FormatText("volume=%.3fdB:precision=%s,", *filters.gainDb, hardClip ? "fixed" : "float");
    }
    if (filters.softClip) chain += "asoftclip,";
    chain += FormatText("aformat=sample_fmts=%s:sample_rates=%d:channel_layouts=%s",
                        av_get_sample_fmt_name(encoder->sample_fmt), encoder->sample_rate,
                        LayoutText(encoder->ch_layout).c_str());
    return chain;
}

}  // namespace

AudioTrack::AudioTrack(const EncoderOptions& options, AVRational sourceTimeBase, FrameEncoder encoder, int stream,
                       PacketQueue& packets)
    : m_options(options),
      m_sourceTimeBase(sourceTimeBase),
      m_encoder(std::move(encoder)),
      m_stream(stream),
      m_packets(packets) {}

void AudioTrack::BuildGraph(const AVFrame* first) {
    m_graphLayout = AudioPlan::KnownLayout(first->ch_layout);
    m_graphRate = first->sample_rate;
    m_graphFormat = first->format;
    std::string source =
        FormatText("time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s", m_graphRate, m_graphRate,
                   av_get_sample_fmt_name(AVSampleFormat(m_graphFormat)), LayoutText(m_graphLayout).c_str());
    m_graph = std::make_unique<FilterGraph>(AVMEDIA_TYPE_AUDIO, source, Chain(m_options, m_encoder.Context()));
    const AVCodecContext* encoder = m_encoder.Context();
    if (!(encoder->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && encoder->frame_size > 0)
        m_graph->SetSinkFrameSize(encoder->frame_size);
}

bool AudioTrack::MatchesGraph(const AVFrame* frame) const {
    return frame->sample_rate == m_graphRate && frame->format == m_graphFormat &&
           frame->ch_layout.nb_channels == m_graphLayout.nb_channels;
}

bool AudioTrack::Add(AVFrame* decoded) {
    if (!m_graph) BuildGraph(decoded);
    if (!MatchesGraph(decoded)) {
        if (!m_mismatchNoted) Notice("the source's sound changes its format midway; the changed part is left out.");
        m_mismatchNoted = true;
        return !m_aborted;
    }
    AVChannelLayout layout = AudioPlan::KnownLayout(decoded->ch_layout);
    av_channel_layout_uninit(&decoded->ch_layout);
    decoded->ch_layout = layout;
    if (decoded->pts != AV_NOPTS_VALUE)
        m_nextPts = av_rescale_q(decoded->pts, m_sourceTimeBase, AVRational{1, m_graphRate});
    decoded->pts = m_nextPts;
    m_nextPts += decoded->nb_samples;
    m_graph->Push(decoded);
    return Drain();
}

bool AudioTrack::Finish() {
    if (!m_graph) return !m_aborted;
    m_graph->Close(m_nextPts);
    if (!Drain()) return false;
    m_encoder.Encode(nullptr, [this](PacketPtr packet) { Deliver(std::move(packet)); });
    return !m_aborted;
}

bool AudioTrack::Drain() {
    AVRational filteredBase = m_graph->OutputTimeBase();
    AVRational encoderBase = m_encoder.Context()->time_base;
    while (!m_aborted && m_graph->Pull(m_filtered.get())) {
        m_filtered->pts = av_rescale_q(m_filtered->pts, filteredBase, encoderBase);
        m_encoder.Encode(m_filtered.get(), [this](PacketPtr packet) { Deliver(std::move(packet)); });
        av_frame_unref(m_filtered.get());
    }
    return !m_aborted;
}

bool AudioTrack::Deliver(PacketPtr packet) {
    if (m_aborted) return false;
    m_aborted = !m_packets.Push(EncodedPacket{std::move(packet), m_stream, m_encoder.Context()->time_base});
    return !m_aborted;
}
