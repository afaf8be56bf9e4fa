#include "kelvoenc/VideoFilterStage.h"

#include "kelvoenc/EncoderFailure.h"
#include "text/FormatText.h"

namespace {

const char* ScalerName(int scaler) {
    static constexpr const char* kNames[] = {"fast_bilinear", "bilinear", "bicubic", "experimental", "neighbor", "area",
                                             "bicublin",      "gauss",    "sinc",    "lanczos",      "spline"};
    return scaler >= 0 && scaler <= 10 ? kNames[scaler] : "bicubic";
}

const char* TurnFilters(int clockwise) {
    switch (clockwise) {
    case 90: return "transpose=clock,";
    case 180: return "hflip,vflip,";
    case 270: return "transpose=cclock,";
    default: return "";
    }
}

}  // namespace

VideoFilterStage::VideoFilterStage(Setup setup, FrameQueue& decoded, FrameQueue& filtered)
    : m_setup(std::move(setup)), m_decoded(decoded), m_filtered(filtered) {}

std::string VideoFilterStage::Chain() const {
    const VideoGeometry& geometry = m_setup.geometry;
    std::string chain;
    if (m_setup.options.endSeconds) chain += FormatText("trim=end=%.6f,", *m_setup.options.endSeconds);
    if (!m_setup.timing.keepSourceTiming)
        chain += FormatText("fps=fps=%d/%d:start_time=0,", m_setup.timing.rate.num, m_setup.timing.rate.den);
    chain += TurnFilters(m_setup.uprightTurn);
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
    AVRational aspect = first->sample_aspect_ratio.num > 0 ? first->sample_aspect_ratio : AVRational{1, 1};
    std::string source =
        FormatText("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", first->width, first->height,
                   first->format, m_setup.sourceTimeBase.num, m_setup.sourceTimeBase.den, aspect.num, aspect.den);
    m_graph = std::make_unique<FilterGraph>(AVMEDIA_TYPE_VIDEO, source, Chain(),
                                            std::string("flags=") + ScalerName(m_setup.options.videoFilter.scaler));
}

void VideoFilterStage::Run() {
    std::int64_t endPts = 0;
    std::int64_t firstPts = 0;
    while (std::optional<FramePtr> frame = m_decoded.Pop()) {
        AVFrame* picture = frame->get();
        if (!m_graph) {
            BuildGraph(picture);
            firstPts = picture->pts;
        }
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
    m_graph->Close(std::max(endPts, firstPts + av_rescale_q(1, av_inv_q(m_setup.timing.rate), m_setup.sourceTimeBase)));
    if (Drain()) m_filtered.Finish();
}

bool VideoFilterStage::Drain() {
    AVRational filteredBase = m_graph->OutputTimeBase();
    while (true) {
        FramePtr picture = MakeFrame();
        if (!m_graph->Pull(picture.get())) return true;
        picture->pts = av_rescale_q(picture->pts, filteredBase, m_setup.timing.timeBase);
        // Two source frames inside one millisecond would share a timestamp;
        // the later one moves on by a tick so that no frame is lost.
        if (m_lastPts != AV_NOPTS_VALUE && picture->pts <= m_lastPts) picture->pts = m_lastPts + 1;
        m_lastPts = picture->pts;
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        if (!m_filtered.Push(std::move(picture))) return false;
    }
}
