#include "gui/runner/SourceProber.h"

#include "core/OutputPath.h"
#include "gui/runner/ConversionHost.h"
#include "gui/widgets/InputBlocker.h"
#include "gui/windows/CProgressDlg.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <thread>

int SourceProber::DefaultParallelProbes() { return std::max(2, static_cast<int>(std::thread::hardware_concurrency())); }

SourceProber::SourceProber(ConversionHost& host, CProgressDlg& progressWindow, const EncoderLauncher& launcher,
                           int parallelProbes)
    : m_host(host), m_progressWindow(progressWindow), m_launcher(launcher), m_parallelProbes(parallelProbes) {
    m_readingDelay.setSingleShot(true);
    m_readingDelay.setInterval(kReadingDelayMs);
    connect(&m_readingDelay, &QTimer::timeout, this, &SourceProber::ShowReading);
    connect(&m_progressWindow, &CProgressDlg::CancelPressed, this, &SourceProber::Cancel);
}

SourceProber::~SourceProber() {
    for (std::unique_ptr<Probe>& probe : m_queue)
        if (probe->process) probe->process->Stop();
}

void SourceProber::Add(const QStringList& paths) {
    for (const QString& path : paths) {
        auto probe = std::make_unique<Probe>();
        probe->path = QDir::toNativeSeparators(path).toStdString();
        m_queue.push_back(std::move(probe));
    }
    if (m_queue.empty()) return;
    if (m_state == State::Idle) EnterReading();
    StartProbes();
    if (m_state == State::Reading) ListReadFiles();
}

void SourceProber::Cancel() {
    if (m_state == State::Reading) Finish(true);
}

void SourceProber::Abort() {
    if (m_state == State::Reading) Finish(false);
}

void SourceProber::EnterReading() {
    m_unreadable.clear();
    m_refusedForRoom = 0;
    // No command runs while files are read; the window still repaints.
    m_blocker = std::make_unique<InputBlocker>(*m_host.HostWindow());
    m_readingDelay.start();
    m_state = State::Reading;
    emit StateChanged(m_state);
}

// Starts probes in list order while fewer than the limit run and the files
// being read could still all find room in the list.
void SourceProber::StartProbes() {
    int running = static_cast<int>(
        std::count_if(m_queue.begin(), m_queue.end(), [](const auto& probe) { return probe->process != nullptr; }));
    for (std::unique_ptr<Probe>& probe : m_queue) {
        if (probe->process || probe->ended) continue;
        if (running >= m_parallelProbes ||
            m_host.Sources().fileCount() + ProbesThatMayBeListed() >= SourceList::kCapacity)
            return;
        // The output path is not looked at here: a conversion checks it.
        if (probe->path.size() > kMaxPathLength) {
            probe->ended = true;
            continue;
        }
        if (!StartProbe(*probe)) return;
        ++running;
    }
}

bool SourceProber::StartProbe(Probe& probe) {
    const ConversionSettings& settings = m_host.Settings();
    std::string outputPath = MakeOutputPath(probe.path, settings.outputFolder, settings.outputFormat, m_host.Sources());
    EncoderRunValues values{probe.path, outputPath, 0, 0, EncoderProbe, 0, 0.0};
    QString failure;
    probe.process = m_launcher.Launch(values, failure);
    if (!probe.process) {
        // Every later file would fail the same way: told first, over the
        // window, then the refusals so far.
        m_progressWindow.hide();
        m_progressWindow.Tell(failure, QMessageBox::Critical, m_host.HostWindow());
        Finish(true);
        return false;
    }
    EncoderProcess* process = probe.process.get();
    connect(process, &EncoderProcess::Reported, this, [&probe, process](const ReportFrame& frame) {
        probe.result.Take(frame.code, frame.value);
        process->Reply(kReplyContinue);
    });
    connect(process, &EncoderProcess::Ended, this,
            [this, &probe](const EncoderExit& exit) { OnProbeEnded(probe, exit); });
    return true;
}

void SourceProber::OnProbeEnded(Probe& probe, const EncoderExit& exit) {
    probe.ended = true;
    probe.readable = !probe.result.Failed() && exit.Succeeded();
    probe.process.reset();
    StartProbes();
    if (m_state == State::Reading) ListReadFiles();
}

// The files read so far, up to the first one still being read, are listed
// or refused in their order.
void SourceProber::ListReadFiles() {
    SourceList& sources = m_host.Sources();
    while (!m_queue.empty()) {
        if (sources.IsFull()) {
            m_refusedForRoom += static_cast<int>(m_queue.size());
            m_queue.clear();
            break;
        }
        if (!m_queue.front()->ended) break;
        std::unique_ptr<Probe> probe = std::move(m_queue.front());
        m_queue.pop_front();
        if (SourceEntry* slot = sources.ProbeSlot()) probe->result.CarryInto(*slot);
        if (probe->readable)
            emit SourceRead(probe->path);
        else
            m_unreadable.push_back(probe->path);
    }
    if (m_queue.empty()) {
        Finish(true);
        return;
    }
    StartProbes();
    if (m_progressWindow.isVisible())
        ShowReading();
    else
        m_readingDelay.start();
}

void SourceProber::ShowReading() {
    if (m_state != State::Reading || m_queue.empty()) return;
    QString name = QFileInfo(QString::fromStdString(m_queue.front()->path)).fileName();
    if (m_progressWindow.isVisible())
        m_progressWindow.ShowReadingFile(name);
    else
        m_progressWindow.ShowReading(name, m_host.HostWindow());
}

// Every probe still running is asked to stop first, so that they all end
// together.
void SourceProber::Finish(bool tell) {
    if (m_state == State::Idle) return;
    for (std::unique_ptr<Probe>& probe : m_queue)
        if (probe->process) probe->process->Stop();
    m_queue.clear();
    m_readingDelay.stop();
    m_progressWindow.hide();
    // The window takes input again once the refusals have been told.
    std::unique_ptr<InputBlocker> blocker = std::move(m_blocker);
    m_state = State::Idle;
    emit StateChanged(m_state);
    if (tell) emit Finished(m_unreadable, m_refusedForRoom);
}

int SourceProber::ProbesThatMayBeListed() const {
    return static_cast<int>(std::count_if(m_queue.begin(), m_queue.end(), [](const auto& probe) {
        return probe->process != nullptr || (probe->ended && probe->readable);
    }));
}
