#include "kelvoenc/SubpicturePainter.h"

#include <ass/ass.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The title-safe part of a TV picture: what lies outside it may be cut off
// by the set.
constexpr double kSafeSide = 0.10;
constexpr double kSafeTopAndBottom = 0.08;

// The four colours of a subpicture, as the DVD encoder takes them (0xAARRGGBB).
enum Ink : std::uint8_t { Clear = 0, Letters = 1, Edge = 2, Between = 3 };
constexpr std::uint32_t kInks[] = {0x00000000, 0xffffffff, 0xff000000, 0xff808080};
// Less cover than this is clear; below and above these levels is edge and letters.
constexpr int kVisibleCover = 100;
constexpr int kDarkLevel = 85;
constexpr int kLightLevel = 170;
// A DVB subtitle without a display definition is set on a PAL frame.
constexpr int kDvbWidth = 720;
constexpr int kDvbHeight = 576;

// libass says what it does on standard error; only its errors matter here.
void QuietMessages(int level, const char* format, va_list arguments, void*) {
    constexpr int kErrors = 1;
    if (level > kErrors) return;
    std::fputs("kelvoenc: libass: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
}

int Luma(std::uint32_t rgb) {
    const int red = (rgb >> 16) & 0xff, green = (rgb >> 8) & 0xff, blue = rgb & 0xff;
    return (red * 77 + green * 150 + blue * 29) >> 8;
}

std::uint8_t InkOf(int luma, int cover) {
    if (cover < kVisibleCover) return Clear;
    if (luma >= kLightLevel) return Letters;
    return luma <= kDarkLevel ? Edge : Between;
}

}  // namespace

SubpicturePainter::SubpicturePainter(const AVCodecContext& decoder, const SubpictureFrame& frame, Margins margins)
    : m_frame(frame),
      m_decoder(decoder),
      m_colour(std::size_t(frame.frameWidth) * std::size_t(frame.frameHeight)),
      m_cover(m_colour.size()) {
    if (decoder.codec_descriptor && (decoder.codec_descriptor->props & AV_CODEC_PROP_BITMAP_SUB)) return;
    m_library = ass_library_init();
    if (!m_library) throw std::bad_alloc();
    ass_set_message_cb(m_library, QuietMessages, nullptr);
    m_renderer = ass_renderer_init(m_library);
    m_track = ass_new_track(m_library);
    if (!m_renderer || !m_track) throw std::bad_alloc();
    ass_set_frame_size(m_renderer, frame.frameWidth, frame.frameHeight);
    ass_set_storage_size(m_renderer, frame.frameWidth, frame.frameHeight);
    // libass takes the storage's shape over the display's: wide pixels get
    // narrow letters, which the display widens back.
    const double pixel = av_q2d(frame.sampleAspect);
    ass_set_pixel_aspect(m_renderer, pixel > 0 ? 1 / pixel : 1.0);
    // The text stays inside the picture, and a TV's inside its title-safe part.
    const bool safe = margins == Margins::TitleSafe;
    const int side = std::max(frame.pictureX, safe ? static_cast<int>(frame.frameWidth * kSafeSide) : 0);
    const int top = std::max(frame.pictureY, safe ? static_cast<int>(frame.frameHeight * kSafeTopAndBottom) : 0);
    ass_set_margins(m_renderer, top, top, side, side);
    ass_set_use_margins(m_renderer, 0);
    ass_set_fonts(m_renderer, nullptr, "sans-serif", ASS_FONTPROVIDER_AUTODETECT, nullptr, 0);
    if (decoder.subtitle_header)
        ass_process_codec_private(m_track, reinterpret_cast<char*>(decoder.subtitle_header),
                                  decoder.subtitle_header_size);
}

SubpicturePainter::~SubpicturePainter() {
    if (m_track) ass_free_track(m_track);
    if (m_renderer) ass_renderer_done(m_renderer);
    if (m_library) ass_library_done(m_library);
}

bool SubpicturePainter::Paint(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs,
                              AVSubtitle& picture) {
    if (!Draw(line, startMs, durationMs)) return false;
    TakeInks(picture);
    return true;
}

bool SubpicturePainter::PaintColours(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs,
                                     SubtitleImage& image) {
    if (!Draw(line, startMs, durationMs)) return false;
    image.x = m_drawn.left, image.y = m_drawn.top;
    image.width = m_drawn.right - m_drawn.left + 1, image.height = m_drawn.bottom - m_drawn.top + 1;
    image.rgba.clear();
    image.rgba.reserve(std::size_t(image.width) * std::size_t(image.height) * 4);
    for (int y = m_drawn.top; y <= m_drawn.bottom; ++y)
        for (int x = m_drawn.left; x <= m_drawn.right; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(m_frame.frameWidth) + std::size_t(x);
            const std::uint32_t colour = m_colour[at];
            for (int shift : {16, 8, 0}) image.rgba.push_back(static_cast<std::uint8_t>(colour >> shift));
            image.rgba.push_back(m_cover[at]);
        }
    return true;
}

bool SubpicturePainter::Draw(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs) {
    std::fill(m_colour.begin(), m_colour.end(), 0);
    std::fill(m_cover.begin(), m_cover.end(), 0);
    if (m_track)
        DrawText(line, startMs, durationMs);
    else
        DrawPictures(line);
    const int width = m_frame.frameWidth;
    m_drawn = {width, m_frame.frameHeight, -1, -1};
    for (int y = 0; y < m_frame.frameHeight; ++y)
        for (int x = 0; x < width; ++x)
            if (m_cover[std::size_t(y) * std::size_t(width) + std::size_t(x)] > 0) {
                m_drawn.left = std::min(m_drawn.left, x), m_drawn.right = std::max(m_drawn.right, x);
                m_drawn.top = std::min(m_drawn.top, y), m_drawn.bottom = std::max(m_drawn.bottom, y);
            }
    return m_drawn.right >= 0;
}

// Each line is set alone, at its start.
void SubpicturePainter::DrawText(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs) {
    for (unsigned i = 0; i < line.num_rects; ++i) {
        const char* event = line.rects[i]->ass;
        if (event) ass_process_chunk(m_track, const_cast<char*>(event), static_cast<int>(std::strlen(event)), startMs,
                                     durationMs);
    }
    for (const ASS_Image* image = ass_render_frame(m_renderer, m_track, startMs, nullptr); image; image = image->next) {
        const int opacity = 255 - static_cast<int>(image->color & 0xff);
        for (int y = 0; y < image->h; ++y)
            for (int x = 0; x < image->w; ++x)
                Blend(image->dst_x + x, image->dst_y + y, image->color >> 8,
                      image->bitmap[y * image->stride + x] * opacity / 255);
    }
    ass_flush_events(m_track);
}

// What a picture subtitle's places count against: the size its decoder
// read from the track (a Blu-ray's presentation, a DVB display definition),
// else a DVB broadcast's standard 720x576, else the source's picture.
std::pair<int, int> SubpicturePainter::Canvas() const {
    if (m_decoder.width > 0 && m_decoder.height > 0) return {m_decoder.width, m_decoder.height};
    if (m_decoder.codec_id == AV_CODEC_ID_DVB_SUBTITLE) return {kDvbWidth, kDvbHeight};
    return {m_frame.sourceWidth, m_frame.sourceHeight};
}

// Nearest source pixel for each output pixel, from the subtitle's canvas
// onto the output's picture. A line the crop would cut (one in the bars
// below a film) is moved into the picture that is kept.
void SubpicturePainter::DrawPictures(const AVSubtitle& line) {
    const SubpictureFrame& frame = m_frame;
    const auto [canvasWidth, canvasHeight] = Canvas();
    if (canvasWidth <= 0 || canvasHeight <= 0) return;
    const bool cropped = frame.keptWidth > 0 && frame.keptHeight > 0 && frame.sourceWidth > 0 && frame.sourceHeight > 0;
    // Output pixels per canvas pixel, as num / den, and the kept part's
    // place on the canvas.
    const std::int64_t numX = cropped ? std::int64_t(frame.pictureWidth) * frame.sourceWidth : frame.pictureWidth;
    const std::int64_t denX = cropped ? std::int64_t(canvasWidth) * frame.keptWidth : canvasWidth;
    const std::int64_t numY = cropped ? std::int64_t(frame.pictureHeight) * frame.sourceHeight : frame.pictureHeight;
    const std::int64_t denY = cropped ? std::int64_t(canvasHeight) * frame.keptHeight : canvasHeight;
    const std::int64_t keptX = cropped ? std::int64_t(frame.keptX) * canvasWidth / frame.sourceWidth : 0;
    const std::int64_t keptY = cropped ? std::int64_t(frame.keptY) * canvasHeight / frame.sourceHeight : 0;
    for (unsigned i = 0; i < line.num_rects; ++i) {
        const AVSubtitleRect& rect = *line.rects[i];
        if (rect.type != SUBTITLE_BITMAP || !rect.data[0] || !rect.data[1]) continue;
        const auto* palette = reinterpret_cast<const std::uint32_t*>(rect.data[1]);
        const int width = static_cast<int>(rect.w * numX / denX);
        const int height = static_cast<int>(rect.h * numY / denY);
        if (width <= 0 || height <= 0) continue;
        const int left = std::clamp(frame.pictureX + static_cast<int>((rect.x - keptX) * numX / denX), frame.pictureX,
                                    std::max(frame.pictureX, frame.pictureX + frame.pictureWidth - width));
        const int top = std::clamp(frame.pictureY + static_cast<int>((rect.y - keptY) * numY / denY), frame.pictureY,
                                   std::max(frame.pictureY, frame.pictureY + frame.pictureHeight - height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int index = rect.data[0][(y * rect.h / height) * rect.linesize[0] + x * rect.w / width];
                const std::uint32_t colour = index < rect.nb_colors ? palette[index] : 0;
                Blend(left + x, top + y, colour & 0xffffff, static_cast<int>(colour >> 24));
            }
    }
}

void SubpicturePainter::Blend(int x, int y, std::uint32_t rgb, int opacity) {
    if (x < 0 || y < 0 || x >= m_frame.frameWidth || y >= m_frame.frameHeight || opacity <= 0) return;
    const std::size_t at = std::size_t(y) * std::size_t(m_frame.frameWidth) + std::size_t(x);
    // Straight colour over what is drawn already, weighted by what each covers.
    const int below = m_cover[at] * (255 - opacity) / 255;
    const int cover = opacity + below;
    std::uint32_t mixed = 0;
    for (int shift : {16, 8, 0}) {
        const int over = static_cast<int>((rgb >> shift) & 0xff);
        const int under = static_cast<int>((m_colour[at] >> shift) & 0xff);
        mixed |= std::uint32_t((over * opacity + under * below) / cover) << shift;
    }
    m_colour[at] = mixed;
    m_cover[at] = static_cast<std::uint8_t>(cover);
}

// The drawn part of the canvas, in the four inks.
void SubpicturePainter::TakeInks(AVSubtitle& picture) const {
    const int width = m_frame.frameWidth;
    auto* rect = static_cast<AVSubtitleRect*>(av_mallocz(sizeof(AVSubtitleRect)));
    auto** rects = static_cast<AVSubtitleRect**>(av_mallocz(sizeof(AVSubtitleRect*)));
    if (!rect || !rects) {
        av_free(rect);
        av_free(rects);
        throw std::bad_alloc();
    }
    rects[0] = rect;
    picture.rects = rects;
    picture.num_rects = 1;
    rect->type = SUBTITLE_BITMAP;
    rect->x = m_drawn.left, rect->y = m_drawn.top;
    rect->w = m_drawn.right - m_drawn.left + 1, rect->h = m_drawn.bottom - m_drawn.top + 1;
    rect->nb_colors = 4;
    rect->linesize[0] = rect->w;
    rect->data[0] = static_cast<std::uint8_t*>(av_malloc(std::size_t(rect->w) * std::size_t(rect->h)));
    rect->data[1] = static_cast<std::uint8_t*>(av_mallocz(AVPALETTE_SIZE));
    if (!rect->data[0] || !rect->data[1]) throw std::bad_alloc();  // the caller frees what is there
    std::memcpy(rect->data[1], kInks, sizeof(kInks));
    for (int y = 0; y < rect->h; ++y)
        for (int x = 0; x < rect->w; ++x) {
            const std::size_t at = std::size_t(m_drawn.top + y) * std::size_t(width) + std::size_t(m_drawn.left + x);
            rect->data[0][y * rect->w + x] = InkOf(Luma(m_colour[at]), m_cover[at]);
        }
}
