#pragma once

// Owners for the FFmpeg objects the encoder creates. Every handle is released
// by its library's own free function when its owner goes out of scope.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

#include <memory>

struct InputFormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
// An output context also owns the file it writes to.
struct OutputFormatFreer {
    void operator()(AVFormatContext* context) const {
        if (context->pb && !(context->oformat->flags & AVFMT_NOFILE)) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FilterGraphFreer {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct AudioFifoFreer {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

// Options handed to an FFmpeg open call; what the call leaves unused is freed
// with the owner.
class OptionDictionary {
public:
    OptionDictionary() = default;
    OptionDictionary(const OptionDictionary&) = delete;
    OptionDictionary& operator=(const OptionDictionary&) = delete;
    ~OptionDictionary() { av_dict_free(&m_entries); }

    void Set(const char* key, const char* value) { av_dict_set(&m_entries, key, value, 0); }
    AVDictionary** Address() { return &m_entries; }

private:
    AVDictionary* m_entries = nullptr;
};

using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatCloser>;
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatFreer>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphFreer>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoFreer>;

// Allocating constructors that never return null: an allocation failure
// becomes std::bad_alloc like any other.
FramePtr MakeFrame();
PacketPtr MakePacket();
CodecContextPtr MakeCodecContext(const AVCodec* codec);
