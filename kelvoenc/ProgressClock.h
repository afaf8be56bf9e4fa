#pragma once

#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/ReportChannel.h"

#include <chrono>

// Progress reports of a conversion: report 6 with the whole seconds of the
// source encoded so far, sent whenever that number changes and at least
// every half second, so that a stop request is answered quickly.
class ProgressClock {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{500};

    explicit ProgressClock(ReportChannel& channel) : m_channel(channel) {}

    // The first report (0 seconds). False when the front-end says stop.
    bool Start();
    // A packet has been encoded; progress counts the pictures only.
    void Encoded(const AVPacket& packet, AVRational timeBase, bool picture);
    // Reports if due. False when the front-end says stop or has gone.
    bool Report();
    Clock::time_point NextReportDue() const { return m_lastReport + kInterval; }
    // The pictures encoded so far, and the time the output reaches.
    int Pictures() const { return m_pictures; }
    double EncodedSeconds() const { return m_end; }

private:
    bool Send();

    ReportChannel& m_channel;
    Clock::time_point m_lastReport;
    std::int32_t m_seconds = 0;
    std::int32_t m_reported = 0;
    int m_pictures = 0;
    double m_end = 0;
};
