// The front-end's own cost while a clip converts through the real engine:
// its CPU time as a share of the wall time, against the named baseline of a
// 1 ms polling wait (a wait with a 1 ms time-out and a pump per pass) held
// for the same wall time.
// Usage: frontend_overhead CLIP SECONDS OUTPUT_FOLDER RELAY
// The relay is started in the encoder's place; see ReportRelay.cpp.
#include "EngineTestSupport.h"

#include "engine/ConversionEngine.h"
#include "gui/widgets/SkinLibrary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWidget>

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>

namespace {

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Share {
    double cpu, wall;
    double Percent() const { return 100.0 * cpu / wall; }
};

struct Moment {
    double cpu = CpuSeconds(), wall = WallSeconds();
    Share Since(const Moment& start) const { return {cpu - start.cpu, wall - start.wall}; }
};

template <class Work>
Share Measure(Work work) {
    Moment start;
    work();
    return Moment().Since(start);
}

// Closes the summary as soon as it shows, noting when the conversion ended:
// the summary itself is not part of converting.
class SummaryCloser : public QObject {
public:
    Moment conversionEnd;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && event->type() == QEvent::Show) {
            conversionEnd = Moment();
            std::printf("%s\n", qPrintable(box->text()));
            QMetaObject::invokeMethod(
                box, [box] { box->button(QMessageBox::Ok)->click(); }, Qt::QueuedConnection);
        }
        return false;
    }
};

// The baseline: wait 1 ms for the process, pump once, again, for `seconds`.
void PollingWait(double seconds) {
    int pair[2];
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair);
    pollfd watched{pair[0], POLLIN, 0};
    double end = WallSeconds() + seconds;
    while (WallSeconds() < end) {
        ::poll(&watched, 1, 1);
        QCoreApplication::processEvents();
    }
    ::close(pair[0]);
    ::close(pair[1]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: frontend_overhead CLIP SECONDS OUTPUT_FOLDER RELAY\n");
        return 64;
    }
    QApplication application(argc, argv);
    // Dressed as the program is, so the progress window paints as it does there.
    SkinLibrary::ApplyProgramSkin(application);
    SummaryCloser closer;
    application.installEventFilter(&closer);
    TestHost host;
    host.folderText = argv[3];
    host.window.show();
    host.List(argv[1], std::atof(argv[2]));

    ConversionEngine engine(argv[4]);
    host.presenter.Follow(engine);
    // exit, not quit: quit would first try to close the windows, and the
    // progress window turns a close into Cancel.
    QObject::connect(
        &engine, &ConversionEngine::BatchFinished, &application, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // The first batch pays for showing and laying out the progress window
    // and the summary once; the second is what every later batch costs.
    engine.ConvertAll(host.Order());
    application.exec();
    Moment start;
    engine.ConvertAll(host.Order());
    application.exec();
    Share engineShare = closer.conversionEnd.Since(start);
    Share baseline = Measure([&engineShare] { PollingWait(engineShare.wall); });

    std::printf("conversion wall time            %8.2f s\n", engineShare.wall);
    std::printf("front-end CPU share (engine)    %8.3f %%\n", engineShare.Percent());
    std::printf("baseline: 1 ms polling wait     %8.3f %%\n", baseline.Percent());
    std::printf("ratio engine / baseline         %8.3f\n", engineShare.Percent() / baseline.Percent());
    std::printf("limit                           %8.3f %%  -> %s\n", 2.0,
                engineShare.Percent() < 2.0 ? "met" : "MISSED");
    return 0;
}
