#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FilterGraph.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/PicturePlan.h"
#include "kelvoenc/PictureSink.h"
#include "kelvoenc/PipelineItems.h"
#include "kelvoenc/SubtitleOverlay.h"
#include "kelvoenc/VideoPlan.h"

#include <memory>
#include <string>

// What a chain of filters is set up for: a decoded picture that differs in
// any of these needs a new chain (an HDR broadcast switching to SDR
// adverts is tone-mapped only while it is HDR).
struct DecodedPictureFormat {
    int width = 0;
    int height = 0;
    int pixelFormat = -1;
    AVColorRange range = AVCOL_RANGE_UNSPECIFIED;
    AVColorSpace colourSpace = AVCOL_SPC_UNSPECIFIED;
    AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
    AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
    AVRational sampleAspect{1, 1};  // 0/1 taken as square

    static DecodedPictureFormat Of(const AVFrame* picture);
    bool operator==(const DecodedPictureFormat& other) const;
};

// The pipeline's filter stage: decoded pictures in, pictures handed to the
// encoder (end time, fields, frame rate, turn, colours, scaling,
// padding, pixel format and shape, and a subtitle drawn in), with timestamps in the encoder's time base. Pictures that change
// their size, pixel format, range, colour space or pixel shape midway (a
// phone clip whose size drops, a broadcast switching from SD to HD) get a
// new chain from there on, which carries on where the last one ended, into
// the same encoded frame.
class VideoFilterStage {
public:
    struct Setup {
        const EncoderOptions& options;
        const KeptPart& kept;
        const PicturePlan& plan;
        AVRational sourceTimeBase;  // of the decoded frames, counting from the output's 0
        std::string sourcePath;
        SubtitleOverlay* subtitle;  // drawn into the pictures; may be null
    };

    VideoFilterStage(Setup setup, FrameQueue& decoded, PictureSink& sink);

    // The stage's thread.
    void Run();

private:
    void BuildGraph(const AVFrame* first);
    bool CloseGraph(std::int64_t endPts);
    std::string Chain() const;
    std::string ColourAndSize() const;
    std::optional<CropRectangle> CropOfThisPicture() const;
    std::string RateFilter() const;
    bool Drain();
    void FlagFields(AVFrame* picture) const;

    Setup m_setup;
    FrameQueue& m_decoded;
    PictureSink& m_sink;
    std::unique_ptr<FilterGraph> m_graph;
    DecodedPictureFormat m_graphFormat;
    std::int64_t m_lastPts = AV_NOPTS_VALUE;  // of the last frame handed on
};
