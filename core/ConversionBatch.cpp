#include "core/ConversionBatch.h"

#include "core/OutputPath.h"
#include "text/ProgressText.h"

#include <algorithm>

namespace {

std::string SummaryLines(const std::vector<BatchEntry>& entries, EntryState state, const char* heading) {
    std::string lines;
    for (const BatchEntry& entry : entries)
        if (entry.state == state) lines += "\n" + entry.sourcePath + (entry.reason.empty() ? "" : ": " + entry.reason);
    return lines.empty() ? "" : std::string("\n\n") + heading + lines;
}

int CountIn(const std::vector<BatchEntry>& entries, EntryState state) {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [state](const BatchEntry& entry) { return entry.state == state; }));
}

// "1 of 3 files was not converted", "2 of 3 files were not converted".
std::string CountOfFiles(int count, int total, const char* what) {
    return std::to_string(count) + " of " + std::to_string(total) + (count == 1 ? " files was " : " files were ") +
           what;
}

}  // namespace

ConversionBatch::ConversionBatch(const SourceList& sources, std::uint32_t startTick) : m_startTick(startTick) {
    for (int row = 0; row < sources.fileCount(); ++row) {
        const SourceEntry& source = sources.Entry(row);
        BatchEntry entry;
        entry.row = row;
        entry.sourcePath = source.path;
        entry.durationSeconds = source.durationSeconds;
        m_entries.push_back(std::move(entry));
    }
}

std::optional<ConversionBatch::RunPlan> ConversionBatch::PlanNext(const ConversionSettings& settings,
                                                                  EncodeTargets& targets, const SourceList& listed) {
    while (!m_over && ++m_current < EntryCount()) {
        BatchEntry& entry = Current();
        entry.state = EntryState::Converting;
        entry.outputPath = MakeOutputPath(entry.sourcePath, settings.outputFolder, settings.outputFormat, listed);
        if (entry.outputPath.size() > kMaxPathLength) {
            FailCurrent("the output path would be longer than " + std::to_string(kMaxPathLength) + " characters");
            continue;
        }
        const SourceEntry& source = listed.Entry(entry.row);
        Padding padding =
            ComputePadding(settings, targets, source.sourceWidth, source.sourceHeight, source.sourceSampleAspect);
        return RunPlan{m_current, entry.sourcePath, entry.outputPath, padding, source.sourceFrameRate};
    }
    m_over = true;
    return std::nullopt;
}

std::optional<ConversionBatch::RunPlan> ConversionBatch::PlanAgain(const ConversionSettings& settings,
                                                                   EncodeTargets& targets, const SourceList& listed) {
    --m_current;
    return PlanNext(settings, targets, listed);
}

void ConversionBatch::NoteProgress(double seconds) { Current().reportedSeconds = seconds; }

void ConversionBatch::FinishCurrent(const EncoderExit& exit, bool outputWritten) {
    if (exit.LeftOutput() && outputWritten) {
        Current().state = exit.Succeeded() ? EntryState::Converted : EntryState::Incomplete;
        if (!exit.Succeeded()) Current().reason = IncompleteReason(exit);
    } else {
        std::string reason = exit.FailureReason();
        FailCurrent(reason.empty() ? "the encoder wrote no output file" : reason);
        Current().diskFull = exit.Is(ExitStatus::DiskFull);
    }
}

bool ConversionBatch::CurrentFoundDiskFull() const {
    return m_current >= 0 && m_current < EntryCount() && Entry(m_current).diskFull;
}

void ConversionBatch::StopCurrent() {
    Current().state = EntryState::Stopped;
    m_over = true;
}

void ConversionBatch::FailCurrent(std::string reason) {
    Current().state = EntryState::Failed;
    Current().reason = std::move(reason);
}

// How much made it into the output, by the run's last progress report.
std::string ConversionBatch::IncompleteReason(const EncoderExit& exit) const {
    const BatchEntry& entry = m_entries.at(static_cast<std::size_t>(m_current));
    std::string reason = "only " + FormatClock(static_cast<std::int64_t>(entry.reportedSeconds)) + " of " +
                         FormatClock(static_cast<std::int64_t>(entry.durationSeconds)) + " converted";
    std::string line = exit.LastErrorLine();
    return line.empty() ? reason : reason + " (" + line + ")";
}

double ConversionBatch::DoneSeconds() const {
    double done = 0.0;
    for (int index = 0; index < EntryCount() && index < m_current; ++index) done += Entry(index).durationSeconds;
    return done;
}

bool ConversionBatch::AllConverted() const {
    for (const BatchEntry& entry : m_entries)
        if (entry.state != EntryState::Converted) return false;
    return true;
}

bool ConversionBatch::NoneConverted() const {
    return CountIn(m_entries, EntryState::Converted) + CountIn(m_entries, EntryState::Incomplete) == 0;
}

std::string ConversionBatch::SummaryHead(std::uint32_t elapsedSeconds) const {
    std::string time = "Total Time:" + FormatClock(elapsedSeconds);
    if (AllConverted()) return "Mission accomplished! " + time;
    int total = EntryCount();
    int incomplete = CountIn(m_entries, EntryState::Incomplete);
    int notConverted = total - CountIn(m_entries, EntryState::Converted) - incomplete;
    if (notConverted == 0) return CountOfFiles(incomplete, total, "converted only in part. ") + time;
    std::string head = CountOfFiles(notConverted, total, "not converted");
    if (incomplete > 0) head += ", " + std::to_string(incomplete) + " only in part";
    return head + ". " + time;
}

std::string ConversionBatch::SummaryDetails() const {
    std::string details = SummaryLines(m_entries, EntryState::Incomplete, "These files were converted only in part:") +
                          SummaryLines(m_entries, EntryState::Failed, "These files were not converted:") +
                          SummaryLines(m_entries, EntryState::Waiting, "These files were left for later:");
    return details.empty() ? "" : details.substr(2);  // without the blank line before the first heading
}
