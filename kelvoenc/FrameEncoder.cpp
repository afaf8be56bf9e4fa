#include "kelvoenc/FrameEncoder.h"

#include "kelvoenc/EncoderFailure.h"

FrameEncoder::FrameEncoder(CodecContextPtr context, std::string outputPath)
    : m_context(std::move(context)), m_outputPath(std::move(outputPath)) {}

void FrameEncoder::Encode(const AVFrame* frame, const std::function<void(PacketPtr)>& deliver) {
    Check(avcodec_send_frame(m_context.get(), frame));
    while (true) {
        PacketPtr packet = MakePacket();
        int result = avcodec_receive_packet(m_context.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        Check(result);
        deliver(std::move(packet));
    }
}

void FrameEncoder::Check(int result) const {
    if (result < 0)
        CheckFfmpeg(result, ExitStatus::OutputUnwritable,
                    std::string("Cannot encode the ") + m_context->codec->long_name + " of \"" + m_outputPath + "\"");
}
