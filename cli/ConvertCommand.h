#pragma once

#include "cli/CommandLineOptions.h"
#include "cli/ProgressPrinter.h"
#include "core/BatchOrder.h"
#include "core/ConversionSettings.h"
#include "core/SourceList.h"
#include "engine/BatchListFile.h"
#include "engine/ConversionEngine.h"
#include "engine/SourceProber.h"
#include "engine/StopSignalNotifier.h"

#include <QObject>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

// tarvine-convert's batch: reads the files as the window's Add does, then
// converts them as its Convert does, through the same engine, and prints
// what happens. A stop signal stops it like a confirmed Cancel. Finished
// gives the exit status: 0 when every file was converted whole (and the disc
// image made, when one was asked for), 1 when any was not, 4 when stopped.
class ConvertCommand : public QObject {
    Q_OBJECT
public:
    static constexpr int kExitConverted = 0;
    static constexpr int kExitNotConverted = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitStopped = 4;

    // `menuArtist` draws a DVD image's menu (none without it); with
    // `fitToDisc` a DVD or SVCD batch's video rate is lowered to fit one
    // disc; `tracks` (track numbers and languages) choose each file's
    // sound tracks and subtitles, and `part` the part of each file kept. A
    // file that `part` does not fit (a crop outside its picture, a start
    // past its end) is not converted, and said so.
    ConvertCommand(ConversionSettings settings, std::string encoderProgram, ProgressPrinter& printer,
                   const DiscMenuArtist* menuArtist = nullptr, bool fitToDisc = false, TrackRequests tracks = {},
                   PartRequest part = {});

    void Start(const std::vector<std::string>& files);
    // Files of a saved list: each starts from its own choices, which the
    // track requests then override.
    void StartListed(const std::vector<BatchListFile::Listed>& files);

signals:
    void Finished(int exitStatus);

private:
    void List(SourceEntry source);
    FileOrder TakeListedOrder(const std::string& path);
    std::string KeepPart(SourceEntry& source) const;
    void OnReadingFinished(const std::vector<std::string>& unreadable, int refusedForRoom);
    void FitToDisc();
    void TellWhenOverCapacity();
    QString CountingUnlisted(const QString& summary) const;
    void OnStopSignal();
    void OnAsked(EngineQuestion question);
    void OnProgress(const RunProgress& progress);
    void OnFileEnded(const BatchEntry& entry);
    void OnBatchFinished(const std::vector<BatchEntry>& entries);
    void End(int exitStatus, const QString& summary = QString());
    FileReport Report(const BatchEntry& entry) const;

    BatchOrder m_order;  // the settings as read and overridden, and the files as they are read
    ProgressPrinter& m_printer;
    ConversionEngine m_engine;
    SourceProber m_prober;
    StopSignalNotifier m_stopSignals;
    std::map<int, BatchEntry> m_started;  // the running files, by row, as they started
    std::set<int> m_ended;                // the rows whose end was reported
    bool m_fitToDisc;
    TrackRequests m_tracks;
    std::map<std::string, std::deque<FileOrder>> m_listedOrders;  // by path, in the list's order
    PartRequest m_part;
    bool m_stopped = false;
    int m_unlisted = 0;  // files given that could not be listed
    int m_unfit = 0;     // files read that the part asked for does not fit
    QString m_summary;
    MessageSeverity m_summarySeverity = MessageSeverity::Critical;
};
