#include "kelvoenc/SubtitleTrack.h"

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/OutputMedia.h"
#include "kelvoenc/SubtitleLines.h"
#include "protocol/SubpicturePalette.h"

#include <algorithm>

namespace {

constexpr AVRational kMicroseconds{1, AV_TIME_BASE};
// The largest line a text subtitle encoder writes.
constexpr int kLineBytes = 1 << 16;

AVCodecID EncoderFor(SubtitleForm form, const AVCodecContext& decoder) {
    switch (form) {
    case SubtitleForm::Mp4Text: return AV_CODEC_ID_MOV_TEXT;
    case SubtitleForm::WebVtt: return AV_CODEC_ID_WEBVTT;
    case SubtitleForm::Subpictures: return AV_CODEC_ID_DVD_SUBTITLE;
    case SubtitleForm::AsItIs: break;
    }
    return decoder.codec_id == AV_CODEC_ID_ASS || decoder.codec_id == AV_CODEC_ID_SSA ? AV_CODEC_ID_ASS
                                                                                      : AV_CODEC_ID_SUBRIP;
}

// A text encoder, with the styles the decoder describes its lines in; or
// the DVD's subpicture encoder, in the colours the disc carries.
CodecContextPtr OpenEncoder(const AVCodecContext& decoder, SubtitleForm form, const SubpictureFrame& frame,
                            const std::string& sourcePath) {
    const std::string what = "Cannot convert the subtitles of \"" + sourcePath + "\"";
    const AVCodec* codec = avcodec_find_encoder(EncoderFor(form, decoder));
    if (!codec) CheckFfmpeg(AVERROR_ENCODER_NOT_FOUND, ExitStatus::OutputUnwritable, what);
    CodecContextPtr encoder = MakeCodecContext(codec);
    encoder->time_base = kMicroseconds;
    OptionDictionary options;
    if (form == SubtitleForm::Subpictures) {
        encoder->width = frame.frameWidth;
        encoder->height = frame.frameHeight;
        options.Set("palette", SubpicturePaletteText(", ").c_str());
        options.Set("even_rows_fix", "1");
    } else if (decoder.subtitle_header) {
        encoder->subtitle_header = static_cast<std::uint8_t*>(av_mallocz(decoder.subtitle_header_size + 1));
        if (!encoder->subtitle_header) throw std::bad_alloc();
        std::copy_n(decoder.subtitle_header, decoder.subtitle_header_size, encoder->subtitle_header);
        encoder->subtitle_header_size = decoder.subtitle_header_size;
    }
    CheckFfmpeg(avcodec_open2(encoder.get(), codec, options.Address()), ExitStatus::OutputUnwritable, what);
    return encoder;
}

}  // namespace

SubtitleTrack::SubtitleTrack(const SubtitleSource& source, const KeptPart& kept, SubtitleForm form,
                             const SubpictureFrame& frame, OutputMedia& output)
    : m_output(output) {
    m_stream = form == SubtitleForm::AsItIs && source.characterSet.empty() ? Copy(source, kept, output)
                                                                           : Convert(source, kept, form, frame, output);
    int disposition =
        (source.report.isDefault ? AV_DISPOSITION_DEFAULT : 0) | (source.report.isForced ? AV_DISPOSITION_FORCED : 0);
    output.Label(m_stream, source.report.language, source.besideTheSource ? "" : source.report.title, disposition);
}

int SubtitleTrack::Convert(const SubtitleSource& source, const KeptPart& kept, SubtitleForm form,
                           const SubpictureFrame& frame, OutputMedia& output) {
    SubtitleLines lines(source, kept);
    CodecContextPtr encoder = OpenEncoder(lines.Decoder(), form, frame, source.path);
    std::optional<SubpicturePainter> painter;
    if (form == SubtitleForm::Subpictures)
        painter.emplace(lines.Decoder(), frame, SubpicturePainter::Margins::TitleSafe);
    for (SubtitleLines::Line& line : lines.Lines()) {
        if (!painter) {
            Encode(*encoder, *line.subtitle, line.start, line.end);
            continue;
        }
        SubtitlePtr picture(new AVSubtitle{});
        if (painter->Paint(*line.subtitle, line.start / 1000, (line.end - line.start) / 1000, *picture))
            Encode(*encoder, *picture, line.start, line.end);
    }
    return output.AddStream(encoder.get());
}

// Each packet as it is, at its time from the conversion's start: a line on
// at the start keeps what is left of it, and one at the end time stops there.
int SubtitleTrack::Copy(const SubtitleSource& source, const KeptPart& kept, OutputMedia& output) {
    InputFormatPtr holder = SubtitleSources::Open(source);
    const AVStream& stream = *holder->streams[source.streamIndex];
    const std::int64_t origin = kept.OriginMicroseconds(source.besideTheSource);
    const std::optional<double> end = kept.EndSeconds();
    const std::int64_t limit = end ? static_cast<std::int64_t>(*end * AV_TIME_BASE) : INT64_MAX;
    PacketPtr packet = MakePacket();
    while (av_read_frame(holder.get(), packet.get()) >= 0) {
        const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (packet->stream_index == source.streamIndex && time != AV_NOPTS_VALUE) {
            const std::int64_t start = av_rescale_q(time, stream.time_base, kMicroseconds) - origin;
            const std::int64_t length = av_rescale_q(packet->duration, stream.time_base, kMicroseconds);
            const std::int64_t end = std::min(start + length, limit);
            if (start < limit && (start >= 0 || end > 0)) {
                PacketPtr line = MakePacket();
                av_packet_move_ref(line.get(), packet.get());
                line->pts = line->dts = std::max<std::int64_t>(start, 0);
                line->duration = length > 0 ? end - line->pts : 0;
                m_lines.push_back({line->pts, std::move(line)});
            }
        }
        av_packet_unref(packet.get());
    }
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const Line& a, const Line& b) { return a.start < b.start; });
    return output.AddCopiedStream(stream);
}

void SubtitleTrack::Encode(AVCodecContext& encoder, const AVSubtitle& line, std::int64_t start, std::int64_t end) {
    AVSubtitle subtitle = line;
    subtitle.pts = start;
    subtitle.start_display_time = 0;
    subtitle.end_display_time = static_cast<std::uint32_t>((end - start) / 1000);
    PacketPtr packet = MakePacket();
    CheckFfmpeg(av_new_packet(packet.get(), kLineBytes), ExitStatus::OutOfMemory, "A subtitle line");
    const int size = avcodec_encode_subtitle(&encoder, packet->data, kLineBytes, &subtitle);
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
