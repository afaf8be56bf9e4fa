#include "kelvoenc/ProgressClock.h"

#include <algorithm>
#include <cmath>

bool ProgressClock::Start() { return Send(); }

void ProgressClock::Encoded(const AVPacket& packet, AVRational timeBase, bool picture) {
    if (picture) ++m_pictures;
    if (packet.pts == AV_NOPTS_VALUE) return;
    double end = static_cast<double>(packet.pts + std::max<std::int64_t>(packet.duration, 0)) * av_q2d(timeBase);
    m_end = std::max(m_end, end);
    if (picture) m_seconds = std::max(m_seconds, static_cast<std::int32_t>(std::floor(std::max(end, 0.0))));
}

bool ProgressClock::Report() {
    if (m_seconds == m_reported && Clock::now() < NextReportDue()) return true;
    return Send();
}

bool ProgressClock::Send() {
    m_reported = m_seconds;
    m_lastReport = Clock::now();
    return m_channel.Send(ReportProgress, m_seconds);
}
