#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct ass_library;
struct ass_renderer;
struct ass_track;

// Where a DVD's subpictures go: the encoded frame, the picture inside it
// (between any bars), its pixel shape, the source's picture size that
// picture subtitles without a size of their own are placed against, and
// the part of that picture the output keeps (the crop; all of it when its
// width is 0).
struct SubpictureFrame {
    int frameWidth = 0;
    int frameHeight = 0;
    int pictureX = 0;
    int pictureY = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    AVRational sampleAspect{1, 1};
    int sourceWidth = 0;
    int sourceHeight = 0;
    int keptX = 0;
    int keptY = 0;
    int keptWidth = 0;
    int keptHeight = 0;
};

// A line drawn in full colour: its box in the frame, and each pixel's red,
// green, blue and cover (0: clear, 255: opaque), row by row.
struct SubtitleImage {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Draws one subtitle line at a time over the encoded frame: as a DVD
// subpicture of four colours (clear, the letters, their edge, and a grey
// between), or in full colour to be drawn into the picture. Text is set with
// libass inside the picture (and its title-safe part, for a TV), its
// letters shaped for the frame's pixels; a picture subtitle is scaled from
// the source's picture onto the output's, and moved into the part of it
// the output keeps when it falls outside. In four colours a picture
// subtitle is brought to light on dark, so that it stays legible.
class SubpicturePainter {
public:
    enum class Margins { Picture, TitleSafe };

    // decoder: the subtitle decoder, whose header holds a text track's styles.
    SubpicturePainter(const AVCodecContext& decoder, const SubpictureFrame& frame, Margins margins);
    ~SubpicturePainter();
    SubpicturePainter(const SubpicturePainter&) = delete;
    SubpicturePainter& operator=(const SubpicturePainter&) = delete;

    // The line, shown from startMs for durationMs, turned into a subtitle of
    // one picture; false when nothing of it would be seen.
    bool Paint(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs, AVSubtitle& picture);
    // The same line in full colour; false when nothing of it would be seen.
    bool PaintColours(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs, SubtitleImage& image);

private:
    // The line on a clear canvas; false when nothing of it would be seen.
    bool Draw(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs);
    void DrawText(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs);
    void DrawPictures(const AVSubtitle& line);
    std::pair<int, int> Canvas() const;
    void Blend(int x, int y, std::uint32_t rgb, int opacity);
    void TakeInks(AVSubtitle& picture) const;

    struct Box {
        int left, top, right, bottom;
    };

    SubpictureFrame m_frame;
    const AVCodecContext& m_decoder;
    ass_library* m_library = nullptr;
    ass_renderer* m_renderer = nullptr;
    ass_track* m_track = nullptr;
    std::vector<std::uint32_t> m_colour;  // the canvas: 0xRRGGBB
    std::vector<std::uint8_t> m_cover;    // how much of each pixel is drawn, 0..255
    Box m_drawn{};                        // what is seen of the last line
};
