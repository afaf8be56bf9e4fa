#pragma once

#include "kelvoenc/EncoderFailure.h"
#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/ReportChannel.h"
#include "kelvoenc/SubpicturePainter.h"
#include "kelvoenc/SubtitleOverlay.h"
#include "kelvoenc/SubtitleTrack.h"
#include "kelvoenc/VideoPlan.h"

#include <memory>
#include <optional>
#include <vector>

class AudioTrack;
class InputMedia;
class OutputMedia;
class ProgressClock;
class StreamDecoder;
struct SubtitlePlan;

// Convert mode: the whole conversion of one source into one output. Two
// stage threads (reading and decoding with the sound's encoding, filtering
// and encoding the pictures) feed the muxer on the calling thread, which
// also reports progress and answers a stop request.
class Transcoder {
public:
    Transcoder(const EncoderOptions& options, ReportChannel& channel) : m_options(options), m_channel(channel) {}

    // Done, Incomplete or Stopped; failures throw EncoderFailure.
    ExitStatus Run();

private:
    // Writes the packets as they come and reports progress, until the
    // pipeline ends (Done; a failure is rethrown by the caller) or a stop.
    // The subtitle lines go in as the pictures reach their time.
    ExitStatus MuxUntilDone(OutputMedia& output, PacketQueue& packets, int videoStream,
                            const std::vector<std::unique_ptr<SubtitleTrack>>& subtitleTracks, ProgressClock& progress);
    // subpictures: the DVD frame subpictures are drawn for.
    std::vector<std::unique_ptr<SubtitleTrack>> AddSubtitleTracks(OutputMedia& output,
                                                                  const std::vector<SubtitleSource>& sources,
                                                                  const KeptPart& kept, SubtitleForm form,
                                                                  const SubpictureFrame& subpictures) const;
    // Done, or Incomplete (saying so) when neither the output nor the
    // source's own timestamps reach near the source's stated length.
    ExitStatus Completeness(const InputMedia& source, double convertedSeconds, double reachedSeconds) const;
    // One sound track of the output, from the decoder's source track (its
    // language and title kept), or a still's silence without a decoder.
    std::unique_ptr<AudioTrack> AddSoundTrack(OutputMedia& output, ContainerChoice container, const KeptPart& kept,
                                              const StreamDecoder* decoder, bool playedFirst,
                                              PacketQueue& packets) const;

    const EncoderOptions& m_options;
    ReportChannel& m_channel;
};
