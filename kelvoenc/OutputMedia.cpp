#include "kelvoenc/OutputMedia.h"

#include "kelvoenc/EncoderFailure.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

const char* MuxerName(ContainerChoice container) {
    switch (container) {
    case ContainerChoice::Avi: return "avi";
    case ContainerChoice::Mpg: return "mpeg";
    case ContainerChoice::Asf: return "asf";
    case ContainerChoice::Vcd: return "vcd";
    case ContainerChoice::Svcd: return "svcd";
    case ContainerChoice::Dvd: return "dvd";
    }
    return "avi";
}

std::uint32_t FourccTag(const std::string& fourcc) {
    char text[4] = {' ', ' ', ' ', ' '};
    std::memcpy(text, fourcc.data(), std::min<std::size_t>(fourcc.size(), 4));
    return MKTAG(text[0], text[1], text[2], text[3]);
}

// A hidden name beside the output, unique to this run.
std::string TemporaryPath(const std::string& outputPath) {
    auto slash = outputPath.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : outputPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? outputPath : outputPath.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(getpid()) + ".part";
}

}  // namespace

OutputMedia::OutputMedia(const std::string& outputPath, ContainerChoice container)
    : m_outputPath(outputPath), m_temporaryPath(TemporaryPath(outputPath)), m_container(container) {
    AVFormatContext* format = nullptr;
    Check(avformat_alloc_output_context2(&format, nullptr, MuxerName(container), m_temporaryPath.c_str()), "prepare");
    m_format.reset(format);
}

OutputMedia::~OutputMedia() {
    m_format.reset();
    if (m_fileCreated && !m_finished) std::remove(m_temporaryPath.c_str());
}

bool OutputMedia::WantsGlobalHeaders() const { return m_format->oformat->flags & AVFMT_GLOBALHEADER; }

int OutputMedia::AddStream(const AVCodecContext* encoder, const std::string& fourcc) {
    AVStream* stream = avformat_new_stream(m_format.get(), nullptr);
    if (!stream) throw std::bad_alloc();
    Check(avcodec_parameters_from_context(stream->codecpar, encoder), "prepare");
    stream->time_base = encoder->time_base;
    if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) {
        stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
        stream->avg_frame_rate = encoder->framerate;
    }
    // The rate-control figures (maximum rate, buffer size) the MPEG muxers
    // size their buffers and mux rate from.
    for (int i = 0; i < encoder->nb_coded_side_data; ++i) {
        const AVPacketSideData& side = encoder->coded_side_data[i];
        std::uint8_t* copy = av_stream_new_side_data(stream, side.type, side.size);
        if (!copy) throw std::bad_alloc();
        std::memcpy(copy, side.data, side.size);
    }
    if (!fourcc.empty()) {
        std::uint32_t tag = FourccTag(fourcc);
        if (!m_format->oformat->codec_tag || av_codec_get_id(m_format->oformat->codec_tag, tag) == encoder->codec_id)
            stream->codecpar->codec_tag = tag;
        else
            Notice("the FourCC " + fourcc + " does not fit this video in this container; the usual one is written.");
    }
    return stream->index;
}

void OutputMedia::SetMuxerOptions(OptionDictionary& options) const {
    switch (m_container) {
    case ContainerChoice::Avi:
        // AVI keeps no audio timestamps: shifting every stream to make the
        // encoder's priming delay non-negative would only move the picture
        // a whole frame late.
        options.Set("avoid_negative_ts", "disabled");
        break;
    case ContainerChoice::Vcd:
        options.Set("packetsize", "2324");
        options.Set("muxrate", "1411200");
        options.Set("preload", "440000");
        break;
    case ContainerChoice::Svcd: options.Set("packetsize", "2324"); break;
    case ContainerChoice::Dvd:
        options.Set("packetsize", "2048");
        options.Set("muxrate", "10080000");
        break;
    default: break;
    }
}

void OutputMedia::Start() {
    Check(avio_open(&m_format->pb, m_temporaryPath.c_str(), AVIO_FLAG_WRITE), "create");
    m_fileCreated = true;
    OptionDictionary options;
    SetMuxerOptions(options);
    Check(avformat_write_header(m_format.get(), options.Address()), "start");
}

void OutputMedia::Write(AVPacket* packet, int stream, AVRational timeBase) {
    packet->stream_index = stream;
    av_packet_rescale_ts(packet, timeBase, m_format->streams[stream]->time_base);
    Check(av_interleaved_write_frame(m_format.get(), packet), "write to");
}

void OutputMedia::Finish() {
    Check(av_write_trailer(m_format.get()), "complete");
    Check(avio_closep(&m_format->pb), "complete");
    if (std::rename(m_temporaryPath.c_str(), m_outputPath.c_str()) != 0)
        Check(AVERROR(errno), "give the finished file the name of");
    m_finished = true;
}

void OutputMedia::Check(int error, const std::string& doing) const {
    if (error < 0)
        CheckFfmpeg(error, ExitStatus::OutputUnwritable, "Cannot " + doing + " the output \"" + m_outputPath + "\"");
}
