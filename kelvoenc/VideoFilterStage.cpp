#include "kelvoenc/VideoFilterStage.h"

#include "kelvoenc/EncoderFailure.h"
#include "text/FormatText.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

const char* ScalerName(int scaler) {
    static constexpr const char* kNames[] = {"fast_bilinear", "bilinear", "bicubic", "experimental", "neighbor", "area",
                                             "bicublin",      "gauss",    "sinc",    "lanczos",      "spline"};
    return scaler >= 0 && scaler <= 10 ? kNames[scaler] : "bicubic";
}

// Tone mapping works on linear light, with HDR's reference white (203
// cd/m²) as SDR's white: what lies below it keeps its levels, brighter
// highlights are rolled off smoothly (mobius) instead of clipped; then
// BT.709. The source's colours are named, since zscale finds no way from
// unstated ones: HDR without primaries is BT.2020.
std::string ToneMapToSdr(AVColorTransferCharacteristic transfer, AVColorPrimaries primaries, AVColorRange range) {
    const char* from = primaries == AVCOL_PRI_BT709 ? "709" : "2020";
    return FormatText(
        "zscale=tin=%s:pin=%s:min=2020_ncl:rin=%s:t=linear:npl=203:p=%s:m=2020_ncl,format=gbrpf32le,"
        "zscale=p=709,tonemap=mobius:param=0.9:desat=0,zscale=t=709:m=709:r=limited,format=yuv420p,",
        transfer == AVCOL_TRC_SMPTE2084 ? "smpte2084" : "arib-std-b67", from,
        range == AVCOL_RANGE_JPEG ? "full" : "limited", from);
}

// The scaler's name for a colour matrix; an unstated one is guessed from
// the size, as players do.
const char* ScalerMatrix(AVColorSpace matrix, int height) {
    switch (matrix) {
    case AVCOL_SPC_BT709: return "bt709";
    case AVCOL_SPC_FCC: return "fcc";
    case AVCOL_SPC_SMPTE240M: return "smpte240m";
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return "bt2020";
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M: return "bt601";
    default: return height >= 720 ? "bt709" : "bt601";
    }
}

const char* PixelFormatName(AVPixelFormat format) {
    return format == AV_PIX_FMT_YUV420P10LE ? "yuv420p10le" : "yuv420p";
}

bool KeepsFields(FieldHandling fields) {
    return fields == FieldHandling::KeepTopFieldFirst || fields == FieldHandling::KeepBottomFieldFirst;
}

AVRational SquareWhenUnknown(AVRational aspect) { return aspect.num > 0 && aspect.den > 0 ? aspect : AVRational{1, 1}; }

// A length measured on a side of `planned` pixels, on a side of `now`
// pixels, even for the chroma of 4:2:0.
int Rescaled(int length, int now, int planned) {
    return static_cast<int>(std::lround(static_cast<double>(length) * now / planned)) & ~1;
}

}  // namespace

DecodedPictureFormat DecodedPictureFormat::Of(const AVFrame* picture) {
    return {picture->width,           picture->height,
            picture->format,          picture->color_range,
            picture->colorspace,      picture->color_trc,
            picture->color_primaries, SquareWhenUnknown(picture->sample_aspect_ratio)};
}

bool DecodedPictureFormat::operator==(const DecodedPictureFormat& other) const {
    return width == other.width && height == other.height && pixelFormat == other.pixelFormat && range == other.range &&
           colourSpace == other.colourSpace && transfer == other.transfer && primaries == other.primaries &&
           av_cmp_q(sampleAspect, other.sampleAspect) == 0;
}

VideoFilterStage::VideoFilterStage(Setup setup, FrameQueue& decoded, PictureSink& sink)
    : m_setup(std::move(setup)), m_decoded(decoded), m_sink(sink) {}

std::string VideoFilterStage::Chain() const {
    const VideoGeometry& geometry = m_setup.plan.geometry;
    std::string chain = m_setup.kept.Trim("trim");
    // One picture per frame, whichever fields each comes from; pictures
    // not flagged interlaced pass unchanged.
    if (m_setup.plan.fields == FieldHandling::Deinterlace)
        chain += "bwdif=mode=send_frame:parity=auto:deint=interlaced,";
    // Frames to be dropped are dropped before they are scaled; frames to be
    // repeated are scaled once and repeated after.
    const bool changesRate = !m_setup.plan.timing.keepSourceTiming;
    if (changesRate && !m_setup.plan.timing.repeatsPictures) chain += RateFilter();
    chain += m_setup.plan.upright.filters;
    if (const std::optional<CropRectangle> crop = CropOfThisPicture())
        chain += FormatText("crop=%d:%d:%d:%d:exact=1,", crop->width, crop->height, crop->x, crop->y);
    chain += ColourAndSize();
    if (geometry.frameWidth != geometry.pictureWidth || geometry.frameHeight != geometry.pictureHeight) {
        // Even offsets keep the chroma of 4:2:0 aligned.
        int left = (geometry.frameWidth - geometry.pictureWidth) / 2 & ~1;
        int top = (geometry.frameHeight - geometry.pictureHeight) / 2 & ~1;
        chain += FormatText("pad=%d:%d:%d:%d:black,", geometry.frameWidth, geometry.frameHeight, left, top);
    }
    if (changesRate && m_setup.plan.timing.repeatsPictures) chain += RateFilter();
    chain += FormatText("format=%s,setsar=%d/%d", PixelFormatName(m_setup.plan.colours.pixelFormat),
                        geometry.sampleAspect.num, geometry.sampleAspect.den);
    return chain;
}

// A chain set up midway starts at the first frame the last one left.
std::string VideoFilterStage::RateFilter() const {
    const double start =
        m_lastPts == AV_NOPTS_VALUE ? 0 : static_cast<double>(m_lastPts + 1) * av_q2d(m_setup.plan.timing.timeBase);
    return FormatText("fps=fps=%d/%d:start_time=%.6f,", m_setup.plan.timing.rate.num, m_setup.plan.timing.rate.den,
                      start);
}

// Scaled into the output's matrix and limited range, whatever size: a
// full-range source kept at its size is converted too. Kept fields are
// scaled each on its own. Pictures that already have the output's size,
// pixel format, range and matrix pass untouched, without a copy.
std::string VideoFilterStage::ColourAndSize() const {
    const OutputColours& colours = m_setup.plan.colours;
    const DecodedPictureFormat& picture = m_graphFormat;
    const bool toneMapped = IsHdrTransfer(picture.transfer) && !IsHdrTransfer(colours.transfer);
    std::string chain = toneMapped ? ToneMapToSdr(picture.transfer, picture.primaries, picture.range) : "";
    const char* from = toneMapped ? "bt709" : ScalerMatrix(picture.colourSpace, picture.height);
    const char* to = ScalerMatrix(colours.matrix, m_setup.plan.geometry.frameHeight);
    const bool turnedSideways = m_setup.plan.upright.swapsSides;
    const std::optional<CropRectangle> crop = CropOfThisPicture();
    const int shownWidth = crop ? crop->width : turnedSideways ? picture.height : picture.width;
    const int shownHeight = crop ? crop->height : turnedSideways ? picture.width : picture.height;
    const bool sameSize =
        shownWidth == m_setup.plan.geometry.pictureWidth && shownHeight == m_setup.plan.geometry.pictureHeight;
    if (!toneMapped && sameSize && picture.pixelFormat == colours.pixelFormat && picture.range != AVCOL_RANGE_JPEG &&
        std::string_view(from) == to)
        return chain;
    chain += FormatText("scale=%d:%d:in_color_matrix=%s:out_color_matrix=%s:out_range=tv%s,",
                        m_setup.plan.geometry.pictureWidth, m_setup.plan.geometry.pictureHeight, from, to,
                        KeepsFields(m_setup.plan.fields) ? ":interl=1" : "");
    return chain;
}

// The crop was set on the first picture's size. Where a source's picture
// changes size midway (recordings joined end to end), the same part of the
// picture is kept, not the same pixels.
std::optional<CropRectangle> VideoFilterStage::CropOfThisPicture() const {
    const std::optional<CropRectangle>& crop = m_setup.options.videoFilter.crop;
    const SourcePicture& planned = m_setup.plan.shown;
    const bool sideways = m_setup.plan.upright.swapsSides;
    const int width = sideways ? m_graphFormat.height : m_graphFormat.width;
    const int height = sideways ? m_graphFormat.width : m_graphFormat.height;
    if (!crop || (width == planned.width && height == planned.height)) return crop;
    CropRectangle kept;
    kept.x = Rescaled(crop->x, width, planned.width);
    kept.y = Rescaled(crop->y, height, planned.height);
    kept.width = std::max(2, std::min(Rescaled(crop->width, width, planned.width), (width - kept.x) & ~1));
    kept.height = std::max(2, std::min(Rescaled(crop->height, height, planned.height), (height - kept.y) & ~1));
    return kept;
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
                             "No picture of \"" + m_setup.sourcePath + "\" could be decoded" +
                                 (m_setup.kept.StartSeconds() > 0 ? " from the start time (-ss) on." : "."));
    // A source shorter than one output frame (a single picture of a
    // millisecond) still gives that one frame rather than none.
    m_graph->Close(
        std::max(endPts, *firstPts + av_rescale_q(1, av_inv_q(m_setup.plan.timing.rate), m_setup.sourceTimeBase)));
    if (Drain()) m_sink.Finish();
}

// Kept fields go out in each picture's own order, which may change midway
// (a recording joined from two sources); a picture not flagged interlaced
// among them takes the order the output was set up with.
void VideoFilterStage::FlagFields(AVFrame* picture) const {
    if (!picture->interlaced_frame)
        picture->top_field_first = m_setup.plan.fields == FieldHandling::KeepTopFieldFirst ? 1 : 0;
    picture->interlaced_frame = 1;
}

bool VideoFilterStage::Drain() {
    AVRational filteredBase = m_graph->OutputTimeBase();
    while (true) {
        FramePtr picture = MakeFrame();
        if (!m_graph->Pull(picture.get())) return true;
        picture->pts = av_rescale_q(picture->pts, filteredBase, m_setup.plan.timing.timeBase);
        // Two source frames inside one tick would share a timestamp; the
        // later one moves on by a tick so that no frame is lost.
        if (m_lastPts != AV_NOPTS_VALUE && picture->pts <= m_lastPts) picture->pts = m_lastPts + 1;
        m_lastPts = picture->pts;
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        if (KeepsFields(m_setup.plan.fields)) FlagFields(picture.get());
        // A subtitle goes with the picture it was made for, also where a
        // break in the source's timestamps was closed.
        if (m_setup.subtitle)
            m_setup.subtitle->Draw(*picture,
                                   picture->best_effort_timestamp != AV_NOPTS_VALUE
                                       ? picture->best_effort_timestamp
                                       : av_rescale_q(picture->pts, m_setup.plan.timing.timeBase, AV_TIME_BASE_Q));
        if (!m_sink.Take(picture.get())) return false;
    }
}
