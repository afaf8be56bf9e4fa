#include "gui/runner/ConversionEngine.h"

#include "core/DiscImagePlan.h"
#include "core/FolderCreation.h"
#include "core/WritableFolder.h"
#include "gui/runner/ConversionHost.h"

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

// Whatever stands at the path, a dangling link too: the next free name is another.
bool IsTaken(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// The batch's files as a disc sees them, in list order.
std::vector<ConvertedFile> ConvertedFiles(const ConversionBatch& batch) {
    std::vector<ConvertedFile> files;
    for (int i = 0; i < batch.EntryCount(); ++i) {
        const BatchEntry& entry = batch.Entry(i);
        ConvertedFile::Outcome outcome = entry.state == EntryState::Converted    ? ConvertedFile::Outcome::Whole
                                         : entry.state == EntryState::Incomplete ? ConvertedFile::Outcome::Partial
                                                                                 : ConvertedFile::Outcome::Failed;
        files.push_back({entry.sourcePath, entry.outputPath, entry.durationSeconds, outcome});
    }
    return files;
}

}  // namespace

ConversionEngine::ConversionEngine(ConversionHost& host, std::string encoderProgram, const DiscMenuArtist* menuArtist)
    : m_host(host), m_launcher(host, encoderProgram), m_discImageMaker(std::move(encoderProgram), menuArtist) {
    m_unansweredCancel.setSingleShot(true);
    m_unansweredCancel.setInterval(kUnansweredCancelMs);
    connect(&m_unansweredCancel, &QTimer::timeout, this, [this] {
        if (m_state == State::CancelPending) AskToStop();
    });
    // A stop answered by the reply still ends the run if the encoder ignores it.
    m_stopAfterReply.setSingleShot(true);
    m_stopAfterReply.setInterval(kUnansweredCancelMs);
    connect(&m_stopAfterReply, &QTimer::timeout, this, [this] {
        if (m_process) m_process->Stop();
    });
    connect(&m_discImageMaker, &DiscImageMaker::Progress, this, &ConversionEngine::DiscImageProgress);
    connect(&m_discImageMaker, &DiscImageMaker::Finished, this, &ConversionEngine::OnDiscImageFinished);
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::EnterState(State state) {
    if (m_state == state) return;
    m_state = state;
    emit StateChanged(state);
}

void ConversionEngine::ConvertAll() {
    if (m_state != State::Idle || Refused()) return;
    StartBatch();
    StartNextRun();
}

// What stands in the way of a batch is told once, before anything starts.
bool ConversionEngine::Refused() {
    if (m_host.Sources().fileCount() == 0) {
        Refuse(MessageSeverity::Plain, QStringLiteral("No file in the list"));
        return true;
    }
    ConversionSettings& settings = m_host.Settings();
    settings.outputFolder = m_host.OutputFolderText().toStdString();
    const QString folder = FromLocal(settings.outputFolder);
    if (EnsureFolder(settings.outputFolder) != 0) {
        QString cause = QString::fromLocal8Bit(std::strerror(errno));
        Refuse(MessageSeverity::Plain, QStringLiteral("Fail to create tmp folder %1\n%2.").arg(folder, cause));
        return true;
    }
    std::string cause;
    if (!CanWriteInFolder(settings.outputFolder, cause)) {
        Refuse(MessageSeverity::Critical, QStringLiteral("No file can be written into the output folder %1: %2.")
                                              .arg(folder, QString::fromLocal8Bit(cause.c_str())));
        return true;
    }
    return false;
}

void ConversionEngine::StartBatch() {
    m_batch.emplace(m_host.Sources(), SteadyTickCount());
    m_discImageLines.clear();
    m_discImageMade = false;
    m_progress.cancelRequested = false;
    emit BatchStarted();
    EnterState(State::Converting);
}

void ConversionEngine::StartNextRun() {
    m_namesTaken = 0;
    StartRun(m_batch->PlanNext(m_host.Settings(), m_host.Targets(), m_host.Sources()));
}

void ConversionEngine::StartRun(std::optional<ConversionBatch::RunPlan> plan) {
    m_plan = std::move(plan);
    if (!m_plan) {
        FinishConversions();
        return;
    }
    emit FileStarted(m_plan->index);
    EncoderRunValues values{m_plan->sourcePath,       m_plan->outputPath, m_plan->padding.horizontal,
                            m_plan->padding.vertical, EncoderConvert,     0,
                            m_plan->frameRate};
    m_temporaries.emplace(std::filesystem::path(m_plan->outputPath).parent_path().string());
    QString failure;
    m_process = m_launcher.Launch(values, failure);
    if (!m_process) {
        // Every later file would fail the same way: one message, no summary.
        m_batch->FailCurrent("the encoder could not be started");
        emit FileEnded(m_plan->index);
        FinishBatch(false);
        Refuse(MessageSeverity::Critical, failure);
        return;
    }
    connect(m_process.get(), &EncoderProcess::Reported, this, &ConversionEngine::OnReport);
    connect(m_process.get(), &EncoderProcess::Ended, this, &ConversionEngine::OnRunEnded);
    EnterState(State::Converting);
}

void ConversionEngine::OnReport(const ReportFrame& frame) {
    if (frame.code != ReportCode::ReportProgress) {
        m_process->Reply(kReplyContinue);
        return;
    }
    switch (m_state) {
    case State::Converting:
        ShowProgress(frame.value);
        m_process->Reply(kReplyContinue);
        break;
    case State::CancelPending:
        // The encoder waits while the user decides.
        m_heldReport = frame.value;
        AskToStop();
        break;
    case State::AskingToStop: m_heldReport = frame.value; break;
    case State::Stopping: m_process->Reply(kReplyStop); break;
    case State::Idle:
    case State::AskingToGoOn:
    case State::MakingDiscImage: m_process->Reply(kReplyContinue); break;
    }
}

void ConversionEngine::OnRunEnded(const EncoderExit& exit) {
    switch (m_state) {
    case State::Converting: CompleteRun(exit); break;
    case State::CancelPending:
        m_heldExit = exit;
        AskToStop();
        break;
    case State::AskingToStop: m_heldExit = exit; break;
    case State::Stopping: EndStoppedRun(exit); break;
    case State::Idle:
    case State::AskingToGoOn:
    case State::MakingDiscImage: break;
    }
}

void ConversionEngine::RequestCancel() {
    // The files are made by then: Cancel stops only the image, and the summary follows.
    if (m_state == State::MakingDiscImage) return m_discImageMaker.Stop();
    if (m_state != State::Converting) return;
    m_progress.cancelRequested = true;
    m_unansweredCancel.start();
    EnterState(State::CancelPending);
}

void ConversionEngine::AskToStop() {
    m_unansweredCancel.stop();
    EnterState(State::AskingToStop);
    emit Asked(EngineQuestion::Stop, QString());
}

void ConversionEngine::Answer(EngineQuestion question, bool yes) {
    if (question == EngineQuestion::Stop)
        OnStopAnswer(yes);
    else
        OnGoOnAnswer(yes);
}

// Yes stops the run: by the reply when a report is waiting for one, else by
// stopping the process. No takes the request back and lets what waited through.
void ConversionEngine::OnStopAnswer(bool stop) {
    if (m_state != State::AskingToStop) return;
    if (stop) return StopRun();
    std::optional<double> held = std::exchange(m_heldReport, std::nullopt);
    std::optional<EncoderExit> ended = std::exchange(m_heldExit, std::nullopt);
    m_progress.cancelRequested = false;
    EnterState(State::Converting);
    emit StopDeclined();
    if (ended) {
        CompleteRun(*ended);
    } else if (held) {
        ShowProgress(*held);
        m_process->Reply(kReplyContinue);
    }
}

void ConversionEngine::StopWithoutAsking() {
    if (m_state == State::Idle) return;
    emit QuestionWithdrawn();
    m_progress.cancelRequested = true;
    if (m_state == State::AskingToGoOn) {
        m_batch->EndEarly();
        FinishBatch(false);
        return;
    }
    if (m_state == State::MakingDiscImage) {
        EnterState(State::Stopping);
        m_discImageMaker.Stop();
        return;
    }
    StopRun();
}

// Stops the run and the batch with it: a run that has ended already is let
// go, one waiting for its report's reply is told to stop there, and any
// other is stopped as a process.
void ConversionEngine::StopRun() {
    std::optional<double> held = std::exchange(m_heldReport, std::nullopt);
    std::optional<EncoderExit> ended = std::exchange(m_heldExit, std::nullopt);
    EnterState(State::Stopping);
    if (ended) {
        EndStoppedRun(*ended);
    } else if (held) {
        m_process->Reply(kReplyStop);
        m_stopAfterReply.start();
    } else {
        m_process->Stop();
    }
}

void ConversionEngine::CompleteRun(const EncoderExit& exit) {
    // Another program took the name while this run wrote its file: the
    // file is made again under the next free name, and nothing is said of it.
    if (exit.Is(ExitStatus::NameTaken) && IsTaken(m_plan->outputPath) && ++m_namesTaken <= kMaxNamesTaken) {
        LetRunGo(exit);
        StartRun(m_batch->PlanAgain(m_host.Settings(), m_host.Targets(), m_host.Sources()));
        return;
    }
    m_batch->FinishCurrent(exit, IsFile(m_plan->outputPath));
    LetRunGo(exit);
    emit FileEnded(m_plan->index);
    if (m_batch->CurrentFoundDiskFull() && m_batch->RemainingCount() > 0) {
        EnterState(State::AskingToGoOn);
        emit Asked(EngineQuestion::GoOn,
                   QStringLiteral("%1 could not be converted: the disk holding %2 is full.\n"
                                  "Go on with the %3 remaining files?")
                       .arg(FromLocal(m_plan->sourcePath), FromLocal(m_host.Settings().outputFolder))
                       .arg(m_batch->RemainingCount()));
        return;
    }
    StartNextRun();
}

void ConversionEngine::OnGoOnAnswer(bool goOn) {
    if (m_state != State::AskingToGoOn) return;
    if (goOn) {
        EnterState(State::Converting);
        StartNextRun();
        return;
    }
    m_batch->EndEarly();
    FinishBatch(true);
}

// The name was free when the run started: only what the run itself put
// there goes.
void ConversionEngine::EndStoppedRun(const EncoderExit& exit) {
    if (exit.LeftOutput()) std::remove(m_plan->outputPath.c_str());
    m_batch->StopCurrent();
    LetRunGo(exit);
    emit FileEnded(m_plan->index);
    FinishBatch(false);
}

void ConversionEngine::LetRunGo(const EncoderExit& exit) {
    // A run killed outright had no chance to remove its temporary file.
    if (exit.signalled) m_temporaries->RemoveNewFiles();
    m_temporaries.reset();
    m_process.reset();
    m_stopAfterReply.stop();
}

// After the last file's run: the disc image, when one is wanted, then the end.
void ConversionEngine::FinishConversions() {
    const ConversionSettings& settings = m_host.Settings();
    if (!DiscImagePlan::Wanted(settings)) {
        FinishBatch(true);
        return;
    }
    DiscImagePlan plan = DiscImagePlan::Make(settings, ConvertedFiles(*m_batch), settings.outputFolder);
    m_discImageLines = plan.notes;
    m_discImageMaker.Start(plan);  // it ends from the event loop, never within
    EnterState(State::MakingDiscImage);
}

void ConversionEngine::OnDiscImageFinished(const DiscImageResult& result) {
    m_discImageLines.push_back(result.SummaryLine());
    m_discImageMade = result.outcome == DiscImageResult::Outcome::Made;
    FinishBatch(m_state == State::MakingDiscImage);
}

void ConversionEngine::FinishBatch(bool summarise) {
    m_unansweredCancel.stop();
    m_stopAfterReply.stop();
    m_heldReport.reset();
    m_heldExit.reset();
    m_process.reset();
    m_host.BatchEnded(*m_batch);
    EnterState(State::Idle);
    emit BatchFinished();
    if (summarise) ShowSummary();
}

void ConversionEngine::ShowSummary() {
    std::uint32_t elapsedSeconds = (SteadyTickCount() - m_batch->StartTick()) / 1000;
    MessageSeverity severity = m_batch->NoneConverted()                        ? MessageSeverity::Critical
                               : !m_batch->AllConverted()                      ? MessageSeverity::Warning
                               : !m_discImageLines.empty() && !m_discImageMade ? MessageSeverity::Warning
                                                                               : MessageSeverity::Information;
    QString head = FromLocal(m_batch->SummaryHead(elapsedSeconds));
    QString details = FromLocal(m_batch->SummaryDetails());
    // How the disc image ended stands under the head; the notes on what went into it, in the details.
    if (!m_discImageLines.empty()) {
        head += QStringLiteral("\n\n") + FromLocal(m_discImageLines.back());
        for (std::size_t i = 0; i + 1 < m_discImageLines.size(); ++i)
            details += (details.isEmpty() ? QString() : QStringLiteral("\n")) + FromLocal(m_discImageLines[i]);
    }
    emit Summarised({severity, head, details, FromLocal(m_host.Settings().outputFolder)});
}

void ConversionEngine::ShowProgress(double value) {
    m_batch->NoteProgress(value);
    if (value == m_progress.previousProgress) return;
    m_progress.previousProgress = value;

    emit Progressed({m_plan->index, value, m_batch->DoneSeconds(), m_host.Sources().totalDuration(),
                     SteadyTickCount() - m_batch->StartTick()});
}

void ConversionEngine::Refuse(MessageSeverity severity, const QString& text) { emit Told({severity, text, {}, {}}); }
