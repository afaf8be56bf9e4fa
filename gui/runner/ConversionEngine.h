#pragma once

#include "core/BatchProgress.h"
#include "core/ConversionBatch.h"
#include "core/EncoderExit.h"
#include "core/ProgramFolder.h"
#include "core/TemporaryFileSnapshot.h"
#include "gui/runner/DiscImageMaker.h"
#include "gui/runner/EncoderLauncher.h"
#include "gui/runner/EncoderProcess.h"
#include "protocol/ReportFrame.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ConversionHost;
class CProgressDlg;
class InputBlocker;

// Converts the source list, one encoder run after another, as a state
// machine driven from the main event loop by the runs' reports and ends,
// the progress window's Cancel, the answers to its questions and the
// session's end. Every event is taken in every state; one that means
// nothing in a state changes nothing.
//
// The main window creates one engine after its own controls, passing itself
// as the host, and keeps it for its whole life. The engine creates the
// progress window, owned by the host window but not a child of it, and
// holds back input to the host window while a batch runs. It shows no
// message of its own: the progress window asks and tells.
class ConversionEngine : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,             // no batch
        Converting,       // a run is going on
        CancelPending,    // Cancel was pressed; the question comes with the next report, or after a moment
        AskingToStop,     // the question is on screen; the run's next report or its end waits for the answer
        Stopping,         // the run is being stopped, and the batch with it
        AskingToGoOn,     // a file found the disk full; the user chooses between the rest and the end
        MakingDiscImage,  // every file had its run; the disc image is being authored from the outputs
    };

    // After this long without a report, a pending Cancel asks its question anyway.
    static constexpr int kUnansweredCancelMs = 1000;

    // `encoderProgram` is the encoder to start: the program folder's by
    // default. `menuArtist` draws a DVD's menu; without one it has none.
    explicit ConversionEngine(ConversionHost& host,
                              std::string encoderProgram = EncoderExecutablePath(GetProgramFolder()),
                              const DiscMenuArtist* menuArtist = nullptr);
    ~ConversionEngine() override;
    ConversionEngine(const ConversionEngine&) = delete;
    ConversionEngine& operator=(const ConversionEngine&) = delete;

    // The Convert command: starts converting every listed file into the
    // output folder, unless a batch runs already or something stands in the
    // way (the user is told what).
    void ConvertAll();
    // The progress window's Cancel, or another way of asking: the stop
    // question follows.
    void RequestCancel();
    // The session ends: the batch stops as a confirmed Cancel would, without asking.
    void StopWithoutAsking();

    State CurrentState() const { return m_state; }
    bool IsConverting() const { return m_state != State::Idle; }
    BatchProgress& Progress() { return m_progress; }
    CProgressDlg& ProgressWindow() { return *m_progressWindow; }
    const EncoderLauncher& Launcher() const { return m_launcher; }
    // The running batch, or the last one once it is over; null before the first.
    const ConversionBatch* Batch() const { return m_batch ? &*m_batch : nullptr; }

signals:
    void StateChanged(ConversionEngine::State state);
    // A batch has started; it always ends with BatchFinished.
    void BatchStarted();
    // The batch is over, done or stopped; the engine is idle again.
    void BatchFinished();
    // The stop question was answered No.
    void StopDeclined();

private:
    void EnterState(State state);
    bool Refused();
    void StartBatch();
    void StartNextRun();
    void OnReport(const ReportFrame& frame);
    void OnRunEnded(const EncoderExit& exit);
    void AskToStop();
    void OnStopAnswer(bool stop);
    void StopRun();
    void OnGoOnAnswer(bool goOn);
    void CompleteRun(const EncoderExit& exit);
    void EndStoppedRun(const EncoderExit& exit);
    void LetRunGo(const EncoderExit& exit);
    void FinishConversions();
    void OnDiscImageFinished(const DiscImageResult& result);
    void FinishBatch(bool summarise);
    void ShowSummary();
    void ShowProgress(double value);

    ConversionHost& m_host;
    EncoderLauncher m_launcher;
    State m_state = State::Idle;
    BatchProgress m_progress;
    std::optional<ConversionBatch> m_batch;
    std::unique_ptr<CProgressDlg> m_progressWindow;
    std::unique_ptr<InputBlocker> m_batchBlocker;
    // The run in progress, and what is known of it.
    EncoderProcessPtr m_process;
    std::optional<ConversionBatch::RunPlan> m_plan;
    std::optional<TemporaryFileSnapshot> m_temporaries;
    std::optional<double> m_heldReport;     // a progress report waiting for the question's answer
    std::optional<EncoderExit> m_heldExit;  // the run's end, waiting for the question's answer
    QTimer m_unansweredCancel;
    QTimer m_stopAfterReply;
    DiscImageMaker m_discImageMaker;
    // What the summary says of the disc image: the notes before making it, then how it ended.
    std::vector<std::string> m_discImageLines;
    bool m_discImageMade = false;
};
