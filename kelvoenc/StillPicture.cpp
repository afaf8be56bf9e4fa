#include "kelvoenc/StillPicture.h"

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/StreamDecoder.h"
#include "kelvoenc/TemporaryOutputFile.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

std::string CannotWrite(const std::string& outputPath) { return "Cannot write the picture \"" + outputPath + "\""; }

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

// The first picture at or after `seconds`, or the last one before the end.
FramePtr PictureAt(InputMedia& source, double seconds) {
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

FramePtr AsRgb(const AVFrame& picture, const std::string& outputPath) {
    FramePtr rgb = MakeFrame();
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = picture.width;
    rgb->height = picture.height;
    CheckFfmpeg(av_frame_get_buffer(rgb.get(), 0), ExitStatus::OutOfMemory, CannotWrite(outputPath));
    SwsContext* scaler =
        sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format), rgb->width,
                       rgb->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler) throw EncoderFailure(ExitStatus::InternalFailure, CannotWrite(outputPath) + ": no colour conversion.");
    sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, rgb->data, rgb->linesize);
    sws_freeContext(scaler);
    return rgb;
}

void WritePng(const AVFrame& rgb, const std::string& outputPath) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec) throw EncoderFailure(ExitStatus::InternalFailure, "No PNG encoder is built in.");
    CodecContextPtr context = MakeCodecContext(codec);
    context->width = rgb.width;
    context->height = rgb.height;
    context->pix_fmt = AV_PIX_FMT_RGB24;
    context->time_base = {1, 25};
    CheckFfmpeg(avcodec_open2(context.get(), codec, nullptr), ExitStatus::InternalFailure, "the PNG encoder");
    CheckFfmpeg(avcodec_send_frame(context.get(), &rgb), ExitStatus::InternalFailure, CannotWrite(outputPath));
    PacketPtr packet = MakePacket();
    CheckFfmpeg(avcodec_receive_packet(context.get(), packet.get()), ExitStatus::InternalFailure,
                CannotWrite(outputPath));
    TemporaryOutputFile file(outputPath);
    avio_write(file.Io(), packet->data, packet->size);
    file.Commit();
}

}  // namespace

ExitStatus StillPicture::Run(const EncoderOptions& options) {
    InputMedia source(options.sourcePath);
    FramePtr picture = PictureAt(source, options.endSeconds.value_or(0));
    WritePng(*AsRgb(*picture, options.outputPath), options.outputPath);
    return ExitStatus::Done;
}
