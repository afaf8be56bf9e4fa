#pragma once

#include "core/SourceEntry.h"

#include <cstdint>
#include <optional>
#include <string>

// What one probe of a source reported. A property reported with a usable
// value is kept; a bad value (0 or less; 0 for the frame rate) marks the
// probe failed and keeps nothing. An unknown pixel shape (0) is taken as
// square and refuses nothing.
class ProbeResult {
public:
    // One report of the probe; codes that carry no property are ignored.
    void Take(std::uint32_t code, std::int32_t value);

    bool Failed() const { return m_failed; }

    // The file at this path with the reported properties; one the probe did
    // not report keeps its default.
    SourceEntry Entry(std::string path) const;

private:
    bool m_failed = false;
    std::optional<double> m_durationSeconds;
    std::optional<int> m_width;
    std::optional<int> m_height;
    std::optional<double> m_frameRate;
    std::optional<double> m_sampleAspect;
    std::optional<std::int32_t> m_pictureKind;
    std::vector<double> m_chapterSeconds;
    std::vector<SoundTrackReport> m_soundTracks;
    std::vector<std::string> m_soundTrackTexts;  // each track's "codec<TAB>title"
    std::vector<SubtitleTrackReport> m_subtitleTracks;
    std::vector<std::string> m_subtitleTrackTexts;
};
