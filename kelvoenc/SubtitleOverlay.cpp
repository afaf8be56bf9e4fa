#include "kelvoenc/SubtitleOverlay.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/SubtitleLines.h"

#include <algorithm>

namespace {

// SDR white in an HDR picture: 203 cd/m² is 58% of PQ's signal and 75% of HLG's.
constexpr double kPqWhite = 0.58;
constexpr double kHlgWhite = 0.75;

double Brightness(AVColorTransferCharacteristic transfer) {
    if (transfer == AVCOL_TRC_SMPTE2084) return kPqWhite;
    return transfer == AVCOL_TRC_ARIB_STD_B67 ? kHlgWhite : 1.0;
}

// The matrix's red and blue weights (Kr, Kb).
std::pair<double, double> Weights(AVColorSpace matrix) {
    switch (matrix) {
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M: return {0.299, 0.114};
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return {0.2627, 0.0593};
    default: return {0.2126, 0.0722};
    }
}

}  // namespace

SubtitleOverlay::SubtitleOverlay(const SubtitleSource& source, const KeptPart& kept, const SubpictureFrame& frame,
                                 const OutputColours& colours)
    : m_brightness(Brightness(colours.transfer)) {
    std::tie(m_redWeight, m_blueWeight) = Weights(colours.matrix);
    SubtitleLines lines(source, kept);
    SubpicturePainter painter(lines.Decoder(), frame, SubpicturePainter::Margins::Picture);
    for (SubtitleLines::Line& line : lines.Lines()) {
        SubtitleImage image;
        if (painter.PaintColours(*line.subtitle, line.start / 1000, (line.end - line.start) / 1000, image))
            m_lines.push_back({line.start, line.end, std::move(image)});
    }
}

// Each plane at its own resolution and depth: a chroma sample takes the
// colour and cover of the pixels it stands for, weighted by their cover.
void SubtitleOverlay::Prepare(Line& line, const AVPixFmtDescriptor& format, int pixelFormat) const {
    const SubtitleImage& image = line.image;
    const double green = 1 - m_redWeight - m_blueWeight;
    const double depthScale = double(1 << format.comp[0].depth) / 256;
    for (int plane = 0; plane < 3; ++plane) {
        const int shiftX = plane ? format.log2_chroma_w : 0, shiftY = plane ? format.log2_chroma_h : 0;
        PlanePart& part = line.planes[plane];
        part.left = image.x >> shiftX, part.top = image.y >> shiftY;
        part.width = AV_CEIL_RSHIFT(image.x + image.width, shiftX) - part.left;
        part.height = AV_CEIL_RSHIFT(image.y + image.height, shiftY) - part.top;
        part.level.assign(std::size_t(part.width) * std::size_t(part.height), 0);
        part.cover.assign(part.level.size(), 0);
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x) {
                double level = 0, cover = 0;
                int count = 0;
                for (int dy = 0; dy < (1 << shiftY); ++dy)
                    for (int dx = 0; dx < (1 << shiftX); ++dx) {
                        const int sx = ((part.left + x) << shiftX) + dx - image.x;
                        const int sy = ((part.top + y) << shiftY) + dy - image.y;
                        ++count;
                        if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height) continue;
                        const std::uint8_t* pixel =
                            &image.rgba[(std::size_t(sy) * std::size_t(image.width) + std::size_t(sx)) * 4];
                        const double red = pixel[0] * m_brightness, greenLevel = pixel[1] * m_brightness,
                                     blue = pixel[2] * m_brightness;
                        const double luma = m_redWeight * red + green * greenLevel + m_blueWeight * blue;
                        // Limited range: luma 16..235, colour differences 16..240 around 128.
                        const double value = plane == 0   ? 16 + luma * 219 / 255
                                             : plane == 1 ? 128 + (blue - luma) / (2 * (1 - m_blueWeight)) * 224 / 255
                                                          : 128 + (red - luma) / (2 * (1 - m_redWeight)) * 224 / 255;
                        level += value * pixel[3];
                        cover += pixel[3];
                    }
                const std::size_t at = std::size_t(y) * std::size_t(part.width) + std::size_t(x);
                if (cover <= 0) continue;
                part.level[at] = static_cast<std::uint16_t>(std::clamp(level / cover, 0.0, 255.0) * depthScale + 0.5);
                part.cover[at] = static_cast<std::uint8_t>(cover / count + 0.5);
            }
    }
    line.format = pixelFormat;
}

void SubtitleOverlay::Draw(AVFrame& picture, std::int64_t microseconds) {
    while (m_first < m_lines.size() && m_lines[m_first].end <= microseconds) ++m_first;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture.format));
    if (!format || (format->flags & AV_PIX_FMT_FLAG_RGB) || !(format->flags & AV_PIX_FMT_FLAG_PLANAR) ||
        format->nb_components < 3)
        return;
    bool writable = false;
    for (std::size_t i = m_first; i < m_lines.size() && m_lines[i].start <= microseconds; ++i) {
        Line& line = m_lines[i];
        if (line.end <= microseconds) continue;
        if (!writable)
            CheckFfmpeg(av_frame_make_writable(&picture), ExitStatus::OutOfMemory, "A picture with its subtitle");
        writable = true;
        if (line.format != picture.format) Prepare(line, *format, picture.format);
        for (int plane = 0; plane < 3; ++plane) Lay(line.planes[plane], picture, plane, format->comp[0].depth);
    }
}

void SubtitleOverlay::Lay(const PlanePart& part, AVFrame& picture, int plane, int depth) {
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture.format));
    const int shiftX = plane ? format->log2_chroma_w : 0, shiftY = plane ? format->log2_chroma_h : 0;
    const int width = AV_CEIL_RSHIFT(picture.width, shiftX), height = AV_CEIL_RSHIFT(picture.height, shiftY);
    for (int y = std::max(part.top, 0); y < std::min(part.top + part.height, height); ++y) {
        std::uint8_t* row = picture.data[plane] + std::ptrdiff_t(y) * picture.linesize[plane];
        const std::size_t from = std::size_t(y - part.top) * std::size_t(part.width);
        for (int x = std::max(part.left, 0); x < std::min(part.left + part.width, width); ++x) {
            const std::size_t at = from + std::size_t(x - part.left);
            const unsigned alpha = part.cover[at];
            if (alpha == 0) continue;
            if (depth > 8) {
                auto* sample = reinterpret_cast<std::uint16_t*>(row) + x;
                *sample = static_cast<std::uint16_t>((*sample * (255 - alpha) + part.level[at] * alpha + 127) / 255);
            } else {
                row[x] = static_cast<std::uint8_t>((row[x] * (255 - alpha) + part.level[at] * alpha + 127) / 255);
            }
        }
    }
}
