#pragma once

#include "core/EncoderExit.h"
#include "core/ProbeResult.h"
#include "engine/EncoderLauncher.h"
#include "engine/EncoderProcess.h"
#include "engine/EngineEvents.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <string>
#include <vector>

// Reads the files being added to the source list, as a state machine driven
// from the main event loop: several encoder probe runs go at once, each
// handed file after file, and each file is listed, or refused, in the order
// it was given, once it and every file before it have been read. Files given while others are read join the
// end of the queue. Reading stops at the list's limit of files, at Cancel,
// and at once when the window closes. A run asked to stop is kept until it
// has ended, so nothing waits for it; it no longer counts among the runs.
class SourceProber : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,     // nothing to read
        Reading,  // probes run; the files read so far are listed in order
    };

    // After this long without a file listed, ReadingShown offers Cancel.
    static constexpr int kReadingDelayMs = 1500;

    // As many probe runs at once as there are cores, and at least two.
    static int DefaultParallelProbes();

    explicit SourceProber(const EncoderLauncher& launcher, int parallelProbes = DefaultParallelProbes());
    ~SourceProber() override;
    SourceProber(const SourceProber&) = delete;
    SourceProber& operator=(const SourceProber&) = delete;

    // Reads and lists these files after those already waiting, into a list
    // that holds `listed` files now: it lists each file read, in its order.
    // The paths are the system's bytes, which need not read as text.
    void Add(const std::vector<std::string>& paths, int listed);
    // Cancel: no further file is read or listed; the refusals so far are told.
    void Cancel();
    // The window closes: reading ends at once, and nothing more is said.
    void Abort();

    bool IsReading() const { return m_state == State::Reading; }
    // Runs asked to stop that have not ended yet.
    int StoppingRuns() const { return static_cast<int>(m_stopping.size()); }

signals:
    void StateChanged(SourceProber::State state);
    // A file was read, with the values its probe reported: the host makes it
    // the new last row at once.
    void SourceRead(const SourceEntry& source);
    // Reading is over. The files that could not be read, in their order, and
    // how many were refused because the list was full.
    void Finished(const std::vector<std::string>& unreadable, int refusedForRoom);
    // Reading takes long: this file is being read (and Cancel is worth offering).
    void ReadingShown(const QString& fileName);
    // The encoder cannot be started; reading ends after this.
    void Told(const EngineMessage& message);

private:
    struct Probe {
        std::string path;
        ProbeResult result;
        bool started = false;
        bool ended = false;
        bool readable = false;
    };
    // One encoder run that probes file after file: loading the encoder
    // costs several times what reading a file does.
    struct ProbeRun {
        EncoderProcessPtr process;
        Probe* probe = nullptr;     // the file being read
        bool awaitingNext = false;  // its last file is read; it waits for the next
    };

    void EnterReading();
    void StartProbes();
    bool StartRun(Probe& probe);
    void Hand(ProbeRun& run, Probe& probe);
    ProbeRun* RunAwaitingNext() const;
    void EndRunsAwaitingNext();
    void OnReported(ProbeRun& run, const ReportFrame& frame);
    void OnRunEnded(ProbeRun& run, const EncoderExit& exit);
    void StopRuns();
    void ProbeEnded(Probe& probe, bool readable);
    void ListReadFiles();
    void ShowReading();
    void Finish(bool tell);
    int ProbesThatMayBeListed() const;

    const EncoderLauncher& m_launcher;
    int m_parallelProbes;
    int m_listed = 0;  // the files in the list, those read since the last Add among them
    State m_state = State::Idle;
    // The files given and not yet listed or refused, in their order; the
    // first ones are being read.
    std::deque<std::unique_ptr<Probe>> m_queue;
    std::vector<std::unique_ptr<ProbeRun>> m_runs;
    std::vector<EncoderProcessPtr> m_stopping;  // asked to stop, kept until they end
    std::vector<std::string> m_unreadable;
    int m_refusedForRoom = 0;
    QTimer m_readingDelay;
    bool m_readingShown = false;
};
