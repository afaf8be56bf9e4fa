#pragma once

#include "cli/ProgressPrinter.h"

#include <cstdio>
#include <set>

// One JSON object a line, for programs: {"event":"file-started",...},
// "progress", "file-ended" (with the status, the reason and the output
// path), and "batch-ended" (with the exit status). A path that is not UTF-8
// comes with its bytes in hex too ("source-bytes", "output-bytes").
class JsonPrinter : public ProgressPrinter {
public:
    explicit JsonPrinter(std::FILE* out) : m_out(out) {}

    void FileStarted(const FileReport& file) override;
    void FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) override;
    void FileEnded(const FileReport& file) override;
    void SourceUnreadable(const std::string& path, const std::string& reason) override;
    void BatchEnded(int exitStatus, const QString& summary) override;

    // The text as a JSON string, quotes included.
    static std::string Quoted(const std::string& text);
    // "source":"...", for a path; one whose bytes are not UTF-8 is followed
    // by "source-bytes":"<hex>", which gives it back exactly.
    static std::string PathMembers(const char* member, const std::string& path);

private:
    void Line(const std::string& members);

    std::FILE* m_out;
    std::set<int> m_started;  // a file whose name was taken meanwhile starts again, unannounced
};
