#pragma once

#include <array>
#include <cstdint>
#include <string>

// The 16 colours (0xRRGGBB) a DVD's subpictures choose from. kelvoenc
// draws its subtitles with them, and the disc's tables carry them, since a
// DVD stores the colours apart from the pictures.
inline constexpr std::array<std::uint32_t, 16> kSubpicturePalette = {
    0x000000, 0xffffff, 0x808080, 0x404040, 0xc0c0c0, 0xffff00, 0x00ffff, 0x00ff00,
    0xff00ff, 0xff0000, 0x0000ff, 0x808000, 0x008080, 0x800080, 0x800000, 0x000080,
};

// The colours as six hexadecimal digits each, separated by `separator`:
// ", " for FFmpeg's DVD subtitle encoder, a line break for dvdauthor.
inline std::string SubpicturePaletteText(const char* separator) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint32_t colour : kSubpicturePalette) {
        if (!text.empty()) text += separator;
        for (int shift = 20; shift >= 0; shift -= 4) text += kDigits[(colour >> shift) & 0xf];
    }
    return text;
}
