#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <cstdint>
#include <memory>
#include <vector>

struct ass_library;
struct ass_renderer;
struct ass_track;

// Where a DVD's subpictures go: the encoded frame, the picture inside it
// (between any bars), its pixel shape, and the source's picture size that
// picture subtitles are placed against.
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
};

// Draws one subtitle line at a time as a DVD subpicture: four colours
// (clear, the letters, their edge, and a grey between) over the encoded
// frame. Text is set with libass inside the title-safe part of the picture,
// its letters shaped for the frame's pixels; a picture subtitle is scaled
// from the source's picture onto the output's and brought to the same four
// colours, light on dark, so that it stays legible.
class SubpicturePainter {
public:
    // decoder: the subtitle decoder, whose header holds a text track's styles.
    SubpicturePainter(const AVCodecContext& decoder, const SubpictureFrame& frame);
    ~SubpicturePainter();
    SubpicturePainter(const SubpicturePainter&) = delete;
    SubpicturePainter& operator=(const SubpicturePainter&) = delete;

    // The line, shown from startMs for durationMs, turned into a subtitle of
    // one picture; false when nothing of it would be seen.
    bool Paint(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs, AVSubtitle& picture);

private:
    void DrawText(const AVSubtitle& line, std::int64_t startMs, std::int64_t durationMs);
    void DrawPictures(const AVSubtitle& line);
    void Blend(int x, int y, std::uint32_t rgb, int opacity);
    bool TakeCanvas(AVSubtitle& picture);

    SubpictureFrame m_frame;
    ass_library* m_library = nullptr;
    ass_renderer* m_renderer = nullptr;
    ass_track* m_track = nullptr;
    std::vector<std::uint8_t> m_luma;   // the canvas's brightness, 0..255
    std::vector<std::uint8_t> m_cover;  // how much of each pixel is drawn, 0..255
};
