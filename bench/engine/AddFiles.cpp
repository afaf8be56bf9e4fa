// Adding files to the list: the wall time to read CLIPS with as many probe
// runs at once as there are cores (at least two), against the named baseline
// of one probe run per file, one after the other, measured in the same run.
// Adding with a single run is shown too, to tell what comes from handing
// each run file after file and what from running several at once.
// Usage: add_files ENCODER CLIP...
#include "EngineTestSupport.h"

#include "engine/ConversionEngine.h"
#include "engine/SourceProber.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

// Seconds to probe every clip with a run of its own, one run after another.
double SecondsForSeparateProbes(QApplication& application, const EncoderLauncher& launcher, const QStringList& clips) {
    EncoderProcessPtr process;
    int next = 0;
    std::function<void()> startNext = [&] {
        if (next == clips.size()) {
            QCoreApplication::exit(0);
            return;
        }
        const std::string path = clips[next++].toStdString();
        QString failure;
        process = launcher.LaunchProbe(path, failure);
        if (!process) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            QCoreApplication::exit(1);
            return;
        }
        // Every report, "source read" too, is answered with "continue": the run ends after its one file.
        QObject::connect(process.get(), &EncoderProcess::Reported,
                         [&process](const ReportFrame&) { process->Reply(kReplyContinue); });
        QObject::connect(process.get(), &EncoderProcess::Ended, [&startNext](const EncoderExit&) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), startNext, Qt::QueuedConnection);
        });
    };
    auto start = std::chrono::steady_clock::now();
    QMetaObject::invokeMethod(&application, startNext, Qt::QueuedConnection);
    application.exec();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds to read and list every clip with this many probe runs at once.
double SecondsToAdd(QApplication& application, ConversionEngine& engine, TestHost& host, const QStringList& clips,
                    int parallelProbes) {
    host.sources = SourceList();
    SourceProber prober(engine.Launcher(), parallelProbes);
    host.presenter.Follow(prober);
    QObject::connect(&prober, &SourceProber::SourceRead,
                     [&host](const SourceEntry& source) { host.sources.Append(source); });
    QObject::connect(
        &prober, &SourceProber::Finished, &application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    auto start = std::chrono::steady_clock::now();
    prober.Add(clips, host.sources.fileCount());
    application.exec();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (host.sources.fileCount() != clips.size())
        std::fprintf(stderr, "only %d of %lld files were listed\n", host.sources.fileCount(),
                     static_cast<long long>(clips.size()));
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: add_files ENCODER CLIP...\n");
        return 64;
    }
    QApplication application(argc, argv);
    QStringList clips;
    for (int i = 2; i < argc; ++i) clips << QString::fromLocal8Bit(argv[i]);
    TestHost host;
    host.window.show();
    ConversionEngine engine(argv[1]);

    const int runs = SourceProber::DefaultParallelProbes();
    double separate = SecondsForSeparateProbes(application, engine.Launcher(), clips);
    double oneRun = SecondsToAdd(application, engine, host, clips, 1);
    double parallel = SecondsToAdd(application, engine, host, clips, runs);
    std::printf("files                                      %8lld\n", static_cast<long long>(clips.size()));
    std::printf("baseline: one probe run per file, in turn  %8.2f s\n", separate);
    std::printf("added with one run                         %8.2f s  ratio %.3f\n", oneRun, oneRun / separate);
    std::printf("added with %2d runs at once                 %8.2f s  ratio %.3f  (target 0.6) -> %s\n", runs, parallel,
                parallel / separate, parallel / separate <= 0.6 ? "met" : "MISSED");
    return 0;
}
