#pragma once

#include "core/BatchProgress.h"
#include "core/ConversionBatch.h"
#include "core/EncoderArguments.h"
#include "core/EncoderExit.h"
#include "core/ProbeResult.h"
#include "core/ProgramFolder.h"
#include "protocol/ReportFrame.h"

#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class ConversionHost;
class CProgressDlg;
class EncoderProcess;
class InputBlocker;

// What one probe found.
struct ProbeRun {
    bool started = false;    // false: the encoder could not be started; the user has been told why
    bool cancelled = false;  // the user stopped a probe that took long
    ProbeResult result;
    EncoderExit exit;

    bool Readable() const { return started && !cancelled && !result.Failed() && exit.Succeeded(); }
};

// Runs the encoder, handles its reports and converts the source list.
//
// The main window creates one engine after its own controls, passing itself
// as the host, and keeps it for its whole life. The engine creates the
// progress window, owned by the host window but not a child of it, and
// blocks input to the host window while a batch runs.
//
// Adding a file (the file list's job) goes like this:
//   ProbeRun probe = Probe(path);
//   if (!probe.started || probe.cancelled) stop adding;
//   if (SourceEntry* slot = Sources().ProbeSlot()) probe.result.CarryInto(*slot);
//   if (probe.Readable()) Sources().Append(path) commits the slot.
class ConversionEngine {
public:
    // After this long a probe shows "Reading …" with Cancel.
    static constexpr int kReadingDelayMs = 1500;
    // After this long without a report, a pending Cancel asks its question anyway.
    static constexpr int kUnansweredCancelMs = 1000;

    // `encoderProgram` is the encoder to start: the program folder's by default.
    explicit ConversionEngine(ConversionHost& host,
                              std::string encoderProgram = EncoderExecutablePath(GetProgramFolder()));
    ~ConversionEngine();
    ConversionEngine(const ConversionEngine&) = delete;
    ConversionEngine& operator=(const ConversionEngine&) = delete;

    // The Convert command: converts every listed file into the output folder
    // with the progress window shown, then sums up. Returns when the batch is
    // over (done, stopped or refused).
    void ConvertAll();

    // Runs the encoder in probing mode on a source and returns when it has
    // ended. A program that cannot be started is reported to the user here.
    ProbeRun Probe(const std::string& sourcePath);

    // What the progress window's Cancel does, for any other way of asking:
    // during a batch the stop question follows; a probe is stopped at once.
    void RequestCancel();

    // Stops the batch or the probe in progress as a confirmed Cancel would,
    // without asking.
    void StopWithoutAsking();

    // A progress report: `value` seconds of the current file are done.
    // Returns kReplyStop when the user confirmed the stop, kReplyContinue
    // otherwise, and nothing when the stop question has to be asked first
    // (the reply follows the answer).
    std::optional<ReportReply> ReportProgress(double value);

    BatchProgress& Progress() { return m_progress; }
    CProgressDlg& ProgressWindow() { return *m_progressWindow; }
    bool IsConverting() const { return m_converting; }
    bool IsBusy() const { return m_process != nullptr || IsConverting(); }
    // The running batch, or the last one once it is over; null before the first.
    const ConversionBatch* Batch() const { return m_batch ? &*m_batch : nullptr; }

private:
    enum class RunEnd { Finished, Stopped, EncoderMissing };

    RunEnd ConvertNext(const ConversionBatch::RunPlan& plan);
    bool StartProcess(EncoderProcess& process, const EncoderRunValues& values);
    void StartBatch();
    void EndBatch();
    void ShowSummary();
    std::optional<ReportReply> OnConvertReport(const ReportFrame& frame);
    void ShowProgress(double value);
    void AskToStopNow();

    QWidget* MessageParent() const;
    void ShowMessage(const QString& text, QMessageBox::Icon icon) const;
    bool AskToStop() const;

    ConversionHost& m_host;
    std::string m_encoderProgram;
    BatchProgress m_progress;
    std::optional<ConversionBatch> m_batch;
    bool m_converting = false;
    std::unique_ptr<CProgressDlg> m_progressWindow;
    std::unique_ptr<InputBlocker> m_batchBlocker;
    EncoderProcess* m_process = nullptr;  // the run in progress
    bool m_probeCancelled = false;
    bool m_asking = false;  // the stop question is on screen
    bool m_stopWithoutAsking = false;
    std::optional<double> m_heldReport;  // a progress report waiting for the question's answer
    QTimer m_unansweredCancel;
    QTimer m_stopAfterReply;
};
