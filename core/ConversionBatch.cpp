#include "core/ConversionBatch.h"

#include "core/OutputPath.h"
#include "text/ProgressText.h"

namespace {

std::string SummaryLines(const std::vector<BatchEntry>& entries, EntryState state, const char* heading) {
    std::string lines;
    for (const BatchEntry& entry : entries)
        if (entry.state == state) lines += "\n" + entry.sourcePath + ": " + entry.reason;
    return lines.empty() ? "" : std::string("\n\n") + heading + lines;
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

void ConversionBatch::NoteProgress(double seconds) { Current().reportedSeconds = seconds; }

void ConversionBatch::FinishCurrent(const EncoderExit& exit, bool outputWritten) {
    if (exit.Succeeded() && outputWritten) {
        Current().state = EntryState::Converted;
    } else if (exit.Is(ExitStatus::Incomplete) && outputWritten) {
        Current().state = EntryState::Incomplete;
        Current().reason = IncompleteReason(exit);
    } else {
        std::string reason = exit.FailureReason();
        FailCurrent(reason.empty() ? "the encoder wrote no output file" : reason);
    }
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

std::string ConversionBatch::SummaryText(std::uint32_t elapsedSeconds) const {
    return "Mission accomplished! Total Time:" + FormatClock(elapsedSeconds) +
           SummaryLines(m_entries, EntryState::Incomplete, "These files were converted only in part:") +
           SummaryLines(m_entries, EntryState::Failed, "These files were not converted:");
}
