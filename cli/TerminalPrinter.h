#pragma once

#include "cli/ProgressPrinter.h"

#include <cstdio>

// A line a file: "[2/6] party.avi  42%  00:01:10 left", redrawn in place on
// a terminal, then how it ended; elsewhere only how it ended.
class TerminalPrinter : public ProgressPrinter {
public:
    explicit TerminalPrinter(std::FILE* out);

    void FileStarted(const FileReport& file) override;
    void FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) override;
    void FileEnded(const FileReport& file) override;
    void SourceUnreadable(const std::string& path, const std::string& reason) override;
    void BatchEnded(int exitStatus, const QString& summary) override;

private:
    void Redraw(const std::string& line);
    void Finish(const std::string& line);

    std::FILE* m_out;
    bool m_redraw;
    std::size_t m_drawnWidth = 0;
};
