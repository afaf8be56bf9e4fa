#include "kelvoenc/SubtitleLines.h"

#include "kelvoenc/EncoderFailure.h"

#include <algorithm>

namespace {

// How long a line whose end is not stated stays, unless the next one comes first.
constexpr std::int64_t kUnknownLineMicroseconds = 5'000'000;

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

}  // namespace

SubtitleLines::SubtitleLines(const SubtitleSource& source, const KeptPart& kept) {
    const std::int64_t origin = kept.OriginMicroseconds(source.besideTheSource);
    InputFormatPtr format = SubtitleSources::Open(source);
    m_decoder = OpenDecoder(source, format->streams[source.streamIndex]);
    m_pictures = source.report.isPicture;
    PacketPtr packet = MakePacket();
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == source.streamIndex) {
            SubtitlePtr subtitle(new AVSubtitle{});
            int got = 0;
            // A line that cannot be decoded is damage: the others still are.
            if (avcodec_decode_subtitle2(m_decoder.get(), subtitle.get(), &got, packet.get()) >= 0 && got)
                Add(std::move(subtitle), origin, kept.EndSeconds());
        }
        av_packet_unref(packet.get());
    }
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const Line& a, const Line& b) { return a.start < b.start; });
}

void SubtitleLines::Add(SubtitlePtr subtitle, std::int64_t origin, std::optional<double> endSeconds) {
    if (subtitle->pts == AV_NOPTS_VALUE) return;
    std::int64_t start = subtitle->pts + std::int64_t{subtitle->start_display_time} * 1000 - origin;
    // A picture subtitle's page (DVB, PGS) stays until the next one, or an
    // empty one, takes its place.
    if (m_pictures && !m_lines.empty() && m_lines.back().end > start)
        m_lines.back().end = std::max(m_lines.back().start + 1, start);
    if (subtitle->num_rects == 0) return;
    const bool endKnown = subtitle->end_display_time > 0 && subtitle->end_display_time != UINT32_MAX;
    std::int64_t end = endKnown ? subtitle->pts + std::int64_t{subtitle->end_display_time} * 1000 - origin
                                : start + kUnknownLineMicroseconds;
    if (endSeconds) end = std::min(end, static_cast<std::int64_t>(*endSeconds * AV_TIME_BASE));
    start = std::max<std::int64_t>(start, 0);
    if (end <= start) return;
    m_lines.push_back({start, end, std::move(subtitle)});
}
