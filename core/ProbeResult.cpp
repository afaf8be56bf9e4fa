#include "core/ProbeResult.h"

#include "protocol/ProbeReport.h"

void ProbeResult::Take(std::uint32_t code, std::int32_t value) {
    switch (code) {
    case ReportDuration:
    case ReportWidth:
    case ReportHeight:
        if (value <= 0) {
            m_failed = true;
        } else if (code == ReportDuration) {
            m_durationSeconds = value;
        } else if (code == ReportWidth) {
            m_width = value;
        } else {
            m_height = value;
        }
        break;
    case ReportFrameRate:
        if (value == 0)
            m_failed = true;
        else
            m_frameRate = ReportedRatio(value);
        break;
    case ReportSampleAspect: m_sampleAspect = value > 0 ? ReportedRatio(value) : 1.0; break;
    case ReportPictureKind: m_pictureKind = value; break;
    default: break;
    }
}

void ProbeResult::CarryInto(SourceEntry& slot) const {
    if (m_durationSeconds) slot.durationSeconds = *m_durationSeconds;
    if (m_width) slot.sourceWidth = *m_width;
    if (m_height) slot.sourceHeight = *m_height;
    if (m_frameRate) slot.sourceFrameRate = *m_frameRate;
    if (m_sampleAspect) slot.sourceSampleAspect = *m_sampleAspect;
    if (m_pictureKind) {
        slot.hdr = *m_pictureKind & kPictureHdr;
        slot.interlaced = *m_pictureKind & kPictureInterlaced;
        slot.bottomFieldFirst = slot.interlaced && (*m_pictureKind & kPictureBottomFieldFirst);
    }
}
