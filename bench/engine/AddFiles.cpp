// Adding files to the list: the wall time to read CLIPS with as many probes
// at once as there are cores (at least two), against the named baseline of
// the same files read one after the other, measured in the same run.
// Usage: add_files ENCODER CLIP...
#include "EngineTestSupport.h"

#include "gui/runner/ConversionEngine.h"
#include "gui/runner/SourceProber.h"

#include <QApplication>

#include <chrono>
#include <cstdio>

namespace {

// Seconds to read and list every clip with this many probes at once.
double SecondsToAdd(QApplication& application, ConversionEngine& engine, TestHost& host, const QStringList& clips,
                    int parallelProbes) {
    host.sources = SourceList();
    SourceProber prober(host, engine.ProgressWindow(), engine.Launcher(), parallelProbes);
    QObject::connect(&prober, &SourceProber::SourceRead, [&host](const std::string& path) { host.sources.Append(path); });
    QObject::connect(
        &prober, &SourceProber::Finished, &application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    auto start = std::chrono::steady_clock::now();
    prober.Add(clips);
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
    ConversionEngine engine(host, argv[1]);

    double sequential = SecondsToAdd(application, engine, host, clips, 1);
    double parallel = SecondsToAdd(application, engine, host, clips, SourceProber::DefaultParallelProbes());
    std::printf("files                             %8lld\n", static_cast<long long>(clips.size()));
    std::printf("baseline: one probe at a time     %8.2f s\n", sequential);
    std::printf("%2d probes at once                 %8.2f s\n", SourceProber::DefaultParallelProbes(), parallel);
    std::printf("ratio                             %8.3f  (target 0.6) -> %s\n", parallel / sequential,
                parallel / sequential <= 0.6 ? "met" : "MISSED");
    return 0;
}
