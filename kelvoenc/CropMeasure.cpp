#include "kelvoenc/CropMeasure.h"

#include "kelvoenc/FilterGraph.h"
#include "kelvoenc/FirstPicture.h"
#include "kelvoenc/InputMedia.h"
#include "kelvoenc/ReportChannel.h"
#include "kelvoenc/StillPicture.h"
#include "text/FormatText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kPoints = 10;
// A row or column whose luma averages no more than this is border: black
// in limited range (16) or full range (0) with a compressor's noise.
constexpr int kBorderLimit = 24;

// How long the source's video lasts, measured by reading it where the
// container does not say.
double LengthSeconds(const std::string& path) {
    InputMedia source(path);
    const double stated = source.StatedDurationSeconds();
    return stated >= 0 ? stated : FirstPicture::Read(source, true).seconds;
}

// The picture at `seconds` turned upright, as 8-bit luma; none when no
// picture there decodes.
FramePtr UprightLumaAt(const std::string& path, double seconds) {
    InputMedia source(path);
    FramePtr picture;
    try {
        picture = StillPicture::PictureAt(source, seconds);
    } catch (const EncoderFailure&) {
        return nullptr;
    }
    const AVRational aspect = picture->sample_aspect_ratio.num > 0 ? picture->sample_aspect_ratio : AVRational{1, 1};
    FilterGraph graph(AVMEDIA_TYPE_VIDEO,
                      FormatText("video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=%d/%d", picture->width,
                                 picture->height, picture->format, AV_TIME_BASE, aspect.num, aspect.den),
                      std::string(source.Upright().filters) + "format=gray");
    picture->pts = 0;
    graph.Push(picture.get());
    graph.Close(1);
    FramePtr luma = MakeFrame();
    return graph.Pull(luma.get()) ? std::move(luma) : nullptr;
}

// The first and one past the last index whose line is not border; none
// when every line is.
std::optional<std::pair<int, int>> NonBorderSpan(const std::vector<std::int64_t>& sums, std::int64_t lineLength) {
    auto bright = [&](std::int64_t sum) { return sum > kBorderLimit * lineLength; };
    const auto first = std::find_if(sums.begin(), sums.end(), bright);
    if (first == sums.end()) return std::nullopt;
    const auto last = std::find_if(sums.rbegin(), sums.rend(), bright);
    return std::pair<int, int>(static_cast<int>(first - sums.begin()), static_cast<int>(sums.rend() - last));
}

int EvenBelow(int value) { return value & ~1; }
int EvenAbove(int value, int limit) { return std::min(value + (value & 1), limit); }

}  // namespace

std::optional<CropMeasure::Area> CropMeasure::PictureArea(const std::uint8_t* luma, int stride, int width, int height) {
    std::vector<std::int64_t> rows(static_cast<std::size_t>(height)), columns(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int level = luma[std::ptrdiff_t(y) * stride + x];
            rows[std::size_t(y)] += level;
            columns[std::size_t(x)] += level;
        }
    const auto across = NonBorderSpan(columns, height);
    const auto down = NonBorderSpan(rows, width);
    if (!across || !down) return std::nullopt;
    return Area{EvenBelow(across->first), EvenBelow(down->first), EvenAbove(across->second, width),
                EvenAbove(down->second, height)};
}

ExitStatus CropMeasure::Run(const EncoderOptions& options, ReportChannel& channel) {
    const double start = options.startSeconds.value_or(0);
    double end = LengthSeconds(options.sourcePath);
    if (options.endSeconds && (end < 0 || *options.endSeconds < end)) end = *options.endSeconds;
    const double kept = std::max(end - start, 0.0);
    std::optional<Area> whole, measured;
    std::vector<Area> areas;
    for (int point = 0; point < kPoints; ++point) {
        const FramePtr luma = UprightLumaAt(options.sourcePath, start + (point + 0.5) / kPoints * kept);
        if (!luma) continue;
        whole = Area{0, 0, luma->width, luma->height};
        const std::optional<Area> area = PictureArea(luma->data[0], luma->linesize[0], luma->width, luma->height);
        if (!area) continue;
        areas.push_back(*area);
        measured = !measured ? *area
                             : Area{std::min(measured->left, area->left), std::min(measured->top, area->top),
                                    std::max(measured->right, area->right), std::max(measured->bottom, area->bottom)};
    }
    if (!whole)
        throw EncoderFailure(ExitStatus::SourceUnreadable,
                             "No picture of \"" + options.sourcePath + "\" could be decoded to measure its borders.");
    const Area crop = measured.value_or(*whole);
    const auto agreeing = measured ? std::count(areas.begin(), areas.end(), crop) : 0;
    const bool sent = channel.Send(ReportCropWidth, crop.right - crop.left) &&
                      channel.Send(ReportCropHeight, crop.bottom - crop.top) &&
                      channel.Send(ReportCropLeft, crop.left) && channel.Send(ReportCropTop, crop.top) &&
                      channel.Send(ReportCropAgreement, kPoints << 16 | static_cast<int>(agreeing));
    return sent ? ExitStatus::Done : ExitStatus::Stopped;
}
