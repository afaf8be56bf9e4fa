#include "cli/TerminalPrinter.h"

#include "text/FormatText.h"
#include "text/ProgressText.h"

#include <unistd.h>
#include <filesystem>

namespace {

std::string Head(const FileReport& file) {
    return FormatText("[%d/%d] %s", file.index + 1, file.count,
                      std::filesystem::path(file.entry->sourcePath).filename().c_str());
}

}  // namespace

TerminalPrinter::TerminalPrinter(std::FILE* out) : m_out(out), m_redraw(::isatty(::fileno(out)) == 1) {}

void TerminalPrinter::FileStarted(const FileReport& file) { Redraw(Head(file)); }

void TerminalPrinter::FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) {
    std::string line = Head(file) + FormatText("  %3.0f%%", percent);
    if (secondsLeft) line += "  " + FormatClock(*secondsLeft) + " left";
    Redraw(line);
}

void TerminalPrinter::FileEnded(const FileReport& file) {
    const BatchEntry& entry = *file.entry;
    std::string line = Head(file) + ": " + StateWord(entry.state);
    if (!entry.outputPath.empty() && (entry.state == EntryState::Converted || entry.state == EntryState::Incomplete))
        line += " to " + entry.outputPath;
    if (!entry.reason.empty()) line += " (" + entry.reason + ")";
    Finish(line);
}

void TerminalPrinter::SourceUnreadable(const std::string& path, const std::string& reason) {
    Finish(path + ": failed (" + reason + ")");
}

void TerminalPrinter::BatchEnded(int, const QString& summary) {
    if (!summary.isEmpty()) Finish(summary.toStdString());
}

void TerminalPrinter::Redraw(const std::string& line) {
    if (!m_redraw) return;
    std::fprintf(m_out, "\r%-*s", static_cast<int>(m_drawnWidth), line.c_str());
    m_drawnWidth = line.size();
    std::fflush(m_out);
}

void TerminalPrinter::Finish(const std::string& line) {
    if (m_redraw && m_drawnWidth > 0) std::fprintf(m_out, "\r%-*s\r", static_cast<int>(m_drawnWidth), "");
    m_drawnWidth = 0;
    std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
}
