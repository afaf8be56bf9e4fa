#include "kelvoenc/SubtitleTrack.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/OutputMedia.h"
#include "protocol/SubpicturePalette.h"

#include <algorithm>

namespace {

constexpr AVRational kMicroseconds{1, AV_TIME_BASE};
// The largest line a text subtitle encoder writes.
constexpr int kLineBytes = 1 << 16;

struct SubtitleFreer {
    void operator()(AVSubtitle* subtitle) const { avsubtitle_free(subtitle); }
};

InputFormatPtr OpenHolder(const SubtitleSource& source) {
    AVFormatContext* opened = nullptr;
    OptionDictionary options;
    options.Set("protocol_whitelist", "file");
    options.Set("format_whitelist", source.formatName.c_str());
    CheckFfmpeg(avformat_open_input(&opened, ("file:" + source.path).c_str(), nullptr, options.Address()),
                ExitStatus::SourceUnreadable, "Cannot read the subtitles of \"" + source.path + "\"");
    InputFormatPtr format(opened);
    // Program streams name their streams only as they are read.
    CheckFfmpeg(avformat_find_stream_info(format.get(), nullptr), ExitStatus::SourceUnreadable,
                "Cannot read the subtitles of \"" + source.path + "\"");
    if (source.streamIndex < 0 || unsigned(source.streamIndex) >= format->nb_streams)
        CheckFfmpeg(AVERROR_STREAM_NOT_FOUND, ExitStatus::SourceUnreadable,
                    "Cannot read the subtitles of \"" + source.path + "\"");
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != source.streamIndex) format->streams[i]->discard = AVDISCARD_ALL;
    return format;
}

CodecContextPtr OpenDecoder(const SubtitleSource& source, const AVStream* stream) {
    const std::string what = "Cannot decode the subtitles of \"" + source.path + "\"";
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) CheckFfmpeg(AVERROR_DECODER_NOT_FOUND, ExitStatus::SourceUnreadable, what);
    CodecContextPtr decoder = MakeCodecContext(codec);
    CheckFfmpeg(avcodec_parameters_to_context(decoder.get(), stream->codecpar), ExitStatus::SourceUnreadable, what);
    decoder->pkt_timebase = stream->time_base;
    OptionDictionary options;
    if (!source.characterSet.empty()) options.Set("sub_charenc", source.characterSet.c_str());
    CheckFfmpeg(avcodec_open2(decoder.get(), codec, options.Address()), ExitStatus::SourceUnreadable, what);
    return decoder;
}

// The MP4's text encoder, with the styles the decoder describes its lines
// in; or the DVD's subpicture encoder, in the colours the disc carries.
CodecContextPtr OpenEncoder(const AVCodecContext* decoder, const std::optional<SubpictureFrame>& subpictures,
                            const std::string& sourcePath) {
    const std::string what = "Cannot convert the subtitles of \"" + sourcePath + "\"";
    const AVCodec* codec = avcodec_find_encoder(subpictures ? AV_CODEC_ID_DVD_SUBTITLE : AV_CODEC_ID_MOV_TEXT);
    if (!codec) CheckFfmpeg(AVERROR_ENCODER_NOT_FOUND, ExitStatus::OutputUnwritable, what);
    CodecContextPtr encoder = MakeCodecContext(codec);
    encoder->time_base = kMicroseconds;
    OptionDictionary options;
    if (subpictures) {
        encoder->width = subpictures->frameWidth;
        encoder->height = subpictures->frameHeight;
        options.Set("palette", SubpicturePaletteText(", ").c_str());
        options.Set("even_rows_fix", "1");
    } else if (decoder->subtitle_header) {
        encoder->subtitle_header = static_cast<std::uint8_t*>(av_mallocz(decoder->subtitle_header_size + 1));
        if (!encoder->subtitle_header) throw std::bad_alloc();
        std::copy_n(decoder->subtitle_header, decoder->subtitle_header_size, encoder->subtitle_header);
        encoder->subtitle_header_size = decoder->subtitle_header_size;
    }
    CheckFfmpeg(avcodec_open2(encoder.get(), codec, options.Address()), ExitStatus::OutputUnwritable, what);
    return encoder;
}

}  // namespace

SubtitleTrack::SubtitleTrack(const SubtitleSource& source, std::int64_t originMicroseconds,
                             std::optional<double> endSeconds, const std::optional<SubpictureFrame>& subpictures,
                             OutputMedia& output)
    : m_output(output) {
    ReadAll(source, source.besideTheSource ? 0 : originMicroseconds, endSeconds, subpictures);
    m_stream = output.AddStream(m_encoder.get());
    int disposition = (source.report.isDefault ? AV_DISPOSITION_DEFAULT : 0) |
                      (source.report.isForced ? AV_DISPOSITION_FORCED : 0);
    output.Label(m_stream, source.report.language, source.besideTheSource ? "" : source.report.title, disposition);
}

void SubtitleTrack::ReadAll(const SubtitleSource& source, std::int64_t origin, std::optional<double> endSeconds,
                            const std::optional<SubpictureFrame>& subpictures) {
    InputFormatPtr format = OpenHolder(source);
    const AVStream* stream = format->streams[source.streamIndex];
    m_decoder = OpenDecoder(source, stream);
    m_encoder = OpenEncoder(m_decoder.get(), subpictures, source.path);
    if (subpictures) m_painter = std::make_unique<SubpicturePainter>(*m_decoder, *subpictures);
    PacketPtr packet = MakePacket();
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == source.streamIndex) {
            AVSubtitle subtitle{};
            int got = 0;
            // A line that cannot be decoded is damage: the others still are.
            if (avcodec_decode_subtitle2(m_decoder.get(), &subtitle, &got, packet.get()) >= 0 && got) {
                std::unique_ptr<AVSubtitle, SubtitleFreer> owned(&subtitle);
                AddLine(subtitle, origin, endSeconds);
            }
        }
        av_packet_unref(packet.get());
    }
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const Line& a, const Line& b) { return a.start < b.start; });
}

void SubtitleTrack::AddLine(AVSubtitle& subtitle, std::int64_t origin, std::optional<double> endSeconds) {
    if (subtitle.pts == AV_NOPTS_VALUE || subtitle.num_rects == 0) return;
    std::int64_t start = subtitle.pts + std::int64_t{subtitle.start_display_time} * 1000 - origin;
    std::int64_t end = subtitle.pts + std::int64_t{subtitle.end_display_time} * 1000 - origin;
    if (endSeconds) end = std::min(end, static_cast<std::int64_t>(*endSeconds * AV_TIME_BASE));
    start = std::max<std::int64_t>(start, 0);
    if (end <= start) return;
    if (!m_painter) {
        Encode(subtitle, start, end);
        return;
    }
    AVSubtitle picture{};
    std::unique_ptr<AVSubtitle, SubtitleFreer> owned(&picture);
    if (m_painter->Paint(subtitle, start / 1000, (end - start) / 1000, picture)) Encode(picture, start, end);
}

void SubtitleTrack::Encode(const AVSubtitle& line, std::int64_t start, std::int64_t end) {
    AVSubtitle subtitle = line;
    subtitle.pts = start;
    subtitle.start_display_time = 0;
    subtitle.end_display_time = static_cast<std::uint32_t>((end - start) / 1000);
    PacketPtr packet = MakePacket();
    CheckFfmpeg(av_new_packet(packet.get(), kLineBytes), ExitStatus::OutOfMemory, "A subtitle line");
    const int size = avcodec_encode_subtitle(m_encoder.get(), packet->data, kLineBytes, &subtitle);
    if (size <= 0) return;
    av_shrink_packet(packet.get(), size);
    packet->pts = packet->dts = start;
    packet->duration = end - start;
    m_lines.push_back({start, std::move(packet)});
}

void SubtitleTrack::WriteUntil(std::int64_t microseconds) {
    for (; m_written < m_lines.size() && m_lines[m_written].start < microseconds; ++m_written)
        m_output.Write(m_lines[m_written].packet.get(), m_stream, kMicroseconds);
}
