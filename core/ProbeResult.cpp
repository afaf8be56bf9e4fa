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
    case ReportSubtitleTrack:
        m_subtitleTracks.push_back(UnpackSubtitleTrack(value));
        m_subtitleTrackTexts.emplace_back();
        break;
    case ReportSubtitleTrackText:
        if (!m_subtitleTrackTexts.empty()) AddTextPiece(m_subtitleTrackTexts.back(), value);
        break;
    default: break;
    }
}

namespace {

// The tracks with the codec and title each one's "codec<TAB>title" gives.
template <typename Track>
std::vector<Track> WithTexts(std::vector<Track> tracks, const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::size_t tab = texts[i].find('\t');
        tracks[i].codec = texts[i].substr(0, tab);
        if (tab != std::string::npos) tracks[i].title = texts[i].substr(tab + 1);
    }
    return tracks;
}

}  // namespace

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
    entry.soundTracks = WithTexts(m_soundTracks, m_soundTrackTexts);
    entry.subtitleTracks = WithTexts(m_subtitleTracks, m_subtitleTrackTexts);
    return entry;
}
