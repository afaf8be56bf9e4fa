#include "kelvoenc/StartSeek.h"

#include "kelvoenc/FirstPicture.h"

#include <algorithm>
#include <cmath>

namespace {

// Where a seek landed on a picture that needs none before it, this far
// back is tried next; after that the source is read from its beginning.
constexpr std::int64_t kSecondTryMicroseconds = 15 * AV_TIME_BASE;

// The source's earliest timestamp over its pictures and sound, whichever
// sound tracks are kept: the output's 0 is never before that plus the start.
std::int64_t EarliestStart(const InputMedia& source) {
    const AVFormatContext* format = source.Format();
    std::optional<std::int64_t> earliest;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if ((type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) || stream->start_time == AV_NOPTS_VALUE)
            continue;
        const std::int64_t start = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        earliest = earliest ? std::min(*earliest, start) : start;
    }
    return earliest.value_or(0);
}

bool SeekBefore(InputMedia& source, std::int64_t microseconds) {
    const AVStream* video = source.VideoStream();
    return av_seek_frame(source.Format(), video->index, av_rescale_q(microseconds, AV_TIME_BASE_Q, video->time_base),
                         AVSEEK_FLAG_BACKWARD) >= 0;
}

}  // namespace

StartSeek StartSeek::Open(std::optional<InputMedia>& source, const std::string& path, const EncoderOptions& options,
                          ReadAhead& readAhead) {
    source.emplace(path);
    const auto start = std::llround(options.startSeconds.value_or(0) * AV_TIME_BASE);
    if (start > 0) {
        const std::int64_t target = EarliestStart(*source) + start;
        for (std::int64_t seekTo : {target, target - kSecondTryMicroseconds}) {
            readAhead = ReadAhead();
            if (!SeekBefore(*source, seekTo)) break;
            const FirstPicture first = FirstPicture::Read(*source, false, &readAhead);
            // A seek may land after the start, or on a picture that needs
            // others before it.
            if (first.keyPicture && first.pictureMicroseconds != AV_NOPTS_VALUE &&
                first.pictureMicroseconds <= target) {
                if (!readAhead.Whole()) {
                    source.emplace(path);
                    readAhead = ReadAhead();
                    SeekBefore(*source, seekTo);
                }
                const std::int64_t earliest = first.earliestMicroseconds;
                return {first.traits, earliest == AV_NOPTS_VALUE ? target : std::min(earliest, target)};
            }
            if (seekTo <= EarliestStart(*source)) break;
        }
        source.emplace(path);
        readAhead = ReadAhead();
    }
    const FirstPicture first = FirstPicture::Read(*source, false, &readAhead);
    if (!readAhead.Whole()) source.emplace(path);
    return {first.traits, std::nullopt};
}
