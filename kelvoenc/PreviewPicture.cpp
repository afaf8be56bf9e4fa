#include "kelvoenc/PreviewPicture.h"

#include "kelvoenc/InputMedia.h"
#include "kelvoenc/KeptPart.h"
#include "kelvoenc/PicturePlan.h"
#include "kelvoenc/PngPicture.h"
#include "kelvoenc/SourceReader.h"
#include "kelvoenc/StageThreads.h"
#include "kelvoenc/StartSeek.h"
#include "kelvoenc/StreamDecoder.h"
#include "kelvoenc/SubtitlePlan.h"
#include "kelvoenc/VideoFilterStage.h"
#include "protocol/ThreadShare.h"

#include <cmath>

namespace {

// Keeps the first finished picture and wants no more.
class FirstFinishedPicture : public PictureSink {
public:
    bool Take(AVFrame* picture) override {
        m_picture = MakeFrame();
        av_frame_move_ref(m_picture.get(), picture);
        return false;
    }
    void Finish() override {}

    const AVFrame* Picture() const { return m_picture.get(); }

private:
    FramePtr m_picture;
};

// The frame's width as shown, by its pixel shape.
int ShownWidth(const VideoGeometry& geometry) {
    const AVRational aspect =
        geometry.sampleAspect.num > 0 && geometry.sampleAspect.den > 0 ? geometry.sampleAspect : AVRational{1, 1};
    return VideoPlan::EvenSize(geometry.frameWidth * av_q2d(aspect));
}

}  // namespace

ExitStatus PreviewPicture::Run(const EncoderOptions& options) {
    std::optional<InputMedia> opened;
    ReadAhead readAhead;
    const StartSeek start = StartSeek::Open(opened, options.sourcePath, options, readAhead);
    InputMedia& source = *opened;
    const ContainerChoice container = options.container.value_or(ContainerChoice::Avi);
    const KeptPart kept(options, source.StartMicroseconds());
    const PicturePlan plan = PicturePlan::For(options, container, source, start.traits);
    std::optional<SubtitleOverlay> overlay =
        options.stillSeconds ? std::nullopt
                             : plan.DrawnSubtitle(SubtitlePlan::ForSource(options, container, source).burned, kept);

    StreamDecoder decoder(source.Path(), source.VideoStream(), ThreadShareFromEnvironment());
    FrameQueue pictures(kPictureQueueLimits, 1, FrameBytes);
    // Without sound nothing is encoded into packets.
    PacketQueue packets({1, 1}, 1, PacketBytes);
    SourceReader reader(
        {source, readAhead, decoder, {}, kept, start.timelineMicroseconds, source.FrameRate(), options.stillSeconds},
        pictures, packets);
    FirstFinishedPicture first;
    VideoFilterStage filter(
        {options, kept, plan, SourceReader::kFrameTimeBase, source.Path(), overlay ? &*overlay : nullptr}, pictures,
        first);
    StageThreads threads([&] { pictures.Abort(); });
    threads.Start([&] { reader.Run(); });
    threads.Start([&] {
        filter.Run();
        // The reader stops once its pictures are no longer taken.
        pictures.Abort();
    });
    threads.Join();
    if (!first.Picture())
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "No picture of \"" + source.Path() + "\" could be decoded after the start time (-ss).");
    PngPicture::Write(*first.Picture(), ShownWidth(plan.geometry), plan.geometry.frameHeight, options.outputPath);
    return ExitStatus::Done;
}
