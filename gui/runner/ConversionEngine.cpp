#include "gui/runner/ConversionEngine.h"

#include "core/ArgumentSplitter.h"
#include "core/FolderCreation.h"
#include "core/OutputPath.h"
#include "text/ProgressText.h"
#include "core/TemporaryFileSnapshot.h"
#include "gui/runner/ConversionHost.h"
#include "gui/runner/EncoderProcess.h"
#include "gui/widgets/AppMessageBox.h"
#include "gui/widgets/InputBlocker.h"
#include "gui/widgets/OpenAddress.h"
#include "gui/windows/CProgressDlg.h"

#include <QFileInfo>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

QString FromLocal(const std::string& text) { return QString::fromStdString(text); }

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

ConversionEngine::ConversionEngine(ConversionHost& host, std::string encoderProgram)
    : m_host(host), m_encoderProgram(std::move(encoderProgram)), m_progressWindow(std::make_unique<CProgressDlg>()) {
    QObject::connect(m_progressWindow.get(), &CProgressDlg::CancelPressed, m_progressWindow.get(),
                     [this] { RequestCancel(); });
    m_unansweredCancel.setSingleShot(true);
    m_unansweredCancel.setInterval(kUnansweredCancelMs);
    QObject::connect(&m_unansweredCancel, &QTimer::timeout, [this] { AskToStopNow(); });
    // A stop answered by the reply still ends the run if the encoder ignores it.
    m_stopAfterReply.setSingleShot(true);
    m_stopAfterReply.setInterval(kUnansweredCancelMs);
    QObject::connect(&m_stopAfterReply, &QTimer::timeout, [this] {
        if (m_process) m_process->Stop();
    });
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::ConvertAll() {
    if (IsBusy()) return;  // one run at a time, even if a command slips through
    SourceList& sources = m_host.Sources();
    if (sources.fileCount() == 0) {
        ShowMessage(QStringLiteral("No file in the list"), QMessageBox::NoIcon);
        return;
    }
    ConversionSettings& settings = m_host.Settings();
    settings.outputFolder = m_host.OutputFolderText().toStdString();
    if (EnsureFolder(settings.outputFolder) != 0) {
        QString cause = QString::fromLocal8Bit(std::strerror(errno));
        ShowMessage(QStringLiteral("Fail to create tmp folder %1").arg(FromLocal(settings.outputFolder)) +
                        QStringLiteral("\n") + cause + QStringLiteral("."),
                    QMessageBox::NoIcon);
        return;
    }

    m_batch.emplace(sources, SteadyTickCount());
    StartBatch();
    // Stopped, or the user has been told why nothing can run: no summary.
    bool finished = true;
    while (finished) {
        std::optional<ConversionBatch::RunPlan> plan = m_batch->PlanNext(settings, m_host.Targets(), sources);
        if (!plan) break;
        finished = ConvertNext(*plan) == RunEnd::Finished;
    }
    m_host.BatchEnded(*m_batch);
    if (finished) ShowSummary();
    EndBatch();
}

ConversionEngine::RunEnd ConversionEngine::ConvertNext(const ConversionBatch::RunPlan& plan) {
    m_progressWindow->ShowCurrentFile(plan.index + 1, m_batch->EntryCount(), plan.sourcePath);
    std::unique_ptr<EncoderProcess> process = CreateEncoderProcess();
    EncoderRunValues values{plan.sourcePath,       plan.outputPath, plan.padding.horizontal,
                            plan.padding.vertical, EncoderConvert,  0,
                            plan.frameRate};
    TemporaryFileSnapshot temporaries(std::filesystem::path(plan.outputPath).parent_path().string());
    if (!StartProcess(*process, values)) {
        m_batch->FailCurrent("the encoder could not be started");
        return RunEnd::EncoderMissing;
    }
    EncoderExit exit = process->WaitForExit([this](const ReportFrame& frame) { return OnConvertReport(frame); });
    m_process = nullptr;
    m_heldReport.reset();
    m_stopAfterReply.stop();
    // A run killed outright had no chance to remove its temporary file.
    if (exit.signalled) temporaries.RemoveNewFiles();

    if (m_progress.cancelRequested) {
        // The name was free when the run started: what is there now is this run's.
        std::remove(plan.outputPath.c_str());
        m_batch->StopCurrent();
        return RunEnd::Stopped;
    }
    bool written = IsFile(plan.outputPath);
    m_batch->FinishCurrent(exit, written);
    // What a failed run left behind is not a usable file.
    if (m_batch->Entry(plan.index).state == EntryState::Failed && written) std::remove(plan.outputPath.c_str());
    return RunEnd::Finished;
}

ProbeRun ConversionEngine::Probe(const std::string& sourcePath) {
    ProbeRun run;
    const ConversionSettings& settings = m_host.Settings();
    std::string outputPath = MakeOutputPath(sourcePath, settings.outputFolder, settings.outputFormat, m_host.Sources());
    std::unique_ptr<EncoderProcess> process = CreateEncoderProcess();
    EncoderRunValues values{sourcePath, outputPath, 0, 0, EncoderProbe, 0, 0.0};
    run.started = StartProcess(*process, values);
    if (!run.started) return run;

    m_probeCancelled = false;
    m_stopWithoutAsking = false;
    QTimer reading;
    reading.setSingleShot(true);
    QObject::connect(&reading, &QTimer::timeout, [this, &sourcePath] {
        m_progressWindow->ShowReading(QFileInfo(FromLocal(sourcePath)).fileName(), m_host.HostWindow());
    });
    reading.start(kReadingDelayMs);
    run.exit = process->WaitForExit([&run](const ReportFrame& frame) {
        run.result.Take(frame.code, frame.value);
        return kReplyContinue;
    });
    m_process = nullptr;
    m_progressWindow->hide();
    run.cancelled = m_probeCancelled;
    return run;
}

bool ConversionEngine::StartProcess(EncoderProcess& process, const EncoderRunValues& values) {
    EncoderRunValues run = values;
    run.handle = process.ChannelHandle();
    std::vector<std::string> arguments =
        SplitArguments(BuildEncoderArguments(run, m_host.Settings(), m_host.Targets()));
    std::string error;
    if (!process.Start(m_encoderProgram, arguments, error)) {
        ShowMessage(QStringLiteral("The encoder %1 could not be started: %2.")
                        .arg(FromLocal(m_encoderProgram), QString::fromLocal8Bit(error.c_str())),
                    QMessageBox::Critical);
        return false;
    }
    m_process = &process;
    return true;
}

void ConversionEngine::RequestCancel() {
    if (IsConverting()) {
        m_progress.cancelRequested = true;
        m_progressWindow->SetProgressText(QString::fromLatin1(kCancellingText));
        // The question comes with the next report, or without one after a while.
        if (!m_asking) m_unansweredCancel.start();
    } else if (m_process) {
        m_probeCancelled = true;
        m_process->Stop();
    }
}

void ConversionEngine::StopWithoutAsking() {
    m_stopWithoutAsking = true;
    if (IsConverting())
        m_progress.cancelRequested = true;
    else
        m_probeCancelled = true;
    if (!m_process) return;
    if (m_heldReport && !m_asking) {
        m_heldReport.reset();
        m_process->Reply(kReplyStop);
    }
    m_process->Stop();
}

void ConversionEngine::StartBatch() {
    m_converting = true;
    m_stopWithoutAsking = false;
    m_progress.cancelRequested = false;
    QWidget* host = m_host.HostWindow();
    m_batchBlocker = std::make_unique<InputBlocker>(*host);
    m_progressWindow->ResetProgress();
    m_progressWindow->ShowOver(host);
}

void ConversionEngine::EndBatch() {
    m_converting = false;
    m_unansweredCancel.stop();
    m_progressWindow->hide();
    m_batchBlocker.reset();
}

// The summary offers to show the output folder in the desktop's file manager.
void ConversionEngine::ShowSummary() {
    std::uint32_t elapsedSeconds = (SteadyTickCount() - m_batch->StartTick()) / 1000;
    if (AppMessageBoxOffering(MessageParent(), FromLocal(m_batch->SummaryText(elapsedSeconds)),
                              m_batch->AllConverted() ? QMessageBox::Information : QMessageBox::Warning,
                              QStringLiteral("Open Folder"))) {
        QString folder = FromLocal(m_host.Settings().outputFolder);
        OpenAddressOrReport(QUrl::fromLocalFile(folder).toString().toStdString());
    }
}

std::optional<ReportReply> ConversionEngine::OnConvertReport(const ReportFrame& frame) {
    if (frame.code != ReportCode::ReportProgress) return kReplyContinue;
    return ReportProgress(frame.value);
}

std::optional<ReportReply> ConversionEngine::ReportProgress(double value) {
    if (m_stopWithoutAsking) return kReplyStop;
    if (m_progress.cancelRequested) {
        // The encoder waits while the user decides; the question is asked
        // from the event loop, not from inside the report's handling.
        m_heldReport = value;
        m_unansweredCancel.stop();
        if (!m_asking) QTimer::singleShot(0, m_progressWindow.get(), [this] { AskToStopNow(); });
        return std::nullopt;
    }
    ShowProgress(value);
    return kReplyContinue;
}

void ConversionEngine::ShowProgress(double value) {
    if (m_batch) m_batch->NoteProgress(value);
    if (value == m_progress.previousProgress) return;
    m_progress.previousProgress = value;

    std::optional<ProgressDisplay> display =
        ComputeProgressDisplay(value, m_batch ? m_batch->DoneSeconds() : 0.0, m_host.Sources().totalDuration(),
                               SteadyTickCount() - (m_batch ? m_batch->StartTick() : 0));
    if (!display) return;
    m_progressWindow->SetProgressText(FromLocal(display->text));
    m_progressWindow->SetBarPosition(display->barPosition);
}

// Yes stops the run: by the reply when a report is waiting for one, else by
// stopping the process. No takes the request back and lets a waiting report
// through.
void ConversionEngine::AskToStopNow() {
    if (m_asking || !m_progress.cancelRequested || !m_process) return;
    m_asking = true;
    bool stop = AskToStop() || m_stopWithoutAsking;
    m_asking = false;
    if (!m_process) return;
    std::optional<double> held = std::exchange(m_heldReport, std::nullopt);
    if (stop) {
        if (held) {
            m_process->Reply(kReplyStop);
            m_stopAfterReply.start();
        } else {
            m_process->Stop();
        }
        return;
    }
    m_progress.cancelRequested = false;
    if (held) {
        ShowProgress(*held);
        m_process->Reply(kReplyContinue);
    }
}

// During a batch the host window takes no input; the progress window
// carries the questions and the summary.
QWidget* ConversionEngine::MessageParent() const {
    return m_progressWindow->isVisible() ? static_cast<QWidget*>(m_progressWindow.get()) : m_host.HostWindow();
}

void ConversionEngine::ShowMessage(const QString& text, QMessageBox::Icon icon) const {
    AppMessageBox(MessageParent(), text, icon);
}

bool ConversionEngine::AskToStop() const {
    return AppMessageBox(MessageParent(), QStringLiteral("Do you really want to stop?"), QMessageBox::Question,
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
