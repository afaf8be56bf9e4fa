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

// The MP4's text encoder, with the styles the decoder describes its lines
// in; or the DVD's subpicture encoder, in the colours the disc carries.
CodecContextPtr OpenEncoder(const AVCodecContext& decoder, const std::optional<SubpictureFrame>& subpictures,
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

SubtitleTrack::SubtitleTrack(const SubtitleSource& source, std::int64_t originMicroseconds,
                             std::optional<double> endSeconds, const std::optional<SubpictureFrame>& subpictures,
                             OutputMedia& output)
    : m_output(output) {
    SubtitleLines lines(source, originMicroseconds, endSeconds);
    CodecContextPtr encoder = OpenEncoder(lines.Decoder(), subpictures, source.path);
    std::optional<SubpicturePainter> painter;
    if (subpictures) painter.emplace(lines.Decoder(), *subpictures, SubpicturePainter::Margins::TitleSafe);
    for (SubtitleLines::Line& line : lines.Lines()) {
        if (!painter) {
            Encode(*encoder, *line.subtitle, line.start, line.end);
            continue;
        }
        SubtitlePtr picture(new AVSubtitle{});
        if (painter->Paint(*line.subtitle, line.start / 1000, (line.end - line.start) / 1000, *picture))
            Encode(*encoder, *picture, line.start, line.end);
    }
    m_stream = output.AddStream(encoder.get());
    int disposition = (source.report.isDefault ? AV_DISPOSITION_DEFAULT : 0) |
                      (source.report.isForced ? AV_DISPOSITION_FORCED : 0);
    output.Label(m_stream, source.report.language, source.besideTheSource ? "" : source.report.title, disposition);
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
