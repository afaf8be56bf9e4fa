#include "core/ProbeResult.h"

#include "protocol/ProbeReport.h"

#include <utility>

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
    case ReportChapter:
        if (value >= 0 && m_chapterSeconds.size() < std::size_t(kMaxReportedChapters))
            m_chapterSeconds.push_back(value / 1000.0);
        break;
    case ReportSoundTrack:
        m_soundTracks.push_back(UnpackSoundTrack(value));
        m_soundTrackTexts.emplace_back();
        break;
    case ReportSoundTrackText:
        if (!m_soundTrackTexts.empty()) AddTextPiece(m_soundTrackTexts.back(), value);
        break;
    default: break;
    }
}

SourceEntry ProbeResult::Entry(std::string path) const {
    SourceEntry entry;
    entry.path = std::move(path);
    if (m_durationSeconds) entry.durationSeconds = *m_durationSeconds;
    if (m_width) entry.sourceWidth = *m_width;
    if (m_height) entry.sourceHeight = *m_height;
    if (m_frameRate) entry.sourceFrameRate = *m_frameRate;
    if (m_sampleAspect) entry.sourceSampleAspect = *m_sampleAspect;
    if (m_pictureKind) {
        entry.hdr = *m_pictureKind & kPictureHdr;
        entry.interlaced = *m_pictureKind & kPictureInterlaced;
        entry.bottomFieldFirst = entry.interlaced && (*m_pictureKind & kPictureBottomFieldFirst);
    }
    entry.chapterSeconds = m_chapterSeconds;
    entry.soundTracks = m_soundTracks;
    for (std::size_t i = 0; i < m_soundTrackTexts.size(); ++i) {
        const std::string& text = m_soundTrackTexts[i];
        const std::size_t tab = text.find('\t');
        entry.soundTracks[i].codec = text.substr(0, tab);
        if (tab != std::string::npos) entry.soundTracks[i].title = text.substr(tab + 1);
    }
    return entry;
}
