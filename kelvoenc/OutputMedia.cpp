#include "kelvoenc/OutputMedia.h"

#include "kelvoenc/EncoderFailure.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char* MuxerName(ContainerChoice container) {
    switch (container) {
    case ContainerChoice::Avi: return "avi";
    case ContainerChoice::Mpg: return "mpeg";
    case ContainerChoice::Asf: return "asf";
    case ContainerChoice::Vcd: return "vcd";
    case ContainerChoice::Svcd: return "svcd";
    case ContainerChoice::Dvd: return "dvd";
    case ContainerChoice::Mp4: return "mp4";
    case ContainerChoice::Matroska: return "matroska";
    case ContainerChoice::WebM: return "webm";
    }
    return "avi";
}

std::uint32_t FourccTag(const std::string& fourcc) {
    char text[4] = {' ', ' ', ' ', ' '};
    std::memcpy(text, fourcc.data(), std::min<std::size_t>(fourcc.size(), 4));
    return MKTAG(text[0], text[1], text[2], text[3]);
}

}  // namespace

OutputMedia::OutputMedia(const std::string& outputPath, ContainerChoice container)
    : m_outputPath(outputPath), m_container(container), m_file(outputPath) {
    AVFormatContext* format = nullptr;
    Check(avformat_alloc_output_context2(&format, nullptr, MuxerName(container), nullptr), "prepare");
    m_format.reset(format);
    m_format->pb = m_file.Io();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // Whole buffers, not one write per packet: nobody reads the temporary
    // file while it grows.
    m_format->flush_packets = 0;
    // Moving the index to the front reads the written file back by its name.
    if (container == ContainerChoice::Mp4) {
        m_format->url = av_strdup(("file:" + m_file.Path()).c_str());
        if (!m_format->url) throw std::bad_alloc();
    }
}

OutputMedia::~OutputMedia() {
    // The file's own object closes it, not the muxer's owner.
    m_format->pb = nullptr;
}

bool OutputMedia::WantsGlobalHeaders() const { return m_format->oformat->flags & AVFMT_GLOBALHEADER; }

int OutputMedia::AddStream(const AVCodecContext* encoder, const std::string& askedFourcc) {
    // Apple's players take H.265 in MP4 only under the tag hvc1.
    bool appleHevc =
        askedFourcc.empty() && m_container == ContainerChoice::Mp4 && encoder->codec_id == AV_CODEC_ID_HEVC;
    const std::string fourcc = appleHevc ? "hvc1" : askedFourcc;
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

int OutputMedia::AddCopiedStream(const AVStream& source) {
    AVStream* stream = avformat_new_stream(m_format.get(), nullptr);
    if (!stream) throw std::bad_alloc();
    Check(avcodec_parameters_copy(stream->codecpar, source.codecpar), "prepare");
    stream->codecpar->codec_tag = 0;
    stream->time_base = source.time_base;
    return stream->index;
}

// A font goes with its name and kind, which players find it by.
void OutputMedia::AddAttachment(const AVStream& source) {
    const int stream = AddCopiedStream(source);
    if (av_dict_copy(&m_format->streams[stream]->metadata, source.metadata, 0) < 0) throw std::bad_alloc();
}

void OutputMedia::Label(int stream, const AVStream* source, bool playedFirst) {
    const AVDictionaryEntry* language = av_dict_get(source->metadata, "language", nullptr, 0);
    const AVDictionaryEntry* title = av_dict_get(source->metadata, "title", nullptr, 0);
    Label(stream, language ? language->value : "", title ? title->value : "",
          playedFirst ? AV_DISPOSITION_DEFAULT : 0);
}

void OutputMedia::Label(int stream, const std::string& language, const std::string& title, int disposition) {
    m_format->streams[stream]->disposition = disposition;
    AVDictionary** labels = &m_format->streams[stream]->metadata;
    if (!language.empty() && av_dict_set(labels, "language", language.c_str(), 0) < 0) throw std::bad_alloc();
    if (title.empty()) return;
    if (av_dict_set(labels, "title", title.c_str(), 0) < 0) throw std::bad_alloc();
    // Players read an MP4 track's title from its handler's name.
    if (m_container == ContainerChoice::Mp4 && av_dict_set(labels, "handler_name", title.c_str(), 0) < 0)
        throw std::bad_alloc();
}

void OutputMedia::KeepChapters(const AVFormatContext* source, std::int64_t originMicroseconds,
                               std::optional<double> endSeconds) {
    if (m_container != ContainerChoice::Mp4 && m_container != ContainerChoice::Matroska &&
        m_container != ContainerChoice::WebM)
        return;
    for (unsigned i = 0; i < source->nb_chapters; ++i) {
        const AVChapter* from = source->chapters[i];
        const std::int64_t origin = av_rescale_q(originMicroseconds, AV_TIME_BASE_Q, from->time_base);
        std::int64_t start = std::max<std::int64_t>(from->start - origin, 0);
        std::int64_t end = from->end - origin;
        if (endSeconds) {
            const auto limit = static_cast<std::int64_t>(*endSeconds / av_q2d(from->time_base));
            if (start >= limit) break;
            end = std::min(end, limit);
        }
        if (end <= start) continue;
        AddChapter(*from, start, end);
    }
}

// What the muxer frees with the file's context: the chapter, its names and
// the list holding it.
void OutputMedia::AddChapter(const AVChapter& from, std::int64_t start, std::int64_t end) {
    auto* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
    if (!chapter) throw std::bad_alloc();
    chapter->id = from.id;
    chapter->time_base = from.time_base;
    chapter->start = start;
    chapter->end = end;
    if (av_dict_copy(&chapter->metadata, from.metadata, 0) < 0 ||
        av_dynarray_add_nofree(&m_format->chapters, reinterpret_cast<int*>(&m_format->nb_chapters), chapter) < 0) {
        av_dict_free(&chapter->metadata);
        av_free(chapter);
        throw std::bad_alloc();
    }
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
    case ContainerChoice::Mp4: options.Set("movflags", "+faststart"); break;
    // The picture and the sound played first are taken by default; a
    // subtitle only where it is flagged to be shown.
    case ContainerChoice::Matroska:
    case ContainerChoice::WebM: options.Set("default_mode", "infer_no_subs"); break;
    case ContainerChoice::Dvd:
        options.Set("packetsize", "2048");
        options.Set("muxrate", "10080000");
        break;
    default: break;
    }
}

void OutputMedia::Start() {
    OptionDictionary options;
    SetMuxerOptions(options);
    Check(avformat_write_header(m_format.get(), options.Address()), "start");
}

void OutputMedia::Write(AVPacket* packet, int stream, AVRational timeBase) {
    packet->stream_index = stream;
    av_packet_rescale_ts(packet, timeBase, m_format->streams[stream]->time_base);
    Check(av_interleaved_write_frame(m_format.get(), packet), "write to");
}

void OutputMedia::Complete() { Check(av_write_trailer(m_format.get()), "complete"); }

void OutputMedia::Check(int error, const std::string& doing) const {
    if (error < 0)
        CheckFfmpeg(error, ExitStatus::OutputUnwritable, "Cannot " + doing + " the output \"" + m_outputPath + "\"");
}
