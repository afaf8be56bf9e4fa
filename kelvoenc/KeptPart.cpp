#include "kelvoenc/KeptPart.h"

#include "text/FormatText.h"

#include <cmath>

KeptPart::KeptPart(const EncoderOptions& options, std::int64_t sourceStartMicroseconds)
    : m_sourceStartMicroseconds(sourceStartMicroseconds),
      m_startMicroseconds(std::llround(options.startSeconds.value_or(0) * 1e6)) {
    if (options.endSeconds) m_endSeconds = *options.endSeconds - StartSeconds();
}

std::string KeptPart::Trim(const char* filter) const {
    if (m_startMicroseconds == 0 && !m_endSeconds) return "";
    std::string trim = FormatText("%s=start=0", filter);
    if (m_endSeconds) trim += FormatText(":end=%.6f", *m_endSeconds);
    return trim + ",";
}
