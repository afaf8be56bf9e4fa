#include "kelvoenc/Transcoder.h"

#include "kelvoenc/AudioTrack.h"
#include "kelvoenc/EncoderFactory.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/OutputMedia.h"
#include "kelvoenc/PicturePlan.h"
#include "kelvoenc/ProgressClock.h"
#include "kelvoenc/SourceReader.h"
#include "kelvoenc/StageThreads.h"
#include "kelvoenc/StartSeek.h"
#include "kelvoenc/StopSignals.h"
#include "kelvoenc/StreamDecoder.h"
#include "kelvoenc/SubtitleOverlay.h"
#include "kelvoenc/SubtitlePlan.h"
#include "kelvoenc/SubtitleTrack.h"
#include "kelvoenc/VideoEncodeStage.h"
#include "kelvoenc/VideoFilterStage.h"
#include "protocol/ThreadShare.h"
#include "text/FormatText.h"
#include "text/ProgressText.h"

#include <sys/stat.h>
#include <algorithm>
#include <memory>
#include <optional>

namespace {

// An output this much shorter than the source still counts as whole: the
// streams' lengths differ a little, and so do containers' stated lengths.
// The share keeps a short clip cut short from passing as whole.
constexpr double kToleratedShortfallFrames = 2;
constexpr double kToleratedShortfallShare = 0.02;
// The front-end ends every conversion at nine hours (-endpos 9:0:0); an end
// time that late is that limit, not a part the user chose, and a source
// cut by it is converted only in part.
constexpr double kLongestConversionSeconds = 9 * 3600;

// The most sound tracks an output keeps: as many as a DVD title holds.
constexpr std::size_t kMostSoundTracks = 8;

AudioCodecChoice AudioCodecOf(const EncoderOptions& options, ContainerChoice container) {
    if (options.audio.codec) return *options.audio.codec;
    switch (container) {
    case ContainerChoice::Avi: return AudioCodecChoice::Mp3;
    case ContainerChoice::Dvd: return AudioCodecChoice::Ac3;
    case ContainerChoice::Asf: return AudioCodecChoice::Wmav2;
    case ContainerChoice::Mp4:
    case ContainerChoice::Matroska: return AudioCodecChoice::Aac;
    case ContainerChoice::WebM: return AudioCodecChoice::Opus;
    default: return AudioCodecChoice::Mp2;
    }
}

// Writing the output over the source would destroy the source.
void RefuseOverwritingSource(const std::string& sourcePath, const std::string& outputPath) {
    struct stat source {
    }, output{};
    if (stat(sourcePath.c_str(), &source) == 0 && stat(outputPath.c_str(), &output) == 0 &&
        source.st_dev == output.st_dev && source.st_ino == output.st_ino)
        throw EncoderFailure(
            ExitStatus::OutputUnwritable,
            "The output \"" + outputPath + "\" is the source itself; the source is never overwritten.");
}

// How many sound tracks the output keeps: players switch among a DVD's 8
// and among an MP4's, a Matroska file's or a WebM file's; the other formats'
// players play one.
std::size_t SoundTracksHeld(ContainerChoice container) {
    return container == ContainerChoice::Dvd || container == ContainerChoice::Mp4 ||
                   container == ContainerChoice::Matroska || container == ContainerChoice::WebM
               ? kMostSoundTracks
               : 1;
}

// A decoder for each chosen sound track; one that cannot be opened is left
// out, with its reason.
std::vector<std::unique_ptr<StreamDecoder>> OpenSoundDecoders(const InputMedia& source) {
    std::vector<std::unique_ptr<StreamDecoder>> decoders;
    const std::vector<AVStream*>& streams = source.SoundStreams();
    for (AVStream* stream : streams) {
        try {
            decoders.push_back(std::make_unique<StreamDecoder>(source.Path(), stream));
        } catch (const EncoderFailure& failure) {
            Notice(std::string(failure.what()) +
                   (streams.size() == 1 ? " The output gets no sound." : " That sound track is left out."));
        }
    }
    return decoders;
}

// The silence under a still: stereo at 48 kHz, which every disc takes.
SourceSound SilentSound() {
    SourceSound sound;
    sound.sampleRate = 48000;
    av_channel_layout_default(&sound.layout, 2);
    return sound;
}

SourceSound SoundOf(const StreamDecoder& decoder) {
    const AVCodecContext* context = decoder.Context();
    SourceSound sound;
    sound.sampleRate = context->sample_rate;
    sound.layout = AudioPlan::KnownLayout(context->ch_layout);
    return sound;
}

ExitStatus Stopped(const std::string& reason) {
    if (!reason.empty()) Notice(reason);
    Notice("stopped; the unfinished output is removed.");
    return ExitStatus::Stopped;
}

SubtitleForm SubtitleFormOf(ContainerChoice container) {
    switch (container) {
    case ContainerChoice::Dvd: return SubtitleForm::Subpictures;
    case ContainerChoice::Matroska: return SubtitleForm::AsItIs;
    case ContainerChoice::WebM: return SubtitleForm::WebVtt;
    default: return SubtitleForm::Mp4Text;
    }
}

// The fonts and other files a Matroska source carries go along, so that its
// styled subtitles look as they did.
void KeepAttachments(const InputMedia& source, OutputMedia& output) {
    const AVFormatContext* format = source.Format();
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_ATTACHMENT)
            output.AddAttachment(*format->streams[i]);
}

std::string DefaultFourcc(VideoCodecChoice codec) { return codec == VideoCodecChoice::Xvid ? "XVID" : ""; }

}  // namespace

ExitStatus Transcoder::Run() {
    std::optional<InputMedia> opened;
    // The first picture tells the fields and colours the encoder is set up
    // for; what was read to find it is converted from memory, not read again.
    ReadAhead readAhead;
    const StartSeek start = StartSeek::Open(opened, m_options.sourcePath, m_options, readAhead);
    RefuseOverwritingSource(m_options.sourcePath, m_options.outputPath);
    InputMedia& source = *opened;
    const ContainerChoice container = m_options.container.value_or(ContainerChoice::Avi);
    // A still has silence for its sound, whatever the source holds.
    if (!m_options.stillSeconds) source.ChooseSounds(m_options.soundTracks, SoundTracksHeld(container));
    StreamDecoder videoDecoder(source.Path(), source.VideoStream(), ThreadShareFromEnvironment());
    const std::vector<std::unique_ptr<StreamDecoder>> soundDecoders = OpenSoundDecoders(source);
    const KeptPart kept(m_options, source.StartMicroseconds());

    const PicturePlan plan = PicturePlan::For(m_options, container, source, start.traits);
    const VideoCodecChoice videoCodec = plan.codec;

    FrameQueue pictures(kPictureQueueLimits, 1, FrameBytes);
    PacketQueue packets(kPacketQueueLimits, 2, PacketBytes);

    OutputMedia output(m_options.outputPath, container);
    FrameEncoder videoEncoder(EncoderFactory::OpenVideo(m_options, videoCodec, container, plan.geometry, plan.timing,
                                                        plan.colours, plan.fields, output.WantsGlobalHeaders()),
                              m_options.outputPath);
    const std::string fourcc = m_options.video.fourcc.empty() ? DefaultFourcc(videoCodec) : m_options.video.fourcc;
    const int videoStream = output.AddStream(videoEncoder.Context(), fourcc);

    std::vector<std::unique_ptr<AudioTrack>> sounds;
    std::vector<SourceReader::SoundInput> soundInputs;
    if (m_options.stillSeconds) {
        sounds.push_back(AddSoundTrack(output, container, kept, nullptr, true, packets));
        soundInputs.push_back({nullptr, nullptr, sounds.back().get()});
    }
    for (const std::unique_ptr<StreamDecoder>& decoder : soundDecoders) {
        sounds.push_back(AddSoundTrack(output, container, kept, decoder.get(), sounds.empty(), packets));
        soundInputs.push_back({decoder->Stream(), decoder.get(), sounds.back().get()});
    }
    SubtitlePlan subtitles;
    if (!m_options.stillSeconds) {
        subtitles = SubtitlePlan::ForSource(m_options, container, source);
        output.KeepChapters(source.Format(), kept.OriginMicroseconds(), kept.EndSeconds());
    }
    const std::vector<std::unique_ptr<SubtitleTrack>> subtitleTracks =
        AddSubtitleTracks(output, subtitles.kept, kept, SubtitleFormOf(container), plan.Subpictures());
    if (container == ContainerChoice::Matroska && !m_options.stillSeconds) KeepAttachments(source, output);
    std::optional<SubtitleOverlay> subtitleOverlay = plan.DrawnSubtitle(subtitles.burned, kept);
    output.Start();

    SourceReader reader({source, readAhead, videoDecoder, std::move(soundInputs), kept, start.timelineMicroseconds,
                         source.FrameRate(), m_options.stillSeconds},
                        pictures, packets);
    VideoEncodeStage encode(videoEncoder, videoStream, packets);
    VideoFilterStage filter({m_options, kept, plan, SourceReader::kFrameTimeBase, source.Path(),
                             subtitleOverlay ? &*subtitleOverlay : nullptr},
                            pictures, encode);

    StageThreads threads([&] {
        pictures.Abort();
        packets.Abort();
    });
    threads.Start([&] { reader.Run(); });
    threads.Start([&] { filter.Run(); });

    ProgressClock progress(m_channel);
    if (MuxUntilDone(output, packets, videoStream, subtitleTracks, progress) == ExitStatus::Stopped)
        return ExitStatus::Stopped;
    threads.Join();
    for (const std::unique_ptr<SubtitleTrack>& track : subtitleTracks) track->WriteRest();
    if (progress.Pictures() == 0)
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "No picture of \"" + source.Path() + "\" could be converted" +
                                 (m_options.startSeconds ? " from the start time (-ss)" : "") +
                                 (m_options.endSeconds ? " before the end time (-endpos)." : "."));
    output.Complete();
    // Moving an MP4's index takes a while on a large file; a stop during it
    // still ends the run.
    if (StopSignals::Pending()) return Stopped("stopped by a signal.");
    output.Commit();
    return Completeness(source, progress.EncodedSeconds(), reader.ReachedSeconds());
}

std::unique_ptr<AudioTrack> Transcoder::AddSoundTrack(OutputMedia& output, ContainerChoice container,
                                                      const KeptPart& kept, const StreamDecoder* decoder,
                                                      bool playedFirst, PacketQueue& packets) const {
    AudioCodecChoice audioCodec = AudioCodecOf(m_options, container);
    AudioFormat format = AudioPlan::Format(m_options, audioCodec, EncoderFactory::FindAudio(audioCodec),
                                           decoder ? SoundOf(*decoder) : SilentSound());
    FrameEncoder soundEncoder(EncoderFactory::OpenAudio(m_options, audioCodec, format, output.WantsGlobalHeaders()),
                              m_options.outputPath);
    int soundStream = output.AddStream(soundEncoder.Context());
    if (decoder) output.Label(soundStream, decoder->Stream(), playedFirst);
    return std::make_unique<AudioTrack>(m_options, kept, SourceReader::kFrameTimeBase, std::move(soundEncoder),
                                        soundStream, packets);
}

// A track that cannot be read is left out, with its reason: the picture and
// sound are still converted.
std::vector<std::unique_ptr<SubtitleTrack>> Transcoder::AddSubtitleTracks(OutputMedia& output,
                                                                          const std::vector<SubtitleSource>& sources,
                                                                          const KeptPart& kept, SubtitleForm form,
                                                                          const SubpictureFrame& subpictures) const {
    std::vector<std::unique_ptr<SubtitleTrack>> tracks;
    for (const SubtitleSource& source : sources) {
        try {
            tracks.push_back(std::make_unique<SubtitleTrack>(source, kept, form, subpictures, output));
        } catch (const EncoderFailure& failure) {
            Notice(std::string(failure.what()) + " That subtitle track is left out.");
        }
    }
    return tracks;
}

ExitStatus Transcoder::Completeness(const InputMedia& source, double convertedSeconds, double reachedSeconds) const {
    double length = source.StatedDurationSeconds();
    // A length guessed from the file's size is no measure to hold the
    // output against, nor the source's length a still's.
    if (length <= 0 || source.DurationIsGuessed() || m_options.stillSeconds) return ExitStatus::Done;
    const std::optional<double> end = m_options.endSeconds;
    const bool cutAtTheLimit = end && *end >= kLongestConversionSeconds && length > *end;
    if (end && !cutAtTheLimit) length = std::min(length, *end);
    // The output counts from the start time, as does what was read.
    length -= m_options.startSeconds.value_or(0);
    const double tolerated =
        std::max(kToleratedShortfallFrames / av_q2d(source.FrameRate()), length * kToleratedShortfallShare);
    if (length - std::max(convertedSeconds, reachedSeconds) <= tolerated) return ExitStatus::Done;
    const std::string cause = cutAtTheLimit ? "conversions end at " + FormatClock(static_cast<std::int64_t>(*end)) + "."
                                            : "the rest of the source is missing or cannot be decoded.";
    Notice(FormatText("only %s of %s of \"%s\" could be converted: %s",
                      FormatClock(static_cast<std::int64_t>(cutAtTheLimit ? *end : convertedSeconds)).c_str(),
                      FormatClock(static_cast<std::int64_t>(length)).c_str(), source.Path().c_str(), cause.c_str()));
    return ExitStatus::Incomplete;
}

ExitStatus Transcoder::MuxUntilDone(OutputMedia& output, PacketQueue& packets, int videoStream,
                                    const std::vector<std::unique_ptr<SubtitleTrack>>& subtitleTracks,
                                    ProgressClock& progress) {
    bool going = progress.Start();
    while (going) {
        std::optional<EncodedPacket> item;
        auto wait = packets.PopUntil(progress.NextReportDue(), item);
        if (wait == PacketQueue::Wait::Ended) return ExitStatus::Done;
        if (wait == PacketQueue::Wait::Item) {
            progress.Encoded(*item->packet, item->timeBase, item->stream == videoStream);
            if (item->packet->dts != AV_NOPTS_VALUE) {
                const std::int64_t time = av_rescale_q(item->packet->dts, item->timeBase, AV_TIME_BASE_Q);
                for (const std::unique_ptr<SubtitleTrack>& track : subtitleTracks) track->WriteUntil(time);
            }
            output.Write(item->packet.get(), item->stream, item->timeBase);
        }
        if (StopSignals::Pending()) return Stopped("stopped by a signal.");
        going = progress.Report();
    }
    return Stopped("");
}
