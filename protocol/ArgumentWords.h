#pragma once

// The words of the argument text that name encoders, codecs, containers and
// speed presets, and the keys of the sub-options that carry them: the
// front-end's argument builder writes them and kelvoenc's OptionParser reads
// them, both from here.
namespace ArgumentWord {

// -oac and -ovc: which encoder family takes the sound and the picture.
inline constexpr char kLavc[] = "lavc";
inline constexpr char kMp3Lame[] = "mp3lame";
inline constexpr char kXvid[] = "xvid";

// -lavcopts vcodec=
inline constexpr char kMpeg4[] = "mpeg4";
inline constexpr char kMpeg1Video[] = "mpeg1video";
inline constexpr char kMpeg2Video[] = "mpeg2video";
inline constexpr char kWmv2[] = "wmv2";
inline constexpr char kMsmpeg4[] = "msmpeg4";
inline constexpr char kMsmpeg4v2[] = "msmpeg4v2";
inline constexpr char kLibx264[] = "libx264";
inline constexpr char kLibx265[] = "libx265";
inline constexpr char kLibsvtav1[] = "libsvtav1";

// -lavcopts acodec=
inline constexpr char kMp2[] = "mp2";
inline constexpr char kAc3[] = "ac3";
inline constexpr char kWmav1[] = "wmav1";
inline constexpr char kWmav2[] = "wmav2";
inline constexpr char kAac[] = "aac";
inline constexpr char kOpus[] = "opus";

// -of: the muxer family; "mpeg" is also a -lavfopts format, the same as "mpg".
inline constexpr char kLavf[] = "lavf";
inline constexpr char kMpeg[] = "mpeg";

// -lavfopts format=
inline constexpr char kAvi[] = "avi";
inline constexpr char kMpg[] = "mpg";
inline constexpr char kWmv[] = "wmv";
inline constexpr char kAsf[] = "asf";
inline constexpr char kMp4[] = "mp4";
inline constexpr char kMatroska[] = "matroska";
inline constexpr char kWebm[] = "webm";

// -mpegopts format=
inline constexpr char kXvcd[] = "xvcd";
inline constexpr char kVcd[] = "vcd";
inline constexpr char kXsvcd[] = "xsvcd";
inline constexpr char kSvcd[] = "svcd";
inline constexpr char kDvd[] = "dvd";

// -lavcopts preset=: the speed presets of the H.264 and H.265 encoders, fastest first.
inline constexpr const char* kSpeedPresets[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                                "medium",    "slow",      "slower",   "veryslow", "placebo"};
inline constexpr const char* kUltrafast = kSpeedPresets[0];
inline constexpr const char* kVeryfast = kSpeedPresets[2];

}  // namespace ArgumentWord

// The keys of the ITEM:ITEM... sub-options, as KEY=VALUE or a bare KEY.
namespace ArgumentKey {

// -lavcopts
inline constexpr char kVcodec[] = "vcodec";
inline constexpr char kAcodec[] = "acodec";
inline constexpr char kVbitrate[] = "vbitrate";
inline constexpr char kAbitrate[] = "abitrate";
inline constexpr char kVhq[] = "vhq";
inline constexpr char kVqmin[] = "vqmin";
inline constexpr char kVqmax[] = "vqmax";
inline constexpr char kVqscale[] = "vqscale";
inline constexpr char kCrf[] = "crf";
inline constexpr char kPreset[] = "preset";
inline constexpr char kKeyint[] = "keyint";
inline constexpr char kVrcBufSize[] = "vrc_buf_size";
inline constexpr char kVrcMinrate[] = "vrc_minrate";
inline constexpr char kVrcMaxrate[] = "vrc_maxrate";
inline constexpr char kAspect[] = "aspect";
// -lavcopts and -xvidencopts
inline constexpr char kAutoaspect[] = "autoaspect";

// -lameopts
inline constexpr char kVbr[] = "vbr";
inline constexpr char kBr[] = "br";
inline constexpr char kMode[] = "mode";

// -xvidencopts
inline constexpr char kBitrate[] = "bitrate";

// -lavfopts and -mpegopts; -lavfopts also takes the promise of no B-frames.
inline constexpr char kFormat[] = "format";
inline constexpr char kNoBFrames[] = "i_certify_that_my_video_stream_does_not_use_b_frames";

// -af
inline constexpr char kVolume[] = "volume";
inline constexpr char kChannels[] = "channels";
inline constexpr char kLavcresample[] = "lavcresample";

// -vf; crop=W:H:X:Y comes first and cuts the picture as shown (turned upright).
inline constexpr char kCrop[] = "crop";
inline constexpr char kScale[] = "scale";
inline constexpr char kHarddup[] = "harddup";
inline constexpr char kExpand[] = "expand";

}  // namespace ArgumentKey
