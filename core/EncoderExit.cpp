#include "core/EncoderExit.h"

#include <cstring>

namespace {

constexpr const char* kBlanks = " \t\r\n";

}  // namespace

std::string EncoderExit::LastErrorLine() const {
    std::size_t end = errorTail.find_last_not_of(kBlanks);
    if (end == std::string::npos) return "";
    std::size_t start = errorTail.find_last_of("\r\n", end);
    start = (start == std::string::npos) ? 0 : start + 1;
    start = errorTail.find_first_not_of(kBlanks, start);
    return errorTail.substr(start, end + 1 - start);
}

std::string EncoderExit::FailureReason() const {
    if (signalled)
        return "the encoder was stopped by signal " + std::to_string(status) + " (" + ::strsignal(status) + ")";
    std::string line = LastErrorLine();
    if (!line.empty()) return line;
    if (status != 0) return "the encoder ended with exit status " + std::to_string(status);
    return "";
}
