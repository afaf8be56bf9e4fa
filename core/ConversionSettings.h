#pragma once

#include <string>

// Every output choice, each stored as the position of its entry in the
// catalogue list (or a slider position / flag), plus the output folder.
// Values loaded from option.ini are not range-checked: the lookups and the
// dialogs cope with positions outside their lists.
struct ConversionSettings {
    int letterbox = 1;
    std::string outputFolder = DefaultOutputFolder();
    int outputFormat = 0;
    int tvMode = 0;
    int mpegAspect = 2;
    int dvdAspect = 1;
    int aviQuality = 4;
    int mpeg1Quality = 3;
    int mpeg2Quality = 3;
    int svcdQuality = 4;
    int dvdQuality = 5;
    int wmvQuality = 5;
    int aviVideoCodec = 0;
    int asfVideoCodec = 2;
    int aviAudioCodec = 0;
    int divxAudioCodec = 0;
    int xvidAudioCodec = 0;
    int dvdAudioCodec = 0;
    int wmvAudioCodec = 1;
    int asfAudioCodec = 1;
    int aviResolution = 0;
    int mpegResolution = 0;
    int aviFrameRate = 0;
    int mpegFrameRate = 0;
    int volume = 20;
    int discImage = 0;  // 1: the disc formats end in a disc image
    int mp4Quality = 3;
    int mp4Resolution = 0;
    int mp4FrameRate = 0;
    int discMenu = 1;                          // 1: a DVD image opens on a menu of its titles
    int conversionsAtOnce = kAutoConversions;  // how many files convert side by side
    std::string discMenuTitle;                 // a DVD menu's title; empty: the output folder's name
    int audioTracks = kDefaultAudioTrack;      // which sound tracks MP4 and DVD outputs keep
    int subtitles = kNoSubtitles;              // which subtitle tracks outputs keep or draw in

    static constexpr int kAutoConversions = 0;    // "Auto": chosen from the cores and the format
    static constexpr int kDefaultAudioTrack = 0;  // the one players pick
    static constexpr int kAllAudioTracks = 1;
    static constexpr int kNoSubtitles = 0;
    static constexpr int kForcedAndDefaultSubtitles = 1;  // those the source shows by itself
    static constexpr int kAllSubtitles = 2;

    // The home folder's "output video/".
    static std::string DefaultOutputFolder();

    bool operator==(const ConversionSettings&) const = default;
};

// One integer field of ConversionSettings with its option.ini key.
struct SettingsIntField {
    const char* key;
    int ConversionSettings::*member;
};
