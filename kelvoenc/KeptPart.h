#pragma once

#include "kelvoenc/EncoderOptions.h"

#include <cstdint>
#include <optional>
#include <string>

// The part of the source a run converts, on the output's clock: the
// output's 0 stands at the source's start plus the start time (-ss), and
// its end is the end time (-endpos, a source time) counted from there.
class KeptPart {
public:
    // sourceStartMicroseconds: the source's first timestamp.
    KeptPart(const EncoderOptions& options, std::int64_t sourceStartMicroseconds);

    // The source timestamp, in microseconds, of the output's 0. Subtitle
    // files beside the source count from the source's start, not from its
    // first timestamp.
    std::int64_t OriginMicroseconds(bool besideTheSource = false) const {
        return besideTheSource ? m_startMicroseconds : m_sourceStartMicroseconds + m_startMicroseconds;
    }
    // Where the output ends, in seconds of the output; none: the source's end.
    std::optional<double> EndSeconds() const { return m_endSeconds; }
    // Seconds of the source left out before the output's 0.
    double StartSeconds() const { return static_cast<double>(m_startMicroseconds) / 1e6; }

    // The (a)trim filter, followed by a comma, that keeps this part of
    // frames timed on the output's clock; empty when all is kept.
    std::string Trim(const char* filter) const;

private:
    std::int64_t m_sourceStartMicroseconds;
    std::int64_t m_startMicroseconds;
    std::optional<double> m_endSeconds;
};
