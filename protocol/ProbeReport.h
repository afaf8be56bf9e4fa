#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "protocol/ReportFrame.h"

// A probe's ratios (frame rate, pixel shape) travel as whole numbers: the
// ratio times kReportRatioScale, 0 when unknown. The encoder writes them and
// the front-end reads them only through these.
inline constexpr double kReportRatioScale = 10'000'000;

// A ratio as a report's value; 0 for an unknown or unusable one, the largest
// value for one too large to carry.
inline std::int32_t RatioReport(double ratio) {
    if (!(ratio > 0)) return 0;
    const double scaled = std::round(ratio * kReportRatioScale);
    if (scaled >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(scaled);
}

// A report's value as the ratio it carries. A negative value (an older
// encoder's overflow) stands for the largest ratio.
inline double ReportedRatio(std::int32_t value) {
    return (value < 0 ? std::numeric_limits<std::int32_t>::max() : value) / kReportRatioScale;
}

// A sound track as the probe reports it. Its language's three letters (ISO
// 639-2, lower case; none when unknown), whether the source marks it to be
// played first and its channels (up to 63) travel as one value; its codec
// and title follow as text (TextPieces).
struct SoundTrackReport {
    std::string language;
    int channels = 0;
    bool isDefault = false;
    std::string codec;  // as FFmpeg names it: "aac", "ac3", "mp2"...
    std::string title;

    bool operator==(const SoundTrackReport&) const = default;
};

inline constexpr std::int32_t kSoundTrackDefault = 1 << 24;
inline constexpr int kSoundTrackChannelsShift = 25;
inline constexpr int kMaxReportedChannels = 63;

// Three lower-case letters in the low 24 bits; 0 for anything else.
inline std::int32_t PackLanguage(const std::string& language) {
    if (language.size() != 3) return 0;
    std::int32_t value = 0;
    for (int i = 0; i < 3; ++i) {
        const char letter = language[std::size_t(i)];
        if (letter < 'a' || letter > 'z') return 0;
        value |= std::int32_t(letter) << (8 * (2 - i));
    }
    return value;
}

inline std::int32_t PackSoundTrack(const SoundTrackReport& track) {
    std::int32_t value = PackLanguage(track.language);
    if (track.isDefault) value |= kSoundTrackDefault;
    const int channels = track.channels < 0                      ? 0
                         : track.channels > kMaxReportedChannels ? kMaxReportedChannels
                                                                 : track.channels;
    return value | std::int32_t(channels) << kSoundTrackChannelsShift;
}

inline SoundTrackReport UnpackSoundTrack(std::int32_t value) {
    SoundTrackReport track;
    for (int i = 0; i < 3; ++i) {
        const char letter = static_cast<char>((value >> (8 * (2 - i))) & 0xff);
        if (letter < 'a' || letter > 'z') {
            track.language.clear();
            break;
        }
        track.language += letter;
    }
    track.isDefault = value & kSoundTrackDefault;
    track.channels = (value >> kSoundTrackChannelsShift) & kMaxReportedChannels;
    return track;
}

// A subtitle track as the probe reports it: the source's own, then the
// subtitle files beside it (their language from the name, their file's name
// as the title). Its language (as for sound) and three flags travel as one
// value; its codec and title follow as text.
struct SubtitleTrackReport {
    std::string language;
    bool isDefault = false;
    bool isForced = false;
    bool isPicture = false;  // DVD, DVB or Blu-ray pictures, not text
    std::string codec;       // "subrip", "ass", "webvtt", "dvd_subtitle"...
    std::string title;

    bool operator==(const SubtitleTrackReport&) const = default;
};

inline constexpr std::int32_t kSubtitleDefault = 1 << 24;
inline constexpr std::int32_t kSubtitleForced = 1 << 25;
inline constexpr std::int32_t kSubtitlePicture = 1 << 26;

inline std::int32_t PackSubtitleTrack(const SubtitleTrackReport& track) {
    return PackLanguage(track.language) | (track.isDefault ? kSubtitleDefault : 0) |
           (track.isForced ? kSubtitleForced : 0) | (track.isPicture ? kSubtitlePicture : 0);
}

inline SubtitleTrackReport UnpackSubtitleTrack(std::int32_t value) {
    SubtitleTrackReport track;
    track.language = UnpackSoundTrack(value & 0xffffff).language;
    track.isDefault = value & kSubtitleDefault;
    track.isForced = value & kSubtitleForced;
    track.isPicture = value & kSubtitlePicture;
    return track;
}

// The bytes of a track's text reported: at most this many.
inline constexpr std::size_t kMaxReportedTextBytes = 128;

// Text as report values, four bytes each in order, the last padded with
// zero bytes; cut at kMaxReportedTextBytes, before a UTF-8 character that
// would not fit whole.
inline std::vector<std::int32_t> TextPieces(const std::string& text) {
    std::vector<std::int32_t> pieces;
    std::size_t size = text.size();
    if (size > kMaxReportedTextBytes) {
        size = kMaxReportedTextBytes;
        while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xc0) == 0x80) --size;
    }
    for (std::size_t at = 0; at < size; at += 4) {
        std::uint32_t piece = 0;
        for (std::size_t i = 0; i < 4 && at + i < size; ++i)
            piece |= std::uint32_t(static_cast<unsigned char>(text[at + i])) << (8 * i);
        pieces.push_back(static_cast<std::int32_t>(piece));
    }
    return pieces;
}

// One report value's bytes added to the text, up to its first zero byte.
inline void AddTextPiece(std::string& text, std::int32_t value) {
    for (int i = 0; i < 4 && text.size() < kMaxReportedTextBytes; ++i) {
        const char byte = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xff);
        if (byte == 0) return;
        text += byte;
    }
}
