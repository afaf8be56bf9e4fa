#include "core/EncoderExit.h"

#include <cstring>

namespace {

constexpr const char* kBlanks = " \t\r\n";

std::string StatusMeaning(const EncoderExit& exit) {
    if (exit.signalled)
        return "the encoder was stopped by signal " + std::to_string(exit.status) + " (" + ::strsignal(exit.status) +
               ")";
    if (const ExitStatusFacts* facts = FindExitStatus(exit.status)) return facts->reason;
    return "the encoder ended with exit status " + std::to_string(exit.status);
}

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
    std::string meaning = StatusMeaning(*this);
    if (meaning.empty()) return "";
    std::string line = LastErrorLine();
    return line.empty() ? meaning : meaning + " (" + line + ")";
}
