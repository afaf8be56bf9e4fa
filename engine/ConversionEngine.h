#pragma once

#include "core/BatchOrder.h"
#include "core/ConversionBatch.h"
#include "core/ConversionsAtOnce.h"
#include "core/EncoderExit.h"
#include "core/ProgramFolder.h"
#include "core/SteadyTickCount.h"
#include "engine/CropMeasurer.h"
#include "engine/DiscImageMaker.h"
#include "engine/EncoderLauncher.h"
#include "engine/EncoderProcess.h"
#include "engine/EngineEvents.h"
#include "protocol/ReportFrame.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Converts the source list, as many encoder runs side by side as the
// settings' "Conversions at once" says, each with its share of the cores,
// as a state machine driven from the main event loop by the runs' reports
// and ends, Cancel, the answers to its questions and the session's end.
// Every event is taken in every state; one that means nothing in a state
// changes nothing. A file whose order asks for an automatic crop has its
// black borders measured before its run is planned, while the runs before
// it go on; the next run starts once the measure is in.
//
// Its owner (the main window, or the command line) keeps one engine for its
// whole life and hands it each batch's order whole; the engine reads nothing
// else of its owner. It shows nothing itself: it says what happens through
// its signals (each file's start, progress and end, its questions, its
// refusals and the batch's summary), each carrying what it tells by value,
// and a presenter shows them and answers.
class ConversionEngine : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,             // no batch
        Converting,       // runs are going on, and new ones start as others end
        CancelPending,    // Cancel was pressed; the question comes with the next report, or after a moment
        AskingToStop,     // the question is on screen; each run's next report or its end waits for the answer
        Stopping,         // every run is being stopped, and the batch with them
        AskingToGoOn,     // a file found the disk full; the runs going on go on, no new one starts until the answer
        MakingDiscImage,  // every file had its run; the disc image is being authored from the outputs
    };

    // After this long without a report, a pending Cancel asks its question anyway.
    static constexpr int kUnansweredCancelMs = 1000;
    // How often one file is made again because another program took its name meanwhile.
    static constexpr int kMaxNamesTaken = 8;

    // `encoderProgram` is the encoder to start: the program folder's by
    // default. `menuArtist` draws a DVD's menu; without one it has none.
    // The batches share `cores` among their runs.
    explicit ConversionEngine(std::string encoderProgram = EncoderExecutablePath(GetProgramFolder()),
                              const DiscMenuArtist* menuArtist = nullptr, int cores = AvailableCores());
    ~ConversionEngine() override;
    ConversionEngine(const ConversionEngine&) = delete;
    ConversionEngine& operator=(const ConversionEngine&) = delete;

    // The Convert command: starts converting every file of the order into
    // its output folder, unless a batch runs already or something stands in
    // the way (the user is told what).
    void ConvertAll(BatchOrder order);
    // Cancel, or another way of asking: the stop question follows.
    void RequestCancel();
    // The answer to the question last asked; an answer to any other is ignored.
    void Answer(EngineQuestion question, bool yes);
    // The session ends: the batch stops as a confirmed Cancel would, without asking.
    void StopWithoutAsking();

    State CurrentState() const { return m_state; }
    bool IsConverting() const { return m_state != State::Idle; }
    const EncoderLauncher& Launcher() const { return m_launcher; }
    // The running batch, or the last one once it is over; null before the first.
    const ConversionBatch* Batch() const { return m_batch ? &*m_batch : nullptr; }

signals:
    void StateChanged(ConversionEngine::State state);
    // A batch of this many entries has started; it always ends with BatchFinished.
    void BatchStarted(int entryCount);
    // The batch is over, done or stopped; the engine is idle again. What
    // became of each file, in list order.
    void BatchFinished(const std::vector<BatchEntry>& entries);
    // The stop question was answered No.
    void StopDeclined();
    // An entry's run is about to start; its output path is planned.
    void FileStarted(const BatchEntry& entry);
    void Progressed(const RunProgress& progress);
    // An entry's run has ended, or it had none; the entry says how.
    void FileEnded(const BatchEntry& entry);
    // A question waits for Answer; `text` words it where the engine does (the full disk).
    void Asked(EngineQuestion question, const QString& text);
    // The open question is no longer asked; no answer is awaited.
    void QuestionWithdrawn();
    // Something stands in the way of the batch, or ended it (the encoder cannot be started).
    void Told(const EngineMessage& message);
    // The batch's summary, after BatchFinished.
    void Summarised(const EngineMessage& summary);
    // A file goes on without its automatic crop, as the summary's details will
    // say too: this sentence, naming it.
    void CropNotMeasured(const QString& sentence);
    // What the disc image's making is at.
    void DiscImageProgress(const QString& text);

private:
    // Each run's last progress value shown starts here, so that its first
    // report (0 seconds at the start) is shown.
    static constexpr double kNothingShown = 999.0;

    // One entry's run, and what is known of it.
    struct Run {
        ConversionBatch::RunPlan plan;
        std::string temporaryName;  // the encoder's file until the output is whole
        EncoderProcessPtr process;
        std::optional<double> heldReport;     // a progress report waiting for the stop question's answer
        std::optional<EncoderExit> heldExit;  // the run's end, waiting for the stop question's answer
        double shownSeconds = kNothingShown;  // the last progress value shown
        int namesTaken = 0;                   // how often another program took its name
        bool stopReplied = false;             // told to stop by the reply to its report
    };

    void EnterState(State state);
    bool Refused();
    void StartBatch();
    void StartRuns();
    bool MeasuringNextCrop();
    void OnCropMeasured(const MeasuredCrop& crop);
    void OnCropFailed(const QString& reason);
    bool StartRun(ConversionBatch::RunPlan plan, int namesTaken = 0);
    void OnReport(int index, const ReportFrame& frame);
    void OnRunEnded(int index, const EncoderExit& exit);
    void AskToStop();
    void OnStopAnswer(bool stop);
    void StopRuns();
    void StopRun(Run& run);
    void OnGoOnAnswer(bool goOn);
    void CompleteRun(int index, const EncoderExit& exit);
    bool RecordEnd(int index, const EncoderExit& exit);
    void EndStoppedRun(int index, const EncoderExit& exit);
    void LetRunGo(int index, const EncoderExit& exit);
    void FinishConversions();
    void OnDiscImageFinished(const DiscImageResult& result);
    void FinishBatch(bool summarise);
    void ShowSummary();
    void ShowProgress(Run& run, double value);
    void Refuse(MessageSeverity severity, const QString& text);

    EncoderLauncher m_launcher;
    CropMeasurer m_cropMeasurer{m_launcher};
    int m_measuredRow = 0;  // the row whose crop is measured
    // Files converted without their automatic crop, one sentence each, for the summary's details.
    std::vector<std::string> m_cropNotes;
    const int m_cores;
    BatchOrder m_order;  // the running batch's, or the last one's
    State m_state = State::Idle;
    std::optional<ConversionBatch> m_batch;
    std::map<int, Run> m_runs;  // the runs going on, by entry
    int m_conversionsAtOnce = 1;
    int m_threadsPerRun = 0;
    bool m_goOnDeclined = false;  // the rest was given up after a full disk
    QString m_startFailure;       // the encoder could not be started: told once the other runs are stopped
    QTimer m_unansweredCancel;
    QTimer m_stopAfterReply;
    DiscImageMaker m_discImageMaker;
    // What the summary says of the disc image: the notes before making it, then how it ended.
    std::vector<std::string> m_discImageLines;
    bool m_discImageMade = false;
};
