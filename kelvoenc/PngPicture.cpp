#include "kelvoenc/PngPicture.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/TemporaryOutputFile.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

std::string CannotWrite(const std::string& outputPath) { return "Cannot write the picture \"" + outputPath + "\""; }

FramePtr AsRgb(const AVFrame& picture, int width, int height, const std::string& outputPath) {
    FramePtr rgb = MakeFrame();
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = width;
    rgb->height = height;
    CheckFfmpeg(av_frame_get_buffer(rgb.get(), 0), ExitStatus::OutOfMemory, CannotWrite(outputPath));
    SwsContext* scaler =
        sws_getContext(picture.width, picture.height, static_cast<AVPixelFormat>(picture.format), rgb->width,
                       rgb->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler) throw EncoderFailure(ExitStatus::InternalFailure, CannotWrite(outputPath) + ": no colour conversion.");
    // Unstated colours are read as the scaler guesses them.
    if (picture.colorspace != AVCOL_SPC_UNSPECIFIED) {
        const int* matrix = sws_getCoefficients(picture.colorspace);
        sws_setColorspaceDetails(scaler, matrix, picture.color_range == AVCOL_RANGE_JPEG,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, rgb->data, rgb->linesize);
    sws_freeContext(scaler);
    return rgb;
}

}  // namespace

void PngPicture::Write(const AVFrame& picture, int width, int height, const std::string& outputPath) {
    FramePtr rgb = AsRgb(picture, width, height, outputPath);
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec) throw EncoderFailure(ExitStatus::InternalFailure, "No PNG encoder is built in.");
    CodecContextPtr context = MakeCodecContext(codec);
    context->width = rgb->width;
    context->height = rgb->height;
    context->pix_fmt = AV_PIX_FMT_RGB24;
    context->time_base = {1, 25};
    CheckFfmpeg(avcodec_open2(context.get(), codec, nullptr), ExitStatus::InternalFailure, "the PNG encoder");
    CheckFfmpeg(avcodec_send_frame(context.get(), rgb.get()), ExitStatus::InternalFailure, CannotWrite(outputPath));
    PacketPtr packet = MakePacket();
    CheckFfmpeg(avcodec_receive_packet(context.get(), packet.get()), ExitStatus::InternalFailure,
                CannotWrite(outputPath));
    TemporaryOutputFile file(outputPath);
    avio_write(file.Io(), packet->data, packet->size);
    file.Commit();
}
