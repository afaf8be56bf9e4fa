#include "cli/JsonPrinter.h"

#include "text/FormatText.h"

void JsonPrinter::FileStarted(const FileReport& file) {
    if (!m_started.insert(file.index).second) return;
    Line(FormatText("\"event\":\"file-started\",\"index\":%d,\"count\":%d,\"source\":", file.index, file.count) +
         Quoted(file.entry->sourcePath) + ",\"output\":" + Quoted(file.entry->outputPath));
}

void JsonPrinter::FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) {
    std::string members = FormatText("\"event\":\"progress\",\"index\":%d,\"percent\":%.1f", file.index, percent);
    if (secondsLeft) members += FormatText(",\"seconds-left\":%d", *secondsLeft);
    Line(members);
}

void JsonPrinter::FileEnded(const FileReport& file) {
    const BatchEntry& entry = *file.entry;
    const bool kept = entry.state == EntryState::Converted || entry.state == EntryState::Incomplete;
    Line(FormatText("\"event\":\"file-ended\",\"index\":%d,\"source\":", file.index) + Quoted(entry.sourcePath) +
         ",\"status\":" + Quoted(StateWord(entry.state)) + ",\"reason\":" + Quoted(entry.reason) +
         ",\"output\":" + Quoted(kept ? entry.outputPath : std::string()));
}

void JsonPrinter::SourceUnreadable(const std::string& path, const std::string& reason) {
    Line("\"event\":\"file-ended\",\"index\":-1,\"source\":" + Quoted(path) +
         ",\"status\":\"failed\",\"reason\":" + Quoted(reason) + ",\"output\":\"\"");
}

void JsonPrinter::BatchEnded(int exitStatus, const QString& summary) {
    Line(FormatText("\"event\":\"batch-ended\",\"exit-status\":%d,\"summary\":", exitStatus) +
         Quoted(summary.toStdString()));
}

std::string JsonPrinter::Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            quoted += {'\\', static_cast<char>(c)};
        else if (c == '\n')
            quoted += "\\n";
        else if (c < 0x20)
            quoted += FormatText("\\u%04x", c);
        else
            quoted += static_cast<char>(c);
    }
    return quoted + "\"";
}

void JsonPrinter::Line(const std::string& members) {
    std::fprintf(m_out, "{%s}\n", members.c_str());
    std::fflush(m_out);
}
