#pragma once

#include "core/BatchEntry.h"
#include "core/ConversionSettings.h"
#include "core/EncoderArguments.h"
#include "core/EncoderExit.h"
#include "core/FileOrder.h"
#include "core/KeptPart.h"
#include "core/Padding.h"
#include "core/SourceList.h"
#include "core/SubtitleChoice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One Convert command's batch: every listed file in list order, each named,
// padded and run, several side by side when the driver likes, and what
// became of each. The driver asks for the next run, runs it and records how
// it ended; the summary is read off the entries at the end, in list order.
class ConversionBatch {
public:
    // What the driver needs to start one entry's run.
    struct RunPlan {
        int index;  // the entry's position in the batch
        std::string sourcePath;
        std::string outputPath;
        FramePlan frame;
        double frameRate;  // the entry's own, for the argument text
        FileOrder order;
        std::optional<PictureCrop> crop;  // as KeptPicture gives it
        std::vector<int> soundTracks;  // as SoundTrackChoice chose them
        SubtitlePick subtitles;        // as SubtitleChoice chose them
    };

    // What a run of this listed file gets besides its output, mode and
    // report channel: its frame and bars, planned for the picture it keeps,
    // its crop, its start and end, its frame rate and its tracks. A preview
    // takes these with its picture as the output.
    static EncoderRunValues RunValuesFor(const SourceEntry& source, const ConversionSettings& settings);

    // The listed files as they are now; `startTick` is SteadyTickCount() at
    // the start.
    ConversionBatch(const SourceList& sources, std::uint32_t startTick);

    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    const BatchEntry& Entry(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    const std::vector<BatchEntry>& Entries() const { return m_entries; }
    // Whether no entry is left to plan: every one had its turn, or the batch ended early.
    bool IsOver() const { return m_over; }
    std::uint32_t StartTick() const { return m_startTick; }

    // Plans the next waiting entry's run: its output path in the settings'
    // output folder (a free name, never a listed source, never the output of
    // a run still going on) and its frame size and bars. An entry whose output path would be too long fails at
    // once and the next is planned. Returns nullopt, and the batch is over,
    // when no entry is left.
    std::optional<RunPlan> PlanNext(const ConversionSettings& settings, const SourceList& listed);

    // The entry's output name was taken by another program while its run
    // wrote the file: plans its run again under the next free name, or fails
    // the entry (nullopt) when that name would be too long.
    std::optional<RunPlan> PlanAgain(int index, const ConversionSettings& settings, const SourceList& listed);

    // A progress report of the entry's run.
    void NoteProgress(int index, double seconds);

    // How the entry's run ended, and whether its output file exists.
    void Finish(int index, const EncoderExit& exit, bool outputWritten);

    // The entry had no run (the encoder could not be started, say).
    void Fail(int index, std::string reason);

    // The user stopped the batch during the entry's run.
    void Stop(int index);

    // The media seconds done, but for the entry's own run: the durations of
    // the entries that ended and what the other runs reported.
    double DoneSecondsBesides(int index) const;

    // Whether the entry failed because its disk is full.
    bool FoundDiskFull(int index) const { return Entry(index).diskFull; }
    // The entries not planned yet.
    int RemainingCount() const { return m_over ? 0 : EntryCount() - m_next; }
    // The list row of the entry PlanNext plans next; none when none is left.
    std::optional<int> NextRow() const {
        return RemainingCount() > 0 ? std::optional(Entry(m_next).row) : std::nullopt;
    }
    // Ends the batch before the entries that are left, which stay Waiting.
    void EndEarly() { m_over = true; }

    // Whether every file was converted whole, and whether none was.
    bool AllConverted() const;
    bool NoneConverted() const;

    // The summary's first line: "Mission accomplished! Total Time:hh:mm:ss"
    // when every file was converted whole, otherwise what went wrong, for
    // example "2 of 3 files were not converted. Total Time:00:00:04".
    // `unlisted` files were given but never listed (unreadable): not
    // converted either.
    std::string SummaryHead(std::uint32_t elapsedSeconds, int unlisted = 0) const;
    // The files converted in part and the files not converted, each with its
    // reason, the files a stopped batch never reached, and the files written
    // without some of the tracks chosen for them; empty when none.
    std::string SummaryDetails() const;

private:
    BatchEntry& Mutable(int index) { return m_entries.at(static_cast<std::size_t>(index)); }
    std::optional<RunPlan> Plan(int index, const ConversionSettings& settings, const SourceList& listed);
    std::vector<std::string> RunningOutputs() const;
    std::string IncompleteReason(const BatchEntry& entry, const EncoderExit& exit) const;

    std::vector<BatchEntry> m_entries;
    std::uint32_t m_startTick;
    int m_next = 0;  // the first entry not planned yet
    bool m_over = false;
};
