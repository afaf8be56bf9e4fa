#include "gui/windows/BatchPresenter.h"

#include "engine/ConversionEngine.h"
#include "engine/SourceProber.h"
#include "gui/widgets/InputBlocker.h"
#include "gui/windows/CProgressDlg.h"
#include "text/ProgressText.h"

#include <QMessageBox>
#include <QWidget>

namespace {

QMessageBox::Icon BoxIcon(MessageSeverity severity) {
    switch (severity) {
    case MessageSeverity::Information: return QMessageBox::Information;
    case MessageSeverity::Warning: return QMessageBox::Warning;
    case MessageSeverity::Critical: return QMessageBox::Critical;
    case MessageSeverity::Plain: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

BatchPresenter::BatchPresenter(QWidget& hostWindow)
    : m_hostWindow(hostWindow), m_progressWindow(std::make_unique<CProgressDlg>()) {}

BatchPresenter::~BatchPresenter() = default;

void BatchPresenter::Follow(ConversionEngine& engine) {
    CProgressDlg* window = m_progressWindow.get();
    connect(window, &CProgressDlg::CancelPressed, &engine, &ConversionEngine::RequestCancel);
    connect(window, &CProgressDlg::StopAnswered, &engine,
            [&engine](bool stop) { engine.Answer(EngineQuestion::Stop, stop); });
    connect(window, &CProgressDlg::GoOnAnswered, &engine,
            [&engine](bool goOn) { engine.Answer(EngineQuestion::GoOn, goOn); });

    connect(&engine, &ConversionEngine::BatchStarted, this, [this, window](int entryCount) {
        m_running.clear();
        m_entryCount = entryCount;
        m_batchBlocker = std::make_unique<InputBlocker>(m_hostWindow);
        window->ResetProgress();
        window->ShowOver(&m_hostWindow);
    });
    connect(&engine, &ConversionEngine::StateChanged, this, [this, window](ConversionEngine::State state) {
        switch (state) {
        case ConversionEngine::State::CancelPending:
            window->SetProgressText(QString::fromLatin1(kCancellingText));
            break;
        case ConversionEngine::State::MakingDiscImage:
            window->setWindowTitle(QStringLiteral("Making the disc image"));
            window->SetProgressText(QStringLiteral("Making the disc image…"));
            break;
        case ConversionEngine::State::Idle:
            window->hide();
            m_batchBlocker.reset();
            break;
        default: break;
        }
    });
    connect(&engine, &ConversionEngine::FileStarted, this, [this](const BatchEntry& entry) {
        m_running[entry.row] = entry.sourcePath;
        ShowRunningFiles();
    });
    // The title keeps naming the last file once none converts any more.
    connect(&engine, &ConversionEngine::FileEnded, this, [this](const BatchEntry& entry) {
        m_running.erase(entry.row);
        if (!m_running.empty()) ShowRunningFiles();
    });
    connect(&engine, &ConversionEngine::Progressed, window, [window](const RunProgress& progress) {
        std::optional<ProgressDisplay> display =
            ComputeProgressDisplay(progress.seconds, progress.doneSeconds, progress.totalSeconds, progress.elapsedMs);
        if (!display) return;
        window->SetProgressText(QString::fromStdString(display->text));
        window->SetTimeLeft(QString::fromStdString(display->timeLeft));
        window->SetBarPosition(display->barPosition);
    });
    connect(&engine, &ConversionEngine::DiscImageProgress, window, &CProgressDlg::SetProgressText);
    connect(&engine, &ConversionEngine::Asked, window, [window](EngineQuestion question, const QString& text) {
        if (question == EngineQuestion::Stop)
            window->AskToStop();
        else
            window->AskToGoOn(text);
    });
    connect(&engine, &ConversionEngine::QuestionWithdrawn, window, &CProgressDlg::WithdrawQuestion);
    connect(&engine, &ConversionEngine::Told, window, [this, window](const EngineMessage& message) {
        window->Tell(message.text, BoxIcon(message.severity), &m_hostWindow);
    });
    connect(&engine, &ConversionEngine::Summarised, window, [this, window](const EngineMessage& summary) {
        window->ShowSummary(summary.text, summary.details, BoxIcon(summary.severity), summary.folder, &m_hostWindow);
    });
}

void BatchPresenter::ShowRunningFiles() {
    if (m_running.size() == 1) {
        const auto& [index, sourcePath] = *m_running.begin();
        m_progressWindow->ShowCurrentFile(index + 1, m_entryCount, sourcePath);
        return;
    }
    std::vector<int> positions;
    for (const auto& [index, sourcePath] : m_running) positions.push_back(index + 1);
    m_progressWindow->ShowCurrentFiles(positions, m_entryCount);
}

void BatchPresenter::Follow(SourceProber& prober) {
    CProgressDlg* window = m_progressWindow.get();
    connect(window, &CProgressDlg::CancelPressed, &prober, &SourceProber::Cancel);
    // No command runs while files are read; the window still repaints.
    connect(&prober, &SourceProber::StateChanged, this, [this, window](SourceProber::State state) {
        if (state == SourceProber::State::Reading) {
            m_readingBlocker = std::make_unique<InputBlocker>(m_hostWindow);
            return;
        }
        window->hide();
        m_readingBlocker.reset();
    });
    // The refusals are told with the reading window gone.
    connect(&prober, &SourceProber::Finished, window, &QWidget::hide);
    connect(&prober, &SourceProber::ReadingShown, window, [this, window](const QString& fileName) {
        if (window->isVisible())
            window->ShowReadingFile(fileName);
        else
            window->ShowReading(fileName, &m_hostWindow);
    });
    // Told over the window before the reading ends.
    connect(&prober, &SourceProber::Told, window, [this, window](const EngineMessage& message) {
        window->hide();
        window->Tell(message.text, BoxIcon(message.severity), &m_hostWindow);
    });
}
