#include "core/ConversionBatch.h"

#include "core/KeptPart.h"
#include "core/OutputPath.h"
#include "core/SoundTrackChoice.h"
#include "core/SubtitleChoice.h"
#include "text/ProgressText.h"

#include <algorithm>

namespace {

std::string SummaryLines(const std::vector<BatchEntry>& entries, EntryState state, const char* heading) {
    std::string lines;
    for (const BatchEntry& entry : entries)
        if (entry.state == state) lines += "\n" + entry.sourcePath + (entry.reason.empty() ? "" : ": " + entry.reason);
    return lines.empty() ? "" : std::string("\n\n") + heading + lines;
}

// The files written without some of the tracks chosen for them, and why.
std::string LeftOutLines(const std::vector<BatchEntry>& entries) {
    std::string lines;
    for (const BatchEntry& entry : entries)
        if (!entry.leftOut.empty() && (entry.state == EntryState::Converted || entry.state == EntryState::Incomplete))
            lines += "\n" + entry.sourcePath + ": " + entry.leftOut;
    return lines.empty() ? "" : "\n\nThese files were written without some of the tracks chosen:" + lines;
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
        entry.durationSeconds = KeptSeconds(source);
        m_entries.push_back(std::move(entry));
    }
}

std::optional<ConversionBatch::RunPlan> ConversionBatch::PlanNext(const ConversionSettings& settings,
                                                                  const SourceList& listed) {
    while (!m_over && m_next < EntryCount())
        if (std::optional<RunPlan> plan = Plan(m_next++, settings, listed)) return plan;
    m_over = true;
    return std::nullopt;
}

std::optional<ConversionBatch::RunPlan> ConversionBatch::PlanAgain(int index, const ConversionSettings& settings,
                                                                   const SourceList& listed) {
    return Plan(index, settings, listed);  // the taken name stands now, so the next free one is another
}

std::optional<ConversionBatch::RunPlan> ConversionBatch::Plan(int index, const ConversionSettings& settings,
                                                              const SourceList& listed) {
    BatchEntry& entry = Mutable(index);
    entry.state = EntryState::Converting;
    entry.outputPath.clear();
    entry.outputPath =
        MakeOutputPath(entry.sourcePath, settings.outputFolder, settings.outputFormat, listed, RunningOutputs());
    if (entry.outputPath.size() > kMaxPathLength) {
        Fail(index, "the output path would be longer than " + std::to_string(kMaxPathLength) + " characters");
        return std::nullopt;
    }
    const SourceEntry& source = listed.Entry(entry.row);
    entry.leftOut = SoundTrackChoice::LeftOut(source, settings);
    const std::string subtitlesLeftOut = SubtitleChoice::LeftOut(source, settings);
    if (!subtitlesLeftOut.empty()) entry.leftOut += (entry.leftOut.empty() ? "" : "; ") + subtitlesLeftOut;
    EncoderRunValues run = RunValuesFor(source, settings);
    return RunPlan{index,     entry.sourcePath,           entry.outputPath,
                   run.frame, run.sourceFrameRate,        std::move(run.order),
                   run.crop,  std::move(run.soundTracks), std::move(run.subtitles)};
}

EncoderRunValues ConversionBatch::RunValuesFor(const SourceEntry& source, const ConversionSettings& settings) {
    const FrameSize shown = KeptPictureSize(source);
    EncoderRunValues run;
    run.sourcePath = source.path;
    run.frame = PlanFrame(settings, shown.width, shown.height, source.sourceSampleAspect);
    run.sourceFrameRate = source.sourceFrameRate;
    run.order = source.order;
    run.crop = KeptPicture(source);
    run.soundTracks = SoundTrackChoice::Chosen(source, settings);
    run.subtitles = SubtitleChoice::Chosen(source, settings);
    return run;
}

// The names the runs going on will give their files once they are whole.
std::vector<std::string> ConversionBatch::RunningOutputs() const {
    std::vector<std::string> outputs;
    for (const BatchEntry& entry : m_entries)
        if (entry.state == EntryState::Converting && !entry.outputPath.empty()) outputs.push_back(entry.outputPath);
    return outputs;
}

void ConversionBatch::NoteProgress(int index, double seconds) { Mutable(index).reportedSeconds = seconds; }

void ConversionBatch::Finish(int index, const EncoderExit& exit, bool outputWritten) {
    BatchEntry& entry = Mutable(index);
    if (exit.LeftOutput() && outputWritten) {
        entry.state = exit.Succeeded() ? EntryState::Converted : EntryState::Incomplete;
        if (!exit.Succeeded()) entry.reason = IncompleteReason(entry, exit);
    } else {
        std::string reason = exit.FailureReason();
        Fail(index, reason.empty() ? "the encoder wrote no output file" : reason);
        entry.diskFull = exit.Is(ExitStatus::DiskFull);
    }
}

void ConversionBatch::Stop(int index) { Mutable(index).state = EntryState::Stopped; }

void ConversionBatch::Fail(int index, std::string reason) {
    BatchEntry& entry = Mutable(index);
    entry.state = EntryState::Failed;
    entry.reason = std::move(reason);
}

// How much made it into the output, by the run's last progress report.
std::string ConversionBatch::IncompleteReason(const BatchEntry& entry, const EncoderExit& exit) const {
    std::string reason = "only " + FormatClock(static_cast<std::int64_t>(entry.reportedSeconds)) + " of " +
                         FormatClock(static_cast<std::int64_t>(entry.durationSeconds)) + " converted";
    std::string line = exit.LastErrorLine();
    return line.empty() ? reason : reason + " (" + line + ")";
}

double ConversionBatch::DoneSecondsBesides(int index) const {
    double done = 0.0;
    for (int other = 0; other < EntryCount(); ++other) {
        const BatchEntry& entry = Entry(other);
        if (other == index || entry.state == EntryState::Waiting) continue;
        done += entry.state == EntryState::Converting ? entry.reportedSeconds : entry.durationSeconds;
    }
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

std::string ConversionBatch::SummaryHead(std::uint32_t elapsedSeconds, int unlisted) const {
    std::string time = "Total Time:" + FormatClock(elapsedSeconds);
    if (AllConverted() && unlisted == 0) return "Mission accomplished! " + time;
    int total = EntryCount() + unlisted;
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
                          SummaryLines(m_entries, EntryState::Waiting, "These files were left for later:") +
                          LeftOutLines(m_entries);
    return details.empty() ? "" : details.substr(2);  // without the blank line before the first heading
}
