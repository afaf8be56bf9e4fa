#include "kelvoenc/AudioTrack.h"

#include "kelvoenc/AudioPlan.h"
#include "kelvoenc/EncoderFailure.h"
#include "text/FormatText.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <new>
#include <string>

namespace {

std::string LayoutText(const AVChannelLayout& layout) {
    char text[128] = {};
    av_channel_layout_describe(&layout, text, sizeof text);
    return text;
}

// firstSample: where the chain's output starts, in the encoder's samples.
std::string Chain(const EncoderOptions& options, const KeptPart& kept, const AVCodecContext* encoder,
                  std::int64_t firstSample) {
    std::string chain = kept.Trim("atrim");
    // Gaps and overlaps in the source's timestamps become silence or are
    // cut, so the sound stays with the picture even where the container
    // keeps no timestamps (AVI). The mix to the encoder's channels is scaled
    // so that no sample passes full scale: left to itself, the resampler
    // scales it so only for integer samples, and a loud 5.1 or 7.1 source
    // clipped in the formats encoded from floats (WMA, AAC, AC3).
    chain += FormatText("aresample=async=1:first_pts=%lld:ochl=%s:rematrix_maxval=1,",
                        static_cast<long long>(firstSample), LayoutText(encoder->ch_layout).c_str());
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

AudioTrack::AudioTrack(const EncoderOptions& options, const KeptPart& kept, AVRational sourceTimeBase,
                       FrameEncoder encoder, int stream, PacketQueue& packets)
    : m_options(options),
      m_kept(kept),
      m_sourceTimeBase(sourceTimeBase),
      m_encoder(std::move(encoder)),
      m_stream(stream),
      m_packets(packets) {
    const AVCodecContext* context = m_encoder.Context();
    m_buffered.reset(av_audio_fifo_alloc(context->sample_fmt, context->ch_layout.nb_channels, 1));
    if (!m_buffered) throw std::bad_alloc();
}

void AudioTrack::CloseGraph() {
    m_graph->Close(m_nextPts);
    Drain();
    m_graph.reset();
    av_channel_layout_uninit(&m_graphLayout);
}

void AudioTrack::BuildGraph(const AVFrame* first) {
    m_graphLayout = AudioPlan::KnownLayout(first->ch_layout);
    m_graphRate = first->sample_rate;
    m_graphFormat = first->format;
    std::string source =
        FormatText("time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s", m_graphRate, m_graphRate,
                   av_get_sample_fmt_name(AVSampleFormat(m_graphFormat)), LayoutText(m_graphLayout).c_str());
    m_graph = std::make_unique<FilterGraph>(AVMEDIA_TYPE_AUDIO, source,
                                            Chain(m_options, m_kept, m_encoder.Context(), m_filteredSamples));
}

bool AudioTrack::MatchesGraph(const AVFrame* frame) const {
    if (frame->sample_rate != m_graphRate || frame->format != m_graphFormat) return false;
    AVChannelLayout layout = AudioPlan::KnownLayout(frame->ch_layout);
    const bool sameLayout = av_channel_layout_compare(&layout, &m_graphLayout) == 0;
    av_channel_layout_uninit(&layout);
    return sameLayout;
}

bool AudioTrack::Add(AVFrame* decoded) {
    if (m_graph && !MatchesGraph(decoded)) CloseGraph();
    if (m_aborted) return false;
    if (!m_graph) BuildGraph(decoded);
    AVChannelLayout layout = AudioPlan::KnownLayout(decoded->ch_layout);
    av_channel_layout_uninit(&decoded->ch_layout);
    decoded->ch_layout = layout;
    if (decoded->pts != AV_NOPTS_VALUE) {
        const std::int64_t start = av_rescale_q(decoded->pts, m_sourceTimeBase, AVRational{1, m_graphRate});
        if (!FillGap(start)) return false;
        m_nextPts = start;
    }
    decoded->pts = m_nextPts;
    m_nextPts += decoded->nb_samples;
    m_graph->Push(decoded);
    return Drain();
}

// A long gap in the sound becomes silence a second at a time: the
// resampler would fill it all at once, and hours of it do not fit in memory.
bool AudioTrack::FillGap(std::int64_t until) {
    while (!m_aborted && until - m_nextPts > m_graphRate) {
        FramePtr silence = MakeFrame();
        silence->nb_samples = m_graphRate;
        silence->format = m_graphFormat;
        silence->sample_rate = m_graphRate;
        if (av_channel_layout_copy(&silence->ch_layout, &m_graphLayout) < 0 ||
            av_frame_get_buffer(silence.get(), 0) < 0)
            throw std::bad_alloc();
        av_samples_set_silence(silence->extended_data, 0, m_graphRate, m_graphLayout.nb_channels,
                               AVSampleFormat(m_graphFormat));
        silence->pts = m_nextPts;
        m_nextPts += m_graphRate;
        m_graph->Push(silence.get());
        Drain();
    }
    return !m_aborted;
}

bool AudioTrack::Finish() {
    if (!m_graph) return !m_aborted;
    m_graph->Close(m_nextPts);
    if (!Drain() || !EncodeBuffered(true)) return false;
    m_encoder.Encode(nullptr, [this](PacketPtr packet) { Deliver(std::move(packet)); });
    return !m_aborted;
}

bool AudioTrack::Drain() {
    while (!m_aborted && m_graph->Pull(m_filtered.get())) {
        const int samples = m_filtered->nb_samples;
        if (av_audio_fifo_write(m_buffered.get(), reinterpret_cast<void**>(m_filtered->extended_data), samples) <
            samples)
            throw std::bad_alloc();
        m_filteredSamples += samples;
        av_frame_unref(m_filtered.get());
    }
    return EncodeBuffered(false);
}

// Hands the encoder frames of its own size; all: the end, where the last
// frame may be shorter. The chain's output has no gaps, so the count of
// samples is the timestamp.
bool AudioTrack::EncodeBuffered(bool all) {
    const AVCodecContext* encoder = m_encoder.Context();
    const bool fixedSize =
        !(encoder->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && encoder->frame_size > 0;
    while (!m_aborted) {
        const int buffered = av_audio_fifo_size(m_buffered.get());
        const int samples = fixedSize ? std::min(buffered, encoder->frame_size) : buffered;
        if (samples == 0 || (fixedSize && !all && samples < encoder->frame_size)) break;
        FramePtr frame = MakeFrame();
        frame->nb_samples = samples;
        frame->format = encoder->sample_fmt;
        frame->sample_rate = encoder->sample_rate;
        if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0 ||
            av_frame_get_buffer(frame.get(), 0) < 0)
            throw std::bad_alloc();
        av_audio_fifo_read(m_buffered.get(), reinterpret_cast<void**>(frame->extended_data), samples);
        frame->pts = m_encodedSamples;
        m_encodedSamples += samples;
        m_encoder.Encode(frame.get(), [this](PacketPtr packet) { Deliver(std::move(packet)); });
    }
    return !m_aborted;
}

bool AudioTrack::Deliver(PacketPtr packet) {
    if (m_aborted) return false;
    m_aborted = !m_packets.Push(EncodedPacket{std::move(packet), m_stream, m_encoder.Context()->time_base});
    return !m_aborted;
}
