#include "kelvoenc/StillPicture.h"

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/PngPicture.h"
#include "kelvoenc/StreamDecoder.h"

namespace {

// From where the source stands: the first picture at or after `target`, or
// the last one before the end; an empty frame when none decodes.
FramePtr DecodeUntil(InputMedia& source, std::int64_t target) {
    AVStream* stream = source.VideoStream();
    StreamDecoder decoder(source.Path(), stream, 1);
    FramePtr kept = MakeFrame();
    bool found = false;
    auto take = [&](AVFrame* frame) {
        if (found) return;
        av_frame_unref(kept.get());
        av_frame_ref(kept.get(), frame);
        found = frame->best_effort_timestamp == AV_NOPTS_VALUE || frame->best_effort_timestamp >= target;
    };
    PacketPtr packet = MakePacket();
    while (!found && av_read_frame(source.Format(), packet.get()) >= 0) {
        if (packet->stream_index == stream->index) decoder.Decode(packet.get(), take);
        av_packet_unref(packet.get());
    }
    if (!found) decoder.Decode(nullptr, take);
    return kept;
}

}  // namespace

FramePtr StillPicture::PictureAt(InputMedia& source, double seconds) {
    AVStream* stream = source.VideoStream();
    const std::int64_t target =
        av_rescale_q(static_cast<std::int64_t>(seconds * AV_TIME_BASE), AV_TIME_BASE_Q, stream->time_base) +
        (stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0);
    // A source that cannot seek is read from its start.
    if (seconds > 0) av_seek_frame(source.Format(), stream->index, target, AVSEEK_FLAG_BACKWARD);
    FramePtr picture = DecodeUntil(source, target);
    // In a clip shorter than a keyframe's distance a seek may land past every
    // picture: the picture is then the nearest one from the start.
    if (picture->width <= 0 && seconds > 0 && av_seek_frame(source.Format(), -1, 0, AVSEEK_FLAG_BYTE) >= 0)
        picture = DecodeUntil(source, target);
    if (picture->width <= 0)
        throw EncoderFailure(ExitStatus::SourceUnreadable, "No picture of \"" + source.Path() + "\" could be decoded.");
    return picture;
}

ExitStatus StillPicture::Run(const EncoderOptions& options) {
    InputMedia source(options.sourcePath);
    FramePtr picture = PictureAt(source, options.endSeconds.value_or(0));
    PngPicture::Write(*picture, picture->width, picture->height, options.outputPath);
    return ExitStatus::Done;
}
