#pragma once

#include "kelvoenc/FfmpegHandles.h"

#include <string>

// The opened source: its container, its first video stream and its first
// audio stream. Opening fails with SourceUnreadable for a file that cannot
// be read or holds no video.
class InputMedia {
public:
    explicit InputMedia(const std::string& path);

    AVFormatContext* Format() const { return m_format.get(); }
    AVStream* VideoStream() const { return m_video; }
    AVStream* AudioStream() const { return m_audio; }  // null when the source is silent
    const std::string& Path() const { return m_path; }

    // The video's frame rate: the average rate, else the stream's base rate;
    // 0/1 when neither is known.
    AVRational FrameRate() const;

    // The length of the source: the container's duration, else the video
    // stream's, else found by reading the whole file (which uses up the
    // demuxer, so only a probe asks this way). Negative when unknown.
    double DurationSeconds();

    // The time every output timestamp counts from, in microseconds: the
    // earliest start of the streams that are converted.
    std::int64_t StartMicroseconds() const;

private:
    double DurationFromPackets();

    std::string m_path;
    InputFormatPtr m_format;
    AVStream* m_video = nullptr;
    AVStream* m_audio = nullptr;
};
