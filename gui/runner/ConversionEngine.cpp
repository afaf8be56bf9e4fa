#include "gui/runner/ConversionEngine.h"

#include "gui/widgets/AppMessageBox.h"
#include "core/ArgumentSplitter.h"
#include "gui/windows/CProgressDlg.h"
#include "gui/runner/ConversionHost.h"
#include "gui/runner/EncoderProcess.h"
#include "core/FolderCreation.h"
#include "core/OutputPath.h"
#include "core/ProgressText.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int32_t kLargestFrameRateReport = 2147483647;

QString FromLocal(const std::string& text) { return QString::fromStdString(text); }

bool IsFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

QString FailureLine(const std::string& sourcePath, const std::string& reason) {
    return FromLocal(sourcePath) + QStringLiteral(": ") + FromLocal(reason);
}

}  // namespace

ConversionEngine::ConversionEngine(ConversionHost& host, std::string encoderProgram)
    : m_host(host), m_encoderProgram(std::move(encoderProgram)), m_progressWindow(std::make_unique<CProgressDlg>()) {
    QObject::connect(m_progressWindow.get(), &CProgressDlg::CancelPressed, m_progressWindow.get(),
                     [this] { m_progress.cancelRequested = true; });
}

ConversionEngine::~ConversionEngine() = default;

void ConversionEngine::ConvertAll() {
    if (IsConverting()) return;  // one batch at a time, even if a command slips through
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

    StartBatch();
    std::vector<QString> failures;
    for (int row = 0; row < sources.fileCount(); ++row) {
        EntryOutcome outcome = ConvertEntry(row, failures);
        if (outcome == EntryOutcome::Cancelled || outcome == EntryOutcome::EncoderMissing) {
            EndBatch();
            return;
        }
    }
    ShowSummary(failures);
    EndBatch();
}

ConversionEngine::EntryOutcome ConversionEngine::ConvertEntry(int row, std::vector<QString>& failures) {
    m_currentEntry = row;
    const SourceEntry entry = m_host.Sources().Entry(row);
    std::optional<std::string> output = MakeOutputPath(entry.path);
    if (!output) {
        failures.push_back(FailureLine(entry.path, "the output path would be longer than " +
                                                       std::to_string(kMaxPathLength) + " characters"));
        m_progress.doneSeconds += entry.durationSeconds;
        return EntryOutcome::Failed;
    }
    std::remove(output->c_str());
    Padding padding = ComputePadding(row);
    EncoderRunResult run = RunEncoder(entry.path, *output, padding.horizontal, padding.vertical, EncoderConvert);
    if (!run.started) return EntryOutcome::EncoderMissing;
    m_progress.doneSeconds += entry.durationSeconds;

    if (m_progress.cancelRequested) {
        std::remove(output->c_str());
        return EntryOutcome::Cancelled;
    }
    bool written = IsFile(*output);
    if (run.Succeeded() && written) return EntryOutcome::Converted;
    // What a failed run left behind is not a usable file.
    std::remove(output->c_str());
    std::string reason = run.exit.FailureReason();
    failures.push_back(FailureLine(entry.path, reason.empty() ? "the encoder wrote no output file" : reason));
    return EntryOutcome::Failed;
}

void ConversionEngine::StartBatch() {
    m_currentEntry = 0;
    m_progress.startTick = SteadyTickCount();
    m_progress.cancelRequested = false;
    QWidget* host = m_host.HostWindow();
    host->setEnabled(false);

    m_progressWindow->ResetProgress();
    // Owned by the main window, as a dialog stays with its owner, without
    // being disabled along with it.
    m_progressWindow->winId();
    if (QWindow* owner = host->window()->windowHandle())
        m_progressWindow->windowHandle()->setTransientParent(owner);
    m_progressWindow->show();
    m_progress.doneSeconds = 0.0;
}

void ConversionEngine::EndBatch() {
    m_currentEntry = -1;
    m_host.HostWindow()->setEnabled(true);
    m_progressWindow->hide();
}

void ConversionEngine::ShowSummary(const std::vector<QString>& failures) {
    std::uint32_t elapsedSeconds = (SteadyTickCount() - m_progress.startTick) / 1000;
    QString text = QStringLiteral("Mission accomplished! Total Time:%1").arg(FromLocal(FormatClock(elapsedSeconds)));
    if (failures.empty()) {
        ShowMessage(text, QMessageBox::Information);
        return;
    }
    text += QStringLiteral("\n\nThese files were not converted:");
    for (const QString& failure : failures) text += QStringLiteral("\n") + failure;
    ShowMessage(text, QMessageBox::Warning);
}

EncoderRunResult ConversionEngine::RunEncoder(const std::string& sourcePath, const std::string& outputPath,
                                              int horizontalPad, int verticalPad, int mode) {
    std::unique_ptr<EncoderProcess> process = CreateEncoderProcess();
    EncoderRunValues values{sourcePath, outputPath, horizontalPad, verticalPad,
                            mode,       process->ChannelHandle(), CurrentFrameRate()};
    std::vector<std::string> arguments =
        SplitArguments(BuildEncoderArguments(values, m_host.Settings(), m_host.Targets()));

    EncoderRunResult result;
    std::string error;
    result.started = process->Start(m_encoderProgram, arguments, error);
    if (!result.started) {
        ShowMessage(QStringLiteral("The encoder %1 could not be started: %2.")
                        .arg(FromLocal(m_encoderProgram), QString::fromLocal8Bit(error.c_str())),
                    QMessageBox::Critical);
        return result;
    }
    result.exit = process->WaitForExit([this](const ReportFrame& frame) { return OnEncoderNotify(frame.code, frame.value); });
    return result;
}

std::optional<std::string> ConversionEngine::MakeOutputPath(const std::string& sourcePath) const {
    const ConversionSettings& settings = m_host.Settings();
    return ::MakeOutputPath(sourcePath, settings.outputFolder, settings.outputFormat, m_host.Sources());
}

Padding ConversionEngine::ComputePadding(int row) {
    const SourceEntry& entry = m_host.Sources().Entry(row);
    return ::ComputePadding(m_host.Settings(), m_host.Targets(), entry.sourceWidth, entry.sourceHeight);
}

ReportReply ConversionEngine::OnEncoderNotify(std::uint32_t code, std::int32_t value) {
    switch (code) {
    case ReportDuration:
    case ReportWidth:
    case ReportHeight:
    case ReportFrameRate:
        StoreProperty(code, value);
        return kReplyContinue;
    case ReportSampleAspect:
        StoreSampleAspect(value);
        return kReplyContinue;
    case ReportCode::ReportProgress:
        return ReportProgress(value);
    default:
        return kReplyContinue;
    }
}

void ConversionEngine::StoreProperty(std::uint32_t code, std::int32_t value) {
    SourceEntry* slot = m_host.Sources().ProbeSlot();
    if (!slot) return;  // all 99 rows taken: the report has nowhere to go
    bool failed = code == ReportFrameRate ? value == 0 : value <= 0;
    if (failed) {
        m_progress.probeFailed = true;
        return;
    }
    switch (code) {
    case ReportDuration: slot->durationSeconds = value; break;
    case ReportWidth: slot->sourceWidth = value; break;
    case ReportHeight: slot->sourceHeight = value; break;
    case ReportFrameRate: slot->sourceFrameRate = (value < 0 ? kLargestFrameRateReport : value) * 0.0000001; break;
    default: break;
    }
}

// An encoder that cannot tell the pixel shape sends 0: square pixels are
// the safe guess, and the file is still added.
void ConversionEngine::StoreSampleAspect(std::int32_t value) {
    if (SourceEntry* slot = m_host.Sources().ProbeSlot()) slot->sourceSampleAspect = value > 0 ? value * 0.0000001 : 1.0;
}

ReportReply ConversionEngine::ReportProgress(double value) {
    if (++m_progress.pumpCounter >= 100) {
        PumpOneMessage();
        m_progress.pumpCounter = 0;
    }
    if (m_progress.cancelRequested) {
        if (AskToStop()) return kReplyStop;
        m_progress.cancelRequested = false;
    }
    PumpOneMessage();
    if (value == m_progress.previousProgress) return kReplyContinue;
    m_progress.previousProgress = value;

    std::optional<ProgressDisplay> display = ComputeProgressDisplay(
        value, m_progress.doneSeconds, m_host.Sources().totalDuration(), SteadyTickCount() - m_progress.startTick);
    if (!display) return kReplyContinue;
    m_progressWindow->SetProgressText(FromLocal(display->text));
    m_progressWindow->SetBarPosition(display->barPosition);
    PumpOneMessage();
    return kReplyContinue;
}

void ConversionEngine::PumpOneMessage() { QCoreApplication::processEvents(); }

double ConversionEngine::CurrentFrameRate() const {
    const SourceList& sources = m_host.Sources();
    return m_currentEntry >= 0 && m_currentEntry < sources.fileCount()
               ? sources.Entry(m_currentEntry).sourceFrameRate
               : 0.0;
}

// During a batch the main window is disabled; the progress window carries
// the questions and the summary.
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
