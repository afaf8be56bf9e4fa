#include "kelvoenc/VideoFilterStage.h"

#include "kelvoenc/EncoderFailure.h"
#include "text/FormatText.h"

#include <optional>

namespace {

const char* ScalerName(int scaler) {
    static constexpr const char* kNames[] = {"fast_bilinear", "bilinear", "bicubic", "experimental", "neighbor", "area",
                                             "bicublin",      "gauss",    "sinc",    "lanczos",      "spline"};
    return scaler >= 0 && scaler <= 10 ? kNames[scaler] : "bicubic";
}

AVRational SquareWhenUnknown(AVRational aspect) { return aspect.num > 0 && aspect.den > 0 ? aspect : AVRational{1, 1}; }

}  // namespace

DecodedPictureFormat DecodedPictureFormat::Of(const AVFrame* picture) {
    return {picture->width,       picture->height,     picture->format,
            picture->color_range, picture->colorspace, SquareWhenUnknown(picture->sample_aspect_ratio)};
}

bool DecodedPictureFormat::operator==(const DecodedPictureFormat& other) const {
    return width == other.width && height == other.height && pixelFormat == other.pixelFormat && range == other.range &&
           colourSpace == other.colourSpace && av_cmp_q(sampleAspect, other.sampleAspect) == 0;
}

VideoFilterStage::VideoFilterStage(Setup setup, FrameQueue& decoded, FrameQueue& filtered)
    : m_setup(std::move(setup)), m_decoded(decoded), m_filtered(filtered) {}

std::string VideoFilterStage::Chain() const {
    const VideoGeometry& geometry = m_setup.geometry;
    std::string chain;
    if (m_setup.options.endSeconds) chain += FormatText("trim=end=%.6f,", *m_setup.options.endSeconds);
    if (!m_setup.timing.keepSourceTiming) {
        // A chain set up midway starts at the first frame the last one left.
        const double start =
            m_lastPts == AV_NOPTS_VALUE ? 0 : static_cast<double>(m_lastPts + 1) * av_q2d(m_setup.timing.timeBase);
        chain += FormatText("fps=fps=%d/%d:start_time=%.6f,", m_setup.timing.rate.num, m_setup.timing.rate.den, start);
    }
    chain += m_setup.upright.filters;
    chain += FormatText("scale=%d:%d,", geometry.pictureWidth, geometry.pictureHeight);
    if (geometry.frameWidth != geometry.pictureWidth || geometry.frameHeight != geometry.pictureHeight) {
        // Even offsets keep the chroma of 4:2:0 aligned.
        int left = (geometry.frameWidth - geometry.pictureWidth) / 2 & ~1;
        int top = (geometry.frameHeight - geometry.pictureHeight) / 2 & ~1;
        chain += FormatText("pad=%d:%d:%d:%d:black,", geometry.frameWidth, geometry.frameHeight, left, top);
    }
    chain += FormatText("format=yuv420p,setsar=%d/%d", geometry.sampleAspect.num, geometry.sampleAspect.den);
    return chain;
}

void VideoFilterStage::BuildGraph(const AVFrame* first) {
    m_graphFormat = DecodedPictureFormat::Of(first);
    const DecodedPictureFormat& format = m_graphFormat;
    std::string source = FormatText("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", format.width,
                                    format.height, format.pixelFormat, m_setup.sourceTimeBase.num,
                                    m_setup.sourceTimeBase.den, format.sampleAspect.num, format.sampleAspect.den);
    m_graph = std::make_unique<FilterGraph>(AVMEDIA_TYPE_VIDEO, source, Chain(),
                                            std::string("flags=") + ScalerName(m_setup.options.videoFilter.scaler));
}

// The chain's last frames, up to where the next picture starts.
bool VideoFilterStage::CloseGraph(std::int64_t endPts) {
    m_graph->Close(endPts);
    const bool drained = Drain();
    m_graph.reset();
    return drained;
}

void VideoFilterStage::Run() {
    std::int64_t endPts = 0;
    std::optional<std::int64_t> firstPts;
    while (std::optional<FramePtr> frame = m_decoded.Pop()) {
        AVFrame* picture = frame->get();
        if (m_graph && !(DecodedPictureFormat::Of(picture) == m_graphFormat) && !CloseGraph(picture->pts)) return;
        if (!m_graph) BuildGraph(picture);
        if (!firstPts) firstPts = picture->pts;
        endPts = picture->pts + std::max<std::int64_t>(picture->pkt_duration, 1);
        m_graph->Push(picture);
        if (!Drain()) return;
    }
    if (m_decoded.Aborted()) return;
    if (!m_graph)
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "No picture of \"" + m_setup.sourcePath + "\" could be decoded.");
    // A source shorter than one output frame (a single picture of a
    // millisecond) still gives that one frame rather than none.
    m_graph->Close(
        std::max(endPts, *firstPts + av_rescale_q(1, av_inv_q(m_setup.timing.rate), m_setup.sourceTimeBase)));
    if (Drain()) m_filtered.Finish();
}

bool VideoFilterStage::Drain() {
    AVRational filteredBase = m_graph->OutputTimeBase();
    while (true) {
        FramePtr picture = MakeFrame();
        if (!m_graph->Pull(picture.get())) return true;
        picture->pts = av_rescale_q(picture->pts, filteredBase, m_setup.timing.timeBase);
        // Two source frames inside one tick would share a timestamp; the
        // later one moves on by a tick so that no frame is lost.
        if (m_lastPts != AV_NOPTS_VALUE && picture->pts <= m_lastPts) picture->pts = m_lastPts + 1;
        m_lastPts = picture->pts;
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        if (!m_filtered.Push(std::move(picture))) return false;
    }
}
