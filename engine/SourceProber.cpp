#include "engine/SourceProber.h"

#include "core/OutputPath.h"
#include "core/SourceList.h"
#include "protocol/ExitStatus.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <thread>

int SourceProber::DefaultParallelProbes() { return std::max(2, static_cast<int>(std::thread::hardware_concurrency())); }

SourceProber::SourceProber(const EncoderLauncher& launcher, int parallelProbes)
    : m_launcher(launcher), m_parallelProbes(parallelProbes) {
    m_readingDelay.setSingleShot(true);
    m_readingDelay.setInterval(kReadingDelayMs);
    connect(&m_readingDelay, &QTimer::timeout, this, &SourceProber::ShowReading);
}

SourceProber::~SourceProber() { StopRuns(); }

void SourceProber::Add(const std::vector<std::string>& paths, int listed) {
    m_listed = listed;
    for (const std::string& path : paths) {
        auto probe = std::make_unique<Probe>();
        probe->path = path;
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
    m_readingDelay.start();
    m_state = State::Reading;
    emit StateChanged(m_state);
}

// Starts reading files in list order while the files being read could still
// all find room in the list: each goes to a run waiting for its next file,
// or to a new run while fewer than the limit go. Runs left waiting end.
void SourceProber::StartProbes() {
    for (std::unique_ptr<Probe>& probe : m_queue) {
        if (probe->started) continue;
        if (m_listed + ProbesThatMayBeListed() >= SourceList::kCapacity) break;
        // The output path is not looked at here: a conversion checks it.
        if (probe->path.size() > kMaxPathLength) {
            probe->started = true;
            ProbeEnded(*probe, false);
            continue;
        }
        if (ProbeRun* run = RunAwaitingNext()) {
            Hand(*run, *probe);
        } else if (static_cast<int>(m_runs.size()) < m_parallelProbes) {
            if (!StartRun(*probe)) return;
        } else {
            break;
        }
    }
    EndRunsAwaitingNext();
}

bool SourceProber::StartRun(Probe& probe) {
    QString failure;
    EncoderProcessPtr process = m_launcher.LaunchProbe(probe.path, failure);
    if (!process) {
        // Every later file would fail the same way: told first, then the refusals so far.
        emit Told({MessageSeverity::Critical, failure, {}, {}});
        Finish(true);
        return false;
    }
    auto run = std::make_unique<ProbeRun>();
    ProbeRun* started = run.get();
    connect(process.get(), &EncoderProcess::Reported, this,
            [this, started](const ReportFrame& frame) { OnReported(*started, frame); });
    connect(process.get(), &EncoderProcess::Ended, this,
            [this, started](const EncoderExit& exit) { OnRunEnded(*started, exit); });
    run->process = std::move(process);
    run->probe = &probe;
    probe.started = true;
    m_runs.push_back(std::move(run));
    return true;
}

void SourceProber::Hand(ProbeRun& run, Probe& probe) {
    run.awaitingNext = false;
    run.probe = &probe;
    probe.started = true;
    run.process->ReplyWithSource(probe.path);
}

SourceProber::ProbeRun* SourceProber::RunAwaitingNext() const {
    for (const std::unique_ptr<ProbeRun>& run : m_runs)
        if (run->awaitingNext) return run.get();
    return nullptr;
}

// A run with nothing to read is told so and ends; it counts among the runs
// going until it has.
void SourceProber::EndRunsAwaitingNext() {
    for (std::unique_ptr<ProbeRun>& run : m_runs) {
        if (!run->awaitingNext) continue;
        run->awaitingNext = false;
        run->process->Reply(kReplyContinue);
    }
}

void SourceProber::OnReported(ProbeRun& run, const ReportFrame& frame) {
    if (frame.code != ReportSourceRead) {
        if (run.probe) run.probe->result.Take(frame.code, frame.value);
        run.process->Reply(kReplyContinue);
        return;
    }
    if (run.probe) ProbeEnded(*run.probe, frame.value == static_cast<std::int32_t>(ExitStatus::Done));
    run.probe = nullptr;
    run.awaitingNext = true;
    StartProbes();
    if (m_state == State::Reading) ListReadFiles();
}

// A run that ends while reading a file leaves it read as far as its reports
// and its status say.
void SourceProber::OnRunEnded(ProbeRun& run, const EncoderExit& exit) {
    if (run.probe) ProbeEnded(*run.probe, exit.Succeeded());
    std::erase_if(m_runs, [&run](const std::unique_ptr<ProbeRun>& going) { return going.get() == &run; });
    StartProbes();
    if (m_state == State::Reading) ListReadFiles();
}

void SourceProber::ProbeEnded(Probe& probe, bool readable) {
    probe.ended = true;
    probe.readable = readable && !probe.result.Failed();
}

// The files read so far, up to the first one still being read, are listed
// or refused in their order.
void SourceProber::ListReadFiles() {
    while (!m_queue.empty()) {
        if (m_listed >= SourceList::kCapacity) {
            m_refusedForRoom += static_cast<int>(m_queue.size());
            m_queue.clear();
            break;
        }
        if (!m_queue.front()->ended) break;
        std::unique_ptr<Probe> probe = std::move(m_queue.front());
        m_queue.pop_front();
        if (probe->readable) {
            ++m_listed;
            emit SourceRead(probe->result.Entry(probe->path));
        } else {
            m_unreadable.push_back(probe->path);
        }
    }
    if (m_queue.empty()) {
        Finish(true);
        return;
    }
    StartProbes();
    if (m_readingShown)
        ShowReading();
    else
        m_readingDelay.start();
}

void SourceProber::ShowReading() {
    if (m_state != State::Reading || m_queue.empty()) return;
    m_readingShown = true;
    emit ReadingShown(QFileInfo(QString::fromStdString(m_queue.front()->path)).fileName());
}

void SourceProber::Finish(bool tell) {
    if (m_state == State::Idle) return;
    StopRuns();
    m_queue.clear();
    m_readingDelay.stop();
    m_readingShown = false;
    m_state = State::Idle;
    if (tell) emit Finished(m_unreadable, m_refusedForRoom);
    // Once the refusals have been told: the window takes input again then.
    emit StateChanged(m_state);
}

// Every run still going is asked to stop, all of them first so that they
// end together, and kept until it has ended.
void SourceProber::StopRuns() {
    for (std::unique_ptr<ProbeRun>& run : m_runs) {
        EncoderProcess* process = run->process.get();
        process->disconnect(this);
        connect(process, &EncoderProcess::Ended, this, [this, process] {
            std::erase_if(m_stopping, [process](const EncoderProcessPtr& going) { return going.get() == process; });
        });
        process->Stop();
        m_stopping.push_back(std::move(run->process));
    }
    m_runs.clear();
}

int SourceProber::ProbesThatMayBeListed() const {
    return static_cast<int>(std::count_if(m_queue.begin(), m_queue.end(), [](const auto& probe) {
        return (probe->started && !probe->ended) || (probe->ended && probe->readable);
    }));
}
