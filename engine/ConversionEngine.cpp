#include "engine/ConversionEngine.h"

#include "core/ConversionsAtOnce.h"
#include "core/DiscImagePlan.h"
#include "core/FolderCreation.h"
#include "core/KeptPart.h"
#include "core/SoundTrackChoice.h"
#include "core/SubtitleChoice.h"
#include "core/TemporaryLeftover.h"
#include "core/WritableFolder.h"
#include "protocol/TemporaryOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// U+FFFD in UTF-8: what a reading of a name as text puts in place of bytes it lost.
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

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
std::vector<ConvertedFile> ConvertedFiles(const ConversionBatch& batch, const BatchOrder& order) {
    const SourceList& listed = order.files;
    std::vector<ConvertedFile> files;
    for (int i = 0; i < batch.EntryCount(); ++i) {
        const BatchEntry& entry = batch.Entry(i);
        ConvertedFile::Outcome outcome = entry.state == EntryState::Converted    ? ConvertedFile::Outcome::Whole
                                         : entry.state == EntryState::Incomplete ? ConvertedFile::Outcome::Partial
                                                                                 : ConvertedFile::Outcome::Failed;
        const SourceEntry& source = listed.Entry(entry.row);
        files.push_back({entry.sourcePath, entry.outputPath, entry.durationSeconds, outcome, KeptChapters(source),
                         SoundTrackChoice::Languages(source, order.settings),
                         SubtitleChoice::DiscLanguages(source, order.settings)});
    }
    return files;
}

}  // namespace

ConversionEngine::ConversionEngine(std::string encoderProgram, const DiscMenuArtist* menuArtist, int cores)
    : m_launcher(encoderProgram), m_cores(cores), m_discImageMaker(std::move(encoderProgram), menuArtist) {
    m_unansweredCancel.setSingleShot(true);
    m_unansweredCancel.setInterval(kUnansweredCancelMs);
    connect(&m_unansweredCancel, &QTimer::timeout, this, [this] {
        if (m_state == State::CancelPending) AskToStop();
    });
    // A stop answered by the reply still ends the run if the encoder ignores it.
    m_stopAfterReply.setSingleShot(true);
    m_stopAfterReply.setInterval(kUnansweredCancelMs);
    connect(&m_stopAfterReply, &QTimer::timeout, this, [this] {
        for (auto& [index, run] : m_runs)
            if (run.stopReplied) run.process->Stop();
    });
    connect(&m_cropMeasurer, &CropMeasurer::Measured, this, &ConversionEngine::OnCropMeasured);
    connect(&m_cropMeasurer, &CropMeasurer::Failed, this,
            [this](const QString&, const QString& reason) { OnCropFailed(reason); });
    connect(&m_discImageMaker, &DiscImageMaker::Progress, this, &ConversionEngine::DiscImageProgress);
    connect(&m_discImageMaker, &DiscImageMaker::Finished, this, &ConversionEngine::OnDiscImageFinished);
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::EnterState(State state) {
    if (m_state == state) return;
    m_state = state;
    emit StateChanged(state);
}

void ConversionEngine::ConvertAll(BatchOrder order) {
    if (m_state != State::Idle) return;
    m_order = std::move(order);
    if (Refused()) return;
    StartBatch();
    StartRuns();
}

// What stands in the way of a batch is told once, before anything starts.
bool ConversionEngine::Refused() {
    if (m_order.files.fileCount() == 0) {
        Refuse(MessageSeverity::Plain, QStringLiteral("No file in the list"));
        return true;
    }
    const ConversionSettings& settings = m_order.settings;
    // A folder's name is bytes, and not every name reads as text: a name
    // that lost bytes in reading names no folder at all.
    if (settings.outputFolder.find(kReplacementCharacter) != std::string::npos) {
        Refuse(MessageSeverity::Critical,
               QStringLiteral("The output folder %1 has a name that cannot be read as text; choose it again.")
                   .arg(FromLocal(settings.outputFolder)));
        return true;
    }
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
    m_batch.emplace(m_order.files, SteadyTickCount());
    m_conversionsAtOnce = ::ConversionsAtOnce(m_order.settings, m_cores, m_batch->EntryCount());
    // One run alone takes every core: the encoder's own threads share them best.
    m_threadsPerRun = m_conversionsAtOnce > 1 ? ::ThreadsPerRun(m_cores, m_conversionsAtOnce) : 0;
    m_goOnDeclined = false;
    m_startFailure.clear();
    m_discImageLines.clear();
    m_discImageMade = false;
    m_cropNotes.clear();
    emit BatchStarted(m_batch->EntryCount());
    EnterState(State::Converting);
}

// Fills the free places with the next entries; after the last run, the end.
void ConversionEngine::StartRuns() {
    while (static_cast<int>(m_runs.size()) < m_conversionsAtOnce) {
        if (MeasuringNextCrop()) return;
        std::optional<ConversionBatch::RunPlan> plan = m_batch->PlanNext(m_order.settings, m_order.files);
        if (!plan) break;
        if (!StartRun(std::move(*plan))) return;
    }
    if (m_runs.empty()) FinishConversions();
}

// Whether the next entry's crop is being measured: started here when its
// order asks for an automatic one not measured yet.
bool ConversionEngine::MeasuringNextCrop() {
    if (m_cropMeasurer.IsMeasuring()) return true;
    const std::optional<int> row = m_batch->NextRow();
    if (!row) return false;
    const SourceEntry& source = m_order.files.Entry(*row);
    if (source.order.crop != CropMode::Automatic || source.order.measuredCrop) return false;
    m_measuredRow = *row;
    m_cropMeasurer.Measure(source);
    return true;
}

// The batch's copy of the order keeps the measure, so the run is planned with it.
void ConversionEngine::OnCropMeasured(const MeasuredCrop& crop) {
    FileOrder order = m_order.files.Entry(m_measuredRow).order;
    order.measuredCrop = crop;
    m_order.files.SetOrder(m_measuredRow, std::move(order));
    if (m_state == State::Converting) StartRuns();
}

// A measure that failed costs the file its crop, not its conversion.
void ConversionEngine::OnCropFailed(const QString& reason) {
    FileOrder order = m_order.files.Entry(m_measuredRow).order;
    order.crop = CropMode::None;
    m_order.files.SetOrder(m_measuredRow, std::move(order));
    m_cropNotes.push_back(m_order.files.Entry(m_measuredRow).path +
                          " was given no crop: its black borders could not be measured (" + reason.toStdString() +
                          ").");
    emit CropNotMeasured(FromLocal(m_cropNotes.back()));
    if (m_state == State::Converting) StartRuns();
}

// Starts the planned run; false when the encoder could not be started, which
// ends the batch.
bool ConversionEngine::StartRun(ConversionBatch::RunPlan plan, int namesTaken) {
    const int index = plan.index;
    emit FileStarted(m_batch->Entry(index));
    EncoderRunValues values{plan.sourcePath, plan.outputPath,         plan.frame, EncoderConvert, 0,
                            plan.frameRate,  m_order.fittedVideoKbps, plan.order, plan.crop,      plan.soundTracks,
                            plan.subtitles};
    QString failure;
    std::string temporaryName = RandomTemporaryOutputName();
    EncoderProcessPtr process = m_launcher.Launch(values, m_order.settings, failure, m_threadsPerRun, temporaryName);
    if (!process) {
        // Every later file would fail the same way: one message, no summary.
        m_batch->Fail(index, "the encoder could not be started");
        emit FileEnded(m_batch->Entry(index));
        m_startFailure = failure;
        StopRuns();
        return false;
    }
    connect(process.get(), &EncoderProcess::Reported, this,
            [this, index](const ReportFrame& frame) { OnReport(index, frame); });
    connect(process.get(), &EncoderProcess::Ended, this,
            [this, index](const EncoderExit& exit) { OnRunEnded(index, exit); });
    m_runs[index] =
        Run{std::move(plan), std::move(temporaryName), std::move(process), {}, {}, kNothingShown, namesTaken, false};
    return true;
}

void ConversionEngine::OnReport(int index, const ReportFrame& frame) {
    Run& run = m_runs.at(index);
    if (frame.code != ReportCode::ReportProgress) {
        run.process->Reply(kReplyContinue);
        return;
    }
    switch (m_state) {
    case State::Converting:
    case State::AskingToGoOn:
        ShowProgress(run, frame.value);
        run.process->Reply(kReplyContinue);
        break;
    case State::CancelPending:
        // The encoder waits while the user decides.
        run.heldReport = frame.value;
        AskToStop();
        break;
    case State::AskingToStop: run.heldReport = frame.value; break;
    case State::Stopping: run.process->Reply(kReplyStop); break;
    case State::Idle:
    case State::MakingDiscImage: run.process->Reply(kReplyContinue); break;
    }
}

void ConversionEngine::OnRunEnded(int index, const EncoderExit& exit) {
    switch (m_state) {
    case State::Converting:
    case State::AskingToGoOn: CompleteRun(index, exit); break;
    case State::CancelPending:
        m_runs.at(index).heldExit = exit;
        AskToStop();
        break;
    case State::AskingToStop: m_runs.at(index).heldExit = exit; break;
    case State::Stopping: EndStoppedRun(index, exit); break;
    case State::Idle:
    case State::MakingDiscImage: break;
    }
}

void ConversionEngine::RequestCancel() {
    // The files are made by then: Cancel stops only the image, and the summary follows.
    if (m_state == State::MakingDiscImage) return m_discImageMaker.Stop();
    if (m_state != State::Converting) return;
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

// Yes stops every run. No takes the request back and lets what waited
// through: the held reports are answered, the held ends taken as they came.
void ConversionEngine::OnStopAnswer(bool stop) {
    if (m_state != State::AskingToStop) return;
    if (stop) return StopRuns();
    EnterState(State::Converting);
    emit StopDeclined();
    std::vector<int> ended;
    for (auto& [index, run] : m_runs) {
        if (run.heldExit) {
            ended.push_back(index);
        } else if (std::optional<double> held = std::exchange(run.heldReport, std::nullopt)) {
            ShowProgress(run, *held);
            run.process->Reply(kReplyContinue);
        }
    }
    // Each end is taken while still held, so that a batch ended meanwhile
    // (an encoder that could not be started) has taken the rest already.
    for (int index : ended) {
        auto run = m_runs.find(index);
        if (run == m_runs.end() || !run->second.heldExit) continue;
        CompleteRun(index, *std::exchange(run->second.heldExit, std::nullopt));
    }
    // A crop measured meanwhile lets its file start now.
    if (m_state == State::Converting && static_cast<int>(m_runs.size()) < m_conversionsAtOnce) StartRuns();
}

void ConversionEngine::StopWithoutAsking() {
    if (m_state == State::Idle) return;
    emit QuestionWithdrawn();
    if (m_state == State::MakingDiscImage) {
        EnterState(State::Stopping);
        m_discImageMaker.Stop();
        return;
    }
    StopRuns();
}

// Stops the batch: no entry starts any more, and every run going on is
// stopped. A run that ended while the question was asked keeps what it made.
void ConversionEngine::StopRuns() {
    m_batch->EndEarly();
    m_cropMeasurer.Cancel();
    EnterState(State::Stopping);
    std::vector<int> ended;
    for (auto& [index, run] : m_runs)
        if (run.heldExit) ended.push_back(index);
    for (int index : ended) {
        EncoderExit exit = *m_runs.at(index).heldExit;
        m_batch->Finish(index, exit, IsFile(m_runs.at(index).plan.outputPath));
        LetRunGo(index, exit);
        emit FileEnded(m_batch->Entry(index));
    }
    for (auto& [index, run] : m_runs) StopRun(run);
    if (m_runs.empty()) FinishBatch(false);
}

// One waiting for its report's reply is told to stop there; any other is
// stopped as a process.
void ConversionEngine::StopRun(Run& run) {
    if (std::exchange(run.heldReport, std::nullopt)) {
        run.process->Reply(kReplyStop);
        run.stopReplied = true;
        m_stopAfterReply.start();
    } else {
        run.process->Stop();
    }
}

void ConversionEngine::CompleteRun(int index, const EncoderExit& exit) {
    if (!RecordEnd(index, exit)) return;
    if (m_state != State::Converting) return;
    if (m_batch->FoundDiskFull(index) && m_batch->RemainingCount() > 0) {
        EnterState(State::AskingToGoOn);
        emit Asked(EngineQuestion::GoOn,
                   QStringLiteral("%1 could not be converted: the disk holding %2 is full.\n"
                                  "Go on with the %3 remaining files?")
                       .arg(FromLocal(m_batch->Entry(index).sourcePath), FromLocal(m_order.settings.outputFolder))
                       .arg(m_batch->RemainingCount()));
        return;
    }
    StartRuns();
}

// Records how the entry's run ended; false when it runs again instead,
// since another program took the name while this run wrote its file: the
// file is made again under the next free name, and nothing is said of it.
bool ConversionEngine::RecordEnd(int index, const EncoderExit& exit) {
    Run& run = m_runs.at(index);
    if (exit.Is(ExitStatus::NameTaken) && IsTaken(run.plan.outputPath) && run.namesTaken < kMaxNamesTaken) {
        const int namesTaken = run.namesTaken + 1;
        LetRunGo(index, exit);
        std::optional<ConversionBatch::RunPlan> plan = m_batch->PlanAgain(index, m_order.settings, m_order.files);
        if (!plan) {
            emit FileEnded(m_batch->Entry(index));
            return true;
        }
        StartRun(std::move(*plan), namesTaken);
        return false;
    }
    m_batch->Finish(index, exit, IsFile(run.plan.outputPath));
    LetRunGo(index, exit);
    emit FileEnded(m_batch->Entry(index));
    return true;
}

void ConversionEngine::OnGoOnAnswer(bool goOn) {
    if (m_state != State::AskingToGoOn) return;
    // Either way the runs going on end as they will; No only starts no more.
    if (!goOn) {
        m_batch->EndEarly();
        m_cropMeasurer.Cancel();
        m_goOnDeclined = true;
    }
    EnterState(State::Converting);
    StartRuns();
}

// The name was free when the run started: only what the run itself put
// there goes.
void ConversionEngine::EndStoppedRun(int index, const EncoderExit& exit) {
    if (exit.LeftOutput()) std::remove(m_runs.at(index).plan.outputPath.c_str());
    m_batch->Stop(index);
    LetRunGo(index, exit);
    emit FileEnded(m_batch->Entry(index));
    if (m_runs.empty()) FinishBatch(false);
}

void ConversionEngine::LetRunGo(int index, const EncoderExit& exit) {
    // A run killed outright had no chance to remove its temporary file.
    const Run& run = m_runs.at(index);
    if (exit.signalled) RemoveTemporaryLeftover(run.plan.outputPath, run.temporaryName);
    m_runs.erase(index);
    if (m_runs.empty()) m_stopAfterReply.stop();
}

// After the last file's run: the disc image, when one is wanted, then the end.
void ConversionEngine::FinishConversions() {
    const ConversionSettings& settings = m_order.settings;
    if (m_goOnDeclined || !DiscImagePlan::Wanted(settings)) {
        FinishBatch(true);
        return;
    }
    DiscImagePlan plan = DiscImagePlan::Make(settings, m_order.fittedVideoKbps, ConvertedFiles(*m_batch, m_order),
                                             settings.outputFolder);
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
    m_runs.clear();
    EnterState(State::Idle);
    emit BatchFinished(m_batch->Entries());
    if (summarise) ShowSummary();
    if (!m_startFailure.isEmpty()) Refuse(MessageSeverity::Critical, std::exchange(m_startFailure, QString()));
}

void ConversionEngine::ShowSummary() {
    std::uint32_t elapsedSeconds = (SteadyTickCount() - m_batch->StartTick()) / 1000;
    MessageSeverity severity = m_batch->NoneConverted()                        ? MessageSeverity::Critical
                               : !m_batch->AllConverted()                      ? MessageSeverity::Warning
                               : !m_discImageLines.empty() && !m_discImageMade ? MessageSeverity::Warning
                                                                               : MessageSeverity::Information;
    QString head = FromLocal(m_batch->SummaryHead(elapsedSeconds));
    QString details = FromLocal(m_batch->SummaryDetails());
    QString cropNotes;
    for (const std::string& note : m_cropNotes) cropNotes += (cropNotes.isEmpty() ? "" : "\n") + FromLocal(note);
    if (!cropNotes.isEmpty()) details += (details.isEmpty() ? "" : "\n\n") + cropNotes;
    // How the disc image ended stands under the head; the notes on what went into it, in the details.
    if (!m_discImageLines.empty()) {
        head += QStringLiteral("\n\n") + FromLocal(m_discImageLines.back());
        for (std::size_t i = 0; i + 1 < m_discImageLines.size(); ++i)
            details += (details.isEmpty() ? QString() : QStringLiteral("\n")) + FromLocal(m_discImageLines[i]);
    }
    emit Summarised({severity, head, details, FromLocal(m_order.settings.outputFolder)});
}

void ConversionEngine::ShowProgress(Run& run, double value) {
    const int index = run.plan.index;
    m_batch->NoteProgress(index, value);
    if (value == run.shownSeconds) return;
    run.shownSeconds = value;

    const BatchEntry& entry = m_batch->Entry(index);
    const double share = entry.durationSeconds > 0 ? value / entry.durationSeconds : 0.0;
    emit Progressed({index, entry.row, value, share, m_batch->DoneSecondsBesides(index), m_order.files.totalDuration(),
                     SteadyTickCount() - m_batch->StartTick()});
}

void ConversionEngine::Refuse(MessageSeverity severity, const QString& text) { emit Told({severity, text, {}, {}}); }
