#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/VideoPlan.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The opened source: its container, its first video stream and, once chosen,
// the sound tracks to convert. Opening fails with SourceUnreadable for a file that cannot
// be read or holds no video. Only a local regular file is opened, and only
// by a demuxer that reads nothing but that file; every read gives up at a
// stop signal or, if a stall limit is given, when the file has given no
// data for that long (slow media that keep delivering are read to the end).
class InputMedia {
public:
    using Clock = std::chrono::steady_clock;

    explicit InputMedia(const std::string& path, std::optional<Clock::duration> stallLimit = {});
    InputMedia(const InputMedia&) = delete;
    InputMedia& operator=(const InputMedia&) = delete;

    AVFormatContext* Format() const { return m_format.get(); }
    AVStream* VideoStream() const { return m_video; }
    // The chosen sound tracks, the one to play by default first; none when
    // the source is silent or nothing was chosen yet.
    const std::vector<AVStream*>& SoundStreams() const { return m_sounds; }
    // Picks the sound tracks to convert: those numbered (from 1, in the
    // source's order of sound tracks) that can be converted, at most `most`
    // of them, saying which are left out and why. Without numbers, or when
    // none of them can be taken, the one players pick, saying which when
    // there are several.
    void ChooseSounds(const std::vector<int>& numbers, std::size_t most);
    const std::string& Path() const { return m_path; }

    // How the pictures are turned and mirrored to stand as they are meant
    // to be shown (a phone clip's display matrix).
    UprightTransform Upright() const;
    // The picture's size and pixel shape as shown, after that transform.
    SourcePicture ShownPicture() const;

    // The video's frame rate: the average rate, else the stream's base rate.
    // Where held pictures pull the average of a variable rate down, the base
    // rate; when neither is known or believable, 25, so that "Original"
    // always has a rate to keep.
    AVRational FrameRate() const;

    // The length the container or the video stream states, in seconds, from
    // the first timestamp on; negative when neither does.
    double StatedDurationSeconds() const;
    // Whether that length is only a guess from the file's size and bitrate.
    bool DurationIsGuessed() const;

    // The time every output timestamp counts from, in microseconds: the
    // earliest start of the streams that are converted.
    std::int64_t StartMicroseconds() const;

    // Whether the format's timestamps may restart or jump (MPEG program and
    // transport streams and the like).
    bool TimestampsMayRestart() const;
    // Whether the format's timestamps can be taken at their word, so that a
    // long wait for the next picture is a picture held (MP4/MOV and
    // Matroska/WebM).
    bool TimestampsAreTrustworthy() const;

    // Why a read of the source failed: a stop signal, a stall, or the file
    // itself.
    std::string ReadFailure(int error) const;
    // A read ended by a stop signal or a stall, not by the file.
    bool ReadWasInterrupted() const;

private:
    static int Interrupted(void* self);
    bool Stalled() const;

    std::string m_path;
    std::optional<Clock::duration> m_stallLimit;
    AVFormatContext* m_reading = nullptr;  // also while it is being opened
    mutable std::int64_t m_readPosition = -1;
    mutable Clock::time_point m_lastProgress = Clock::now();
    InputFormatPtr m_format;
    AVStream* m_video = nullptr;
    std::vector<AVStream*> m_sounds;
};
