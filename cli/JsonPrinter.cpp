#include "cli/JsonPrinter.h"

#include "text/FormatText.h"

#include <QByteArrayView>
#include <QString>

void JsonPrinter::FileStarted(const FileReport& file) {
    if (!m_started.insert(file.index).second) return;
    Line(FormatText("\"event\":\"file-started\",\"index\":%d,\"count\":%d,", file.index, file.count) +
         PathMembers("source", file.entry->sourcePath) + "," + PathMembers("output", file.entry->outputPath));
}

void JsonPrinter::FileProgress(const FileReport& file, double percent, std::optional<int> secondsLeft) {
    std::string members = FormatText("\"event\":\"progress\",\"index\":%d,\"percent\":%.1f", file.index, percent);
    if (secondsLeft) members += FormatText(",\"seconds-left\":%d", *secondsLeft);
    Line(members);
}

void JsonPrinter::FileEnded(const FileReport& file) {
    const BatchEntry& entry = *file.entry;
    const bool kept = entry.state == EntryState::Converted || entry.state == EntryState::Incomplete;
    Line(FormatText("\"event\":\"file-ended\",\"index\":%d,", file.index) + PathMembers("source", entry.sourcePath) +
         ",\"status\":" + Quoted(StateWord(entry.state)) + ",\"reason\":" + Quoted(entry.reason) + "," +
         PathMembers("output", kept ? entry.outputPath : std::string()));
}

void JsonPrinter::SourceUnreadable(const std::string& path, const std::string& reason) {
    Line("\"event\":\"file-ended\",\"index\":-1," + PathMembers("source", path) +
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

// JSON holds text, and a name is bytes that need not read as UTF-8: such a
// name is shown with its unreadable bytes replaced, and given whole in hex
// beside it.
std::string JsonPrinter::PathMembers(const char* member, const std::string& path) {
    const QByteArrayView bytes(path.data(), static_cast<qsizetype>(path.size()));
    if (bytes.isValidUtf8()) return FormatText("\"%s\":", member) + Quoted(path);
    std::string hex;
    for (unsigned char c : path) hex += FormatText("%02x", c);
    return FormatText("\"%s\":", member) + Quoted(QString::fromUtf8(bytes).toStdString()) +
           FormatText(",\"%s-bytes\":\"%s\"", member, hex.c_str());
}

void JsonPrinter::Line(const std::string& members) {
    std::fprintf(m_out, "{%s}\n", members.c_str());
    std::fflush(m_out);
}
