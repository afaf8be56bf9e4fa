#include "core/TipsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <cctype>

namespace {

bool IsSkippedLine(const std::string& line) {
    if (line.empty()) return true;
    char first = line.front();
    return first == ' ' || first == '\t' || first == ';' || first == '\n';
}

}  // namespace

TipsFile::TipsFile(const std::string& path) : m_stream(std::fopen(path.c_str(), "r")) {}

TipsFile::~TipsFile() {
    if (m_stream) std::fclose(m_stream);
}

std::string TipsFile::CreationTimeText() const {
    if (!m_stream) return {};
    struct statx status {};
    if (::statx(::fileno(m_stream), "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME, &status) != 0) return {};
    const statx_timestamp& stamp = (status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_mtime;
    time_t seconds = static_cast<time_t>(stamp.tv_sec);
    char text[64] = {};
    if (!::ctime_r(&seconds, text)) return {};
    std::string result(text);
    while (!result.empty() && std::isspace(static_cast<unsigned char>(result.back()))) result.pop_back();
    return result;
}

bool TipsFile::Seek(long offset) { return m_stream && std::fseek(m_stream, offset, SEEK_SET) == 0; }

long TipsFile::Position() const { return m_stream ? std::ftell(m_stream) : -1; }

bool TipsFile::ReadLine(std::string& line) {
    line.clear();
    while (line.size() < kMaxTipLength) {
        int c = std::getc(m_stream);
        if (c == EOF) break;
        if (c == '\r') {
            int next = std::getc(m_stream);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, m_stream);
        }
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

TipsFile::ReadResult TipsFile::ReadNextTip(std::string& tip) {
    if (!m_stream) return ReadResult::NoTips;
    // Starting mid-file, the part before the start is only seen after one
    // rewind; a second end without a tip means the file holds none.
    int endsReached = 0;
    std::string line;
    for (;;) {
        if (!ReadLine(line)) {
            std::clearerr(m_stream);
            if (++endsReached == 2) return ReadResult::NoTips;
            if (std::fseek(m_stream, 0, SEEK_SET) != 0) return ReadResult::RewindFailed;
            continue;
        }
        if (!IsSkippedLine(line)) {
            tip = line;
            return ReadResult::Tip;
        }
    }
}
