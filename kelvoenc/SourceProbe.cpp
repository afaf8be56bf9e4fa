#include "kelvoenc/SourceProbe.h"

#include "kelvoenc/InputMedia.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct ProbeValues {
    std::int32_t seconds = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rate = 0;
};

// A front-end that stops listening needs no further reports.
void SendAll(ReportChannel& channel, const ProbeValues& values) {
    if (!channel.Send(ReportDuration, values.seconds)) return;
    if (!channel.Send(ReportWidth, values.width)) return;
    if (!channel.Send(ReportHeight, values.height)) return;
    channel.Send(ReportFrameRate, values.rate);
}

std::int32_t ClampToReport(double value) {
    if (!(value > 0)) return 0;
    if (value >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t SourceProbe::FrameRateReport(AVRational rate) {
    if (rate.num <= 0 || rate.den <= 0) return 0;
    return ClampToReport(std::round(static_cast<double>(rate.num) * 10000000.0 / rate.den));
}

ExitStatus SourceProbe::Run(const std::string& sourcePath, ReportChannel& channel) {
    ProbeValues values;
    try {
        InputMedia source(sourcePath);
        const AVCodecParameters* picture = source.VideoStream()->codecpar;
        values.width = picture->width;
        values.height = picture->height;
        values.rate = FrameRateReport(source.FrameRate());
        values.seconds = ClampToReport(std::floor(source.DurationSeconds()));
    } catch (const EncoderFailure& failure) {
        Notice(failure.what());
        SendAll(channel, ProbeValues{});
        return failure.Status();
    }
    SendAll(channel, values);
    return ExitStatus::Done;
}
