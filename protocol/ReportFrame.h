#pragma once

#include <cstdint>

#include "protocol/EncoderMode.h"

// The encoder's report channel. The front-end gives the encoder one end of a
// connected Unix stream socket; its descriptor number is the last number of
// the argument text. Each report is one frame in the machine's byte order,
// after which the encoder blocks until it has read the 4-byte reply.
inline constexpr std::uint32_t kEncoderNotifyMessage = 0x720;

struct ReportFrame {
    std::uint32_t message;  // always kEncoderNotifyMessage
    std::uint32_t code;
    std::int32_t value;
};
static_assert(sizeof(ReportFrame) == 12, "the report frame is 12 bytes on the wire");

using ReportReply = std::int32_t;

enum ReportCode : std::uint32_t {
    ReportDuration = 1,      // probe: whole seconds
    ReportWidth = 2,         // probe: pixels
    ReportHeight = 3,        // probe: pixels
    ReportFrameRate = 4,     // probe: frames per second x 10,000,000
    ReportSampleAspect = 5,  // probe: width / height of one pixel x 10,000,000, 0 when unknown
    ReportProgress = 6,      // convert: whole seconds of the source encoded so far
    // probe: the source has been read, with the exit status its probe alone
    // would end with. The reply kReplyNextSource has the next source probed
    // in the same run; any other reply ends the run.
    ReportSourceRead = 7,
    // probe, after ReportSampleAspect: what kind the pictures are, the
    // kPicture flags below (0: progressive, standard range). A front-end
    // that does not know the code takes nothing from it.
    ReportPictureKind = 8,
    // probe, after ReportPictureKind: one report for each of the source's
    // chapters, in order, with where it starts in milliseconds from the
    // source's start (its first picture or sound, as a conversion counts).
    // A front-end that does not know the code takes nothing from it.
    ReportChapter = 9,
    // probe, after the chapters: one report for each of the source's sound
    // tracks, in its order, as SoundTrackReport packs it. A front-end that
    // does not know the code takes nothing from it.
    ReportSoundTrack = 10,
    // probe, after each ReportSoundTrack: that track's codec and title as
    // "codec<TAB>title" in UTF-8, four bytes a report, the last padded with
    // zero bytes (TextPieces packs them). A front-end that does not know the
    // code takes nothing from it.
    ReportSoundTrackText = 11,
    // probe, after the sound tracks: one report for each subtitle track, the
    // source's own in its order and then the subtitle files beside it, as
    // SubtitleTrackReport packs it; each followed by its codec and title as
    // ReportSoundTrackText carries them. A front-end that does not know the
    // codes takes nothing from them.
    ReportSubtitleTrack = 12,
    ReportSubtitleTrackText = 13,
    // measure crop: the picture every measured point keeps, in the shown
    // (upright) picture's pixels, then how many points were measured and
    // how many found exactly that picture, as (points << 16 | agreeing).
    ReportCropWidth = 14,
    ReportCropHeight = 15,
    ReportCropLeft = 16,
    ReportCropTop = 17,
    ReportCropAgreement = 18,
};

// The most chapters a probe reports: as many as a DVD title holds.
inline constexpr int kMaxReportedChapters = 99;

inline constexpr std::int32_t kPictureHdr = 1;  // PQ or HLG, as HDR phones and TVs record
inline constexpr std::int32_t kPictureInterlaced = 2;
inline constexpr std::int32_t kPictureBottomFieldFirst = 4;  // with kPictureInterlaced

inline constexpr ReportReply kReplyContinue = 0;
inline constexpr ReportReply kReplyStop = 1;
// Followed on the wire by the next source's path: its length in bytes as a
// 32-bit number in the machine's byte order, then its bytes. Loading the
// encoder's libraries costs far more than reading one file, so a front-end
// reading many files keeps a few probes going rather than starting one each.
inline constexpr ReportReply kReplyNextSource = 2;
inline constexpr std::uint32_t kMaxSourcePathBytes = 4096;
