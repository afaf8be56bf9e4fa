#include "kelvoenc/StreamDecoder.h"

#include "kelvoenc/EncoderFailure.h"

namespace {

// The codec's name, or the file's FourCC for a codec the library does not know.
std::string FormatName(const AVCodecParameters* parameters) {
    if (parameters->codec_id != AV_CODEC_ID_NONE || parameters->codec_tag == 0)
        return avcodec_get_name(parameters->codec_id);
    char fourcc[AV_FOURCC_MAX_STRING_SIZE] = {};
    return std::string("FourCC ") + av_fourcc_make_string(fourcc, parameters->codec_tag);
}

}  // namespace

StreamDecoder::StreamDecoder(const std::string& sourcePath, const AVStream* stream, int threads) : m_stream(stream) {
    const char* kind = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? "video" : "audio";
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder)
        throw EncoderFailure(ExitStatus::SourceUnreadable, std::string("The ") + kind + " of \"" + sourcePath +
                                                               "\" is in a format (" + FormatName(stream->codecpar) +
                                                               ") that cannot be decoded.");
    m_context = MakeCodecContext(decoder);
    const std::string what = std::string("Cannot decode the ") + kind + " of \"" + sourcePath + "\"";
    CheckFfmpeg(avcodec_parameters_to_context(m_context.get(), stream->codecpar), ExitStatus::SourceUnreadable, what);
    m_context->pkt_timebase = stream->time_base;
    m_context->thread_count = threads;
    m_context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    CheckFfmpeg(avcodec_open2(m_context.get(), decoder, nullptr), ExitStatus::SourceUnreadable, what);
}

void StreamDecoder::Decode(const AVPacket* packet, const std::function<void(AVFrame*)>& take) {
    // A packet the decoder refuses is damaged data: skip it.
    if (avcodec_send_packet(m_context.get(), packet) < 0 && packet) return;
    while (avcodec_receive_frame(m_context.get(), m_frame.get()) >= 0) {
        take(m_frame.get());
        av_frame_unref(m_frame.get());
    }
}
