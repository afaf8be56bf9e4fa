// The engine and the reading of added files against a scripted stand-in
// encoder: the report channel, the probe slot, the progress display, the
// stop question and the batch's handling of encoders that fail in ways real
// files cannot arrange.
#include "DecimalCommaLocale.h"
#include "EngineTestSupport.h"
#include "ScreenshotSupport.h"

#include "core/ConversionsAtOnce.h"
#include "engine/ConversionEngine.h"
#include "engine/EncoderProcess.h"
#include "engine/SourceProber.h"
#include "gui/windows/CProgressDlg.h"
#include "protocol/TemporaryOutput.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// Stands in for the desktop's file manager: keeps the addresses it is asked
// to open.
class FileManagerStandIn : public QObject {
    Q_OBJECT
public:
    FileManagerStandIn() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~FileManagerStandIn() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

}  // namespace

class EngineProtocolTest : public QObject {
    Q_OBJECT

private:
    std::string Scratch(const std::string& relative) const {
        return m_scratch->filePath(QString::fromStdString(relative)).toStdString();
    }

    // Lists a source whose stand-in run follows `script`.
    std::string ListScripted(const std::string& name, double seconds, const std::string& script, double fps = 25.0) {
        std::string source = Scratch("clips/" + name);
        WriteFile(source + ".script", script);
        m_host->List(source, seconds, 320, 240, fps);
        return source;
    }

    QStringList LogLines(const QString& prefix) const {
        QStringList lines;
        for (const QString& line : QString::fromStdString(ReadFile(m_log)).split('\n'))
            if (line.startsWith(prefix)) lines.append(line);
        return lines;
    }

    void ConvertInto(const std::string& folder) {
        m_host->folderText = QString::fromStdString(folder);
        m_engine->ConvertAll(m_host->Order());
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->IsConverting(), 30000);
    }

    // Reads the files as Add does and waits for the end; the files read are
    // noted in m_read, not listed, so the probe slot stays where it is.
    void Read(const QStringList& sources) {
        std::vector<std::string> paths;
        for (const QString& source : sources) paths.push_back(source.toStdString());
        m_prober->Add(paths, m_host->sources.fileCount());
        QTRY_VERIFY_WITH_TIMEOUT(!m_prober->IsReading(), 30000);
    }

    void ExpectIdleAfterBatch() {
        QVERIFY(m_host->window.isEnabled());
        QVERIFY(!m_host->presenter.ProgressWindow().isVisible());
        QVERIFY(!m_engine->IsConverting());
    }

    // Touches `marker` once only `index`'s run goes on, everything started besides it having ended.
    void MarkWhenOnlyThisRuns(int index, const std::string& marker) {
        auto running = std::make_shared<std::set<int>>();
        connect(m_engine.get(), &ConversionEngine::FileStarted, this,
                [running](const BatchEntry& started) { running->insert(started.row); });
        connect(m_engine.get(), &ConversionEngine::FileEnded, this, [running, index, marker](const BatchEntry& ended) {
            running->erase(ended.row);
            running->erase(index);
            if (running->empty()) WriteFile(marker, "");
        });
    }

    const int m_atOnce = TestConversionsAtOnce();
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::string m_log;
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<SourceProber> m_prober;
    std::unique_ptr<MessageBoxResponder> m_boxes;
    QStringList m_read;
    SourceEntry m_lastRead;                         // the values of the file read last
    QList<std::pair<QStringList, int>> m_refusals;  // the unreadable files and how many found no room

private slots:
    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        std::filesystem::create_directories(Scratch("clips"));
        m_log = Scratch("encoder.log");
        qputenv("FAKE_ENCODER_LOG", QByteArray::fromStdString(m_log));
        m_host = std::make_unique<TestHost>();
        m_host->settings.outputFolder = Scratch("out");
        m_engine = std::make_unique<ConversionEngine>(FAKE_ENCODER_PATH, nullptr, TestCores());
        m_prober = std::make_unique<SourceProber>(m_engine->Launcher(), 2);
        m_host->Follow(*m_engine);
        m_host->presenter.Follow(*m_prober);
        m_read.clear();
        m_refusals.clear();
        connect(m_prober.get(), &SourceProber::SourceRead, this, [this](const SourceEntry& source) {
            m_read << QString::fromStdString(source.path);
            m_lastRead = source;
        });
        connect(m_prober.get(), &SourceProber::Finished, this,
                [this](const std::vector<std::string>& unreadable, int refusedForRoom) {
                    QStringList paths;
                    for (const std::string& path : unreadable) paths << QString::fromStdString(path);
                    m_refusals.append({paths, refusedForRoom});
                });
        m_boxes = std::make_unique<MessageBoxResponder>();
        m_host->window.show();
    }

    void cleanup() {
        m_boxes.reset();
        m_prober.reset();
        m_engine.reset();
        m_host.reset();
        ::chdir("/");
        m_scratch.reset();
    }

    void probeReportsReachTheReadFile() {
        m_host->List(Scratch("clips/listed.avi"), 5);
        const SourceEntry& slot = m_lastRead;
        std::string source = Scratch("clips/a.mov");
        auto probe = [&](const std::string& script) {
            WriteFile(source + ".script", script);
            m_read.clear();
            Read({QString::fromStdString(source)});
            return !m_read.isEmpty();
        };
        QVERIFY(probe("r1:12 r2:320 r3:240 r4:299700000 r5:11851852 r8:7"));
        QCOMPARE(slot.path, source);
        QCOMPARE(slot.durationSeconds, 12.0);
        QCOMPARE(slot.sourceWidth, 320);
        QCOMPARE(slot.sourceHeight, 240);
        QVERIFY(qAbs(slot.sourceFrameRate - 29.97) < 1e-9);
        QVERIFY(qAbs(slot.sourceSampleAspect - 1.1851852) < 1e-9);
        QVERIFY(slot.hdr && slot.interlaced && slot.bottomFieldFirst);
        QCOMPARE(m_host->sources.Entry(0).durationSeconds, 5.0);

        // The encoder's end of the channel is the last number; stdin is the
        // null device; the working folder is inherited.
        QStringList starts = LogLines("start ");
        QCOMPARE(starts.size(), 1);
        QVERIFY2(starts[0].contains(" handle=3 socket=yes stdin=/dev/null"), qPrintable(starts[0]));
        QVERIFY2(starts[0].contains(" cwd=" + QString::fromStdString(std::filesystem::current_path().string()) + " "),
                 qPrintable(starts[0]));
        QVERIFY2(starts[0].endsWith(" 1 3"), qPrintable(starts[0]));
        QCOMPARE(LogLines("reply ").filter(QRegularExpression(" 0$")).size(), 7);  // and "source read"

        // An unknown pixel shape is taken as square and refuses nothing; what
        // a probe does not report is not taken from the file read before.
        QVERIFY(probe("r4:-5 r5:0"));
        QVERIFY(qAbs(slot.sourceFrameRate - 214.7483647) < 1e-9);
        QCOMPARE(slot.sourceSampleAspect, 1.0);
        QCOMPARE(slot.sourceWidth, 0);
        QVERIFY(!slot.hdr && !slot.interlaced);

        // Bad values fail the probe.
        QVERIFY(!probe("r1:0 r2:-1 r3:100 r4:0"));
        QVERIFY(!probe("r1:3 exit:2"));
        QCOMPARE(m_refusals.last().first, QStringList{QString::fromStdString(source)});
    }

    // Files are read two at a time, yet listed and refused in their order;
    // the list's limit counts the files still being read. A run that has
    // read its file is handed the next; one that ends is replaced.
    void filesReadTogetherAreListedInTheirOrder() {
        for (int i = 0; i < SourceList::kCapacity - 3; ++i) m_host->List(Scratch("clips/listed.avi"), 1);
        // The first file is read only once the third has started.
        const std::string started = Scratch("quick.started");
        const std::string slow = "await:" + started + " r1:7 r2:320 r3:240 r4:250000000";
        const std::string quick = "touch:" + started + " r1:5 r2:320 r3:240 r4:250000000";
        const std::pair<const char*, std::string> files[] = {
            {"slow.avi", slow},  {"broken.avi", "exit:2"}, {"quick.avi", quick},
            {"next.avi", quick}, {"beyond.avi", quick},    {"last.avi", quick},
        };
        QStringList paths;
        for (const auto& [name, script] : files) {
            paths << QString::fromStdString(Scratch(std::string("clips/") + name));
            WriteFile(paths.last().toStdString() + ".script", script);
        }
        // Each listed file takes its place, as the window's rows do.
        connect(m_prober.get(), &SourceProber::SourceRead, this,
                [this](const SourceEntry& source) { m_host->sources.Append(source); });
        Read(paths);

        QCOMPARE(m_read, QStringList({paths[0], paths[2], paths[3]}));
        QCOMPARE(m_refusals, (QList<std::pair<QStringList, int>>{{{paths[1]}, 2}}));
        QCOMPARE(m_host->sources.Entry(SourceList::kCapacity - 1).path, paths[3].toStdString());
        QCOMPARE(LogLines("awaited ").size(), 1);
        QCOMPARE(LogLines("start ").size(), 3);  // slow, broken, and quick after broken's run ended
        QCOMPARE(LogLines("next "), QStringList{"next " + paths[3]});  // no room was left for beyond
    }

    void progressShowsThePositionInTheWholeBatch() {
        // The first's report comes before its file, and the second's after it:
        // side by side too, the second's report finds the first's 200 s done.
        ListScripted("first.avi", 200, "r6:200 write");
        ListScripted("second.avi", 800, "await:" + Scratch("out/first.avi") + " r6:50 write", 17.5);
        CProgressDlg& progress = m_host->presenter.ProgressWindow();
        QStringList titles;
        connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress,
                [&] { titles << progress.windowTitle(); });
        FileManagerStandIn fileManager;
        m_boxes->Answer(QMessageBox::Open);
        ConvertInto(Scratch("out"));
        QTRY_COMPARE(fileManager.opened.size(), 1);
        // The bar's reset at the start, under the window's own title, then
        // the files' reports under the batch's percentage and the files converting.
        QCOMPARE(titles.value(0), QStringLiteral("Tarvine"));
        if (m_atOnce == 1)
            QCOMPARE(titles.mid(1), QStringList({QString::fromUtf8("20% \u00b7 Converting 1 of 2 \u2014 first.avi"),
                                                 QString::fromUtf8("25% \u00b7 Converting 2 of 2 \u2014 second.avi")}));
        else
            QCOMPARE(titles.value(1), QString::fromUtf8("20% \u00b7 Converting 1 and 2 of 2"));
        // The summary's Open Folder shows the output folder.
        QCOMPARE(fileManager.opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(Scratch("out")))});

        QVERIFY2(m_host->presenter.ProgressWindow().ProgressText().endsWith(";Finished 25.0%"),
                 qPrintable(m_host->presenter.ProgressWindow().ProgressText()));
        QCOMPARE(m_host->presenter.ProgressWindow().BarPosition(), 250);
        QCOMPARE(m_boxes->Shown().size(), 1);
        QVERIFY(m_boxes->Shown()[0].text.startsWith("Mission accomplished! Total Time:00:00:0"));
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Information);
        QVERIFY(m_boxes->Shown()[0].details.isEmpty());
        QVERIFY(Exists(Scratch("out/first.avi")));
        QVERIFY(Exists(Scratch("out/second.avi")));
        ExpectIdleAfterBatch();

        // Each run takes its own entry's frame rate; the working directory is
        // the program's own. Side by side, each gets its share of the cores,
        // and the argument text stays as it is.
        QStringList starts = LogLines("start ");
        QCOMPARE(starts.size(), 2);
        const int threads = m_atOnce > 1 ? ThreadsPerRun(AvailableCores(), 2) : 0;
        auto argumentsBesidesTheFile = [](QString start) {
            return start.section(" args=", 1).replace("second.avi", "first.avi").replace("17.500000", "25.000000");
        };
        QCOMPARE(argumentsBesidesTheFile(starts[0]), argumentsBesidesTheFile(starts[1]));
        for (const QString& start : starts)
            QCOMPARE(start.section(" args=", 0, 0).section(" threads=", 1), QString::number(threads));
        for (const QString& start : starts) {
            QVERIFY(start.contains(start.contains("second.avi") ? "-ofps 17.500000" : "-ofps 25.000000"));
            QVERIFY(start.contains(" cwd=" + QString::fromStdString(std::filesystem::current_path().string()) + " "));
        }
    }

    void aFirstReportOfZeroEstimatesTheListsDuration() {
        ListScripted("long.avi", 1000, "r6:0 write");
        ConvertInto(Scratch("out"));
        QString text = m_host->presenter.ProgressWindow().ProgressText();
        QVERIFY2(text.startsWith("Total time:00:16:40;Elapsed time:") && text.endsWith(";Finished 0.0%"),
                 qPrintable(text));
        QVERIFY2(m_host->presenter.ProgressWindow().TimeLeft().startsWith("Time left: 00:16:"),
                 qPrintable(m_host->presenter.ProgressWindow().TimeLeft()));
    }

    void progressBeyondTheTotalIsIgnored() {
        ListScripted("short.avi", 100, "r6:50 r6:150 write");
        ConvertInto(Scratch("out"));
        QVERIFY(m_host->presenter.ProgressWindow().ProgressText().endsWith(";Finished 50.0%"));
        QCOMPARE(m_host->presenter.ProgressWindow().BarPosition(), 500);
    }

    void aRepeatedValueChangesNothingButStillCountsAndAsks() {
        ListScripted("clip.avi", 100, "r6:10 r6:10 r6:10 write");
        // The close box asks to stop, like Cancel, once the first report is shown.
        CProgressDlg& progress = m_host->presenter.ProgressWindow();
        auto* bar = progress.findChild<QProgressBar*>();
        connect(bar, &QProgressBar::valueChanged, &progress, [&progress](int value) {
            if (value == 100) progress.close();
        });
        m_boxes->Answer(QMessageBox::No);
        ConvertInto(Scratch("out"));

        QCOMPARE(m_boxes->Shown().size(), 2);
        QCOMPARE(m_boxes->Shown()[0].text, QString("Do you really want to stop?"));
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Question);
        QVERIFY(m_boxes->Shown()[1].text.startsWith("Mission accomplished!"));
        // The repeats drew nothing over the cancel text.
        QCOMPARE(progress.ProgressText(), QString("Cancel processing..."));
        QCOMPARE(bar->value(), 100);
        QVERIFY(m_engine->Batch()->AllConverted());
        QCOMPARE(LogLines("reply 6 10 0").size(), 3);
        QVERIFY(Exists(Scratch("out/clip.avi")));
    }

    // A file that asks for an automatic crop has its borders measured
    // before its run, and is converted with what was measured; one whose
    // measure fails is converted whole, and the summary says so; one
    // measured already, or with a crop of its own, is not measured again.
    void automaticCropsAreMeasuredBeforeTheirRuns() {
        ListScripted("boxed.avi", 10, "r6:5 write");
        WriteFile(Scratch("clips/boxed.avi.measure"), "r14:320 r15:180 r16:0 r17:30 r18:655369");
        ListScripted("unmeasured.avi", 10, "write");
        WriteFile(Scratch("clips/unmeasured.avi.measure"), "err:kelvoenc:_cannot_decode exit:2");
        ListScripted("known.avi", 10, "write");
        ListScripted("custom.avi", 10, "write");
        ListScripted("silent.avi", 10, "write");
        WriteFile(Scratch("clips/silent.avi.measure"), "r14:320");
        ListScripted("oversized.avi", 10, "write");
        WriteFile(Scratch("clips/oversized.avi.measure"), "r14:320 r15:240 r16:2 r17:0 r18:655370");
        FileOrder automatic;
        automatic.crop = CropMode::Automatic;
        for (int row : {0, 1, 4, 5}) m_host->sources.SetOrder(row, automatic);
        QStringList told;
        connect(m_engine.get(), &ConversionEngine::CropNotMeasured, this,
                [&told](const QString& sentence) { told << sentence; });
        automatic.measuredCrop = MeasuredCrop{{10, 0, 10, 0}, 10, 10};
        m_host->sources.SetOrder(2, automatic);
        FileOrder custom;
        custom.crop = CropMode::Custom;
        custom.customCrop = {0, 20, 0, 20};
        m_host->sources.SetOrder(3, custom);
        ConvertInto(Scratch("out"));

        QStringList starts = LogLines("start ");
        QCOMPARE(starts.size(), 10);
        auto startOf = [&starts](const QString& ending) {
            for (int i = 0; i < starts.size(); ++i)
                if (starts[i].contains(ending + " ")) return i;
            return -1;
        };
        const QString clips = QString::fromStdString(Scratch("clips/"));
        const int boxedMeasure = startOf("args=" + clips + "boxed.avi 4");
        const int boxedRun = startOf("args=" + clips + "boxed.avi -o");
        QVERIFY(boxedMeasure >= 0 && boxedMeasure < boxedRun);
        QVERIFY(startOf("args=" + clips + "unmeasured.avi 4") < startOf("args=" + clips + "unmeasured.avi -o"));
        QCOMPARE(LogLines("reply 18 655369 0").size(), 1);
        QVERIFY(starts[boxedRun].contains(" -vf crop=320:180:0:30"));
        QVERIFY(!starts[startOf("args=" + clips + "unmeasured.avi -o")].contains("crop="));
        QVERIFY(starts[startOf("args=" + clips + "known.avi -o")].contains(" -vf crop=300:240:10:0"));
        QVERIFY(starts[startOf("args=" + clips + "custom.avi -o")].contains(" -vf crop=320:200:0:20"));

        QCOMPARE(m_boxes->Shown().size(), 1);
        QVERIFY(m_boxes->Shown()[0].text.startsWith("Mission accomplished!"));
        // Reports missing, or a picture the frame does not hold, are no measure either.
        QCOMPARE(m_boxes->Shown()[0].details.split('\n'),
                 QStringList({clips + "unmeasured.avi was given no crop: its black borders could not be measured "
                                      "(the source cannot be read (kelvoenc: cannot decode)).",
                              clips + "silent.avi was given no crop: its black borders could not be measured "
                                      "(the encoder reported no crop).",
                              clips + "oversized.avi was given no crop: its black borders could not be measured "
                                      "(the encoder measured a 320x240 picture at 2,0, which its 320x240 frame does "
                                      "not hold)."}));
        QCOMPARE(told, m_boxes->Shown()[0].details.split('\n'));  // as they happen too
        for (const char* uncropped : {"silent.avi", "oversized.avi"})
            QVERIFY(!starts[startOf("args=" + clips + uncropped + " -o")].contains("crop="));
        QVERIFY(m_engine->Batch()->AllConverted());
        ExpectIdleAfterBatch();
    }

    // Cancel while the only thing going on is a measure: Yes ends the batch
    // with the measure, and the file is left for later.
    void aStopEndsACropMeasure() {
        ListScripted("slow.avi", 10, "write");
        WriteFile(Scratch("clips/slow.avi.measure"), "sleep:20000");
        FileOrder automatic;
        automatic.crop = CropMode::Automatic;
        m_host->sources.SetOrder(0, automatic);
        connect(m_engine.get(), &ConversionEngine::BatchStarted, this,
                [this] { QTimer::singleShot(0, m_engine.get(), [this] { m_engine->RequestCancel(); }); });
        m_boxes->Answer(QMessageBox::Yes);
        ConvertInto(Scratch("out"));

        QCOMPARE(m_boxes->Texts(), QStringList{"Do you really want to stop?"});
        QCOMPARE(LogLines("start ").size(), 1);
        QCOMPARE(m_host->endedEntries.size(), 1u);
        QCOMPARE(m_host->endedEntries[0].state, EntryState::Waiting);
        ExpectIdleAfterBatch();
    }

    // Cancel during the second file, when the others started have ended:
    // what they made stays, the second's goes, and nothing more starts.
    void aConfirmedStopRemovesWhatTheStoppedRunLeft() {
        const std::string othersEnded = Scratch("others.ended");
        ListScripted("first.avi", 10, "r6:5 write");
        ListScripted("second.avi", 10, "write await:" + othersEnded + " r6:4 r6:6 write");
        ListScripted("third.avi", 10, "write");
        MarkWhenOnlyThisRuns(1, othersEnded);
        auto* cancel = m_host->presenter.ProgressWindow().findChild<QPushButton*>("control1034");
        connect(m_engine.get(), &ConversionEngine::Progressed, cancel, [cancel](const RunProgress& progress) {
            if (progress.index == 1 && progress.seconds == 4) cancel->click();
        });
        m_boxes->Answer(QMessageBox::Yes);
        ConvertInto(Scratch("out"));

        QCOMPARE(m_boxes->Shown().size(), 1);
        QCOMPARE(LogLines("reply 6 6 1").size(), 1);
        QVERIFY(Exists(Scratch("out/first.avi")));
        QVERIFY(!Exists(Scratch("out/second.avi")));
        QCOMPARE(Exists(Scratch("out/third.avi")), m_atOnce > 1);
        QCOMPARE(LogLines("start ").size(), m_atOnce > 1 ? 3 : 2);
        ExpectIdleAfterBatch();
        // The window learns what became of each file, though there is no summary.
        QCOMPARE(m_host->endedEntries.size(), 3u);
        QCOMPARE(m_host->endedEntries[0].state, EntryState::Converted);
        QCOMPARE(m_host->endedEntries[1].state, EntryState::Stopped);
        QCOMPARE(m_host->endedEntries[2].state, m_atOnce > 1 ? EntryState::Converted : EntryState::Waiting);
    }

    void failedFilesAreListedAndTheBatchGoesOn() {
        ListScripted("unreadable.avi", 10, "err:kelvoenc:_cannot_open_unreadable.avi exit:2");
        ListScripted("unwritable.avi", 10, "r6:1 write err:kelvoenc:_disk_full exit:3");
        ListScripted("stopped.avi", 10, "write exit:4");
        ListScripted("odd.avi", 10, "write exit:11");
        ListScripted("crashed.avi", 10, "r6:2 write kill:9");
        ListScripted("short.avi", 20, "r6:6 write err:kelvoenc:_the_source_ends_early exit:5");
        ListScripted("unreported.avi", 10, "close write");
        ListScripted("silent.avi", 10, "");
        ListScripted("torn.avi", 10, "partial");
        ListScripted("foreign.avi", 10, "foreign r2:0 write");
        std::string longName(240, 'n');
        ListScripted(longName + ".avi", 10, "write");
        // The summary with its details open still fits the screen.
        QImage summary;
        m_boxes->onShow = [&summary] {
            QMessageBox* box = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* shown = qobject_cast<QMessageBox*>(window); shown && shown->isVisible()) box = shown;
            QMetaObject::invokeMethod(
                box,
                [box, &summary] {
                    for (QAbstractButton* button : box->buttons())
                        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
                    QVERIFY(box->height() <= box->screen()->availableGeometry().height());
                    summary = box->grab().toImage();
                },
                Qt::QueuedConnection);
        };
        ConvertInto(Scratch("out"));
        QTRY_VERIFY(!summary.isNull());
        SaveScreenshot(summary, "failed-batch");
        VerifyDrawn(summary);

        QCOMPARE(m_boxes->Shown().size(), 1);
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Warning);
        QVERIFY2(m_boxes->Shown()[0].text.startsWith("8 of 11 files were not converted, 1 only in part. Total Time:"),
                 qPrintable(m_boxes->Shown()[0].text));
        QStringList lines = m_boxes->Shown()[0].details.split('\n');
        auto clip = [this](const std::string& name) { return QString::fromStdString(Scratch("clips/" + name)); };
        QStringList expected{
            "These files were converted only in part:",
            clip("short.avi") + ": only 00:00:06 of 00:00:20 converted (kelvoenc: the source ends early)",
            "",
            "These files were not converted:",
            clip("unreadable.avi") + ": the source cannot be read (kelvoenc: cannot open unreadable.avi)",
            clip("unwritable.avi") + ": the output file cannot be written (kelvoenc: disk full)",
            clip("stopped.avi") + ": the conversion was stopped",
            clip("odd.avi") + ": the encoder ended with exit status 11",
            clip("crashed.avi") + ": the encoder was stopped by signal 9 (Killed)",
            clip("silent.avi") + ": the encoder wrote no output file",
            clip("torn.avi") + ": the encoder wrote no output file",
            clip(longName + ".avi") + ": the output path would be longer than 255 characters",
        };
        QCOMPARE(lines, expected);

        // A failed run made no file of its own (the encoder writes under a
        // temporary name and renames only what it finished), so what stands
        // at its output path belongs to another program and stays.
        for (const char* kept : {"unwritable.avi", "stopped.avi", "odd.avi", "crashed.avi", "short.avi",
                                 "unreported.avi", "foreign.avi"}) {
            QVERIFY2(Exists(Scratch(std::string("out/") + kept)), kept);
        }
        QCOMPARE(LogLines("reply 6 1 0").size(), 2);  // the foreign frame was answered too
        QCOMPARE(LogLines("reply 2 0 0").size(), 1);  // property reports while converting change nothing
        QCOMPARE(LogLines("start ").size(), 10);      // all but the long name
        ExpectIdleAfterBatch();
        const ConversionBatch* batch = m_engine->Batch();
        QVERIFY(batch && batch->IsOver());
        QCOMPARE(batch->Entry(5).state, EntryState::Incomplete);
        QCOMPARE(batch->Entry(6).state, EntryState::Converted);
    }

    // A full disk asks once whether to go on: Yes converts the rest, No ends
    // the batch with the rest left for later, and the summary tells both.
    // The encoder tells it by its exit status, whatever the desktop's
    // language.
    // Side by side, the runs going on finish either way, after the first's
    // end, and only the files not started yet are left for later.
    void aFullDiskAsksWhetherToGoOn() {
        DecimalCommaLocale german;
        QVERIFY2(german.Problem().empty(), german.Problem().c_str());
        const std::string firstEnded = Scratch("first.ended");
        connect(m_engine.get(), &ConversionEngine::FileEnded, this, [firstEnded](const BatchEntry& entry) {
            if (entry.row == 0) WriteFile(firstEnded, "");
        });
        ListScripted("first.avi", 10, "r6:1 err:kelvoenc:_cannot_write_out/first.avi:_No_space_left_on_device exit:8");
        const int count = m_atOnce + 2;
        for (int i = 1; i < count; ++i) ListScripted(std::to_string(i) + ".avi", 10, "await:" + firstEnded + " write");
        m_boxes->Answer(QMessageBox::Yes);
        ConvertInto(Scratch("out"));
        QCOMPARE(m_boxes->Shown().size(), 2);
        QCOMPARE(m_boxes->Shown()[0].text,
                 QString("%1 could not be converted: the disk holding %2 is full.\nGo on with the 2 remaining files?")
                     .arg(QString::fromStdString(Scratch("clips/first.avi")), QString::fromStdString(Scratch("out"))));
        QVERIFY(
            m_boxes->Shown()[1].text.startsWith(QString("1 of %1 files was not converted. Total Time:").arg(count)));
        QCOMPARE(m_boxes->Shown()[1].icon, QMessageBox::Warning);
        QCOMPARE(LogLines("start ").size(), count);

        std::filesystem::remove(firstEnded);
        m_boxes->Answer(QMessageBox::No);
        ConvertInto(Scratch("out"));
        QCOMPARE(m_boxes->Shown().size(), 4);
        QVERIFY(m_boxes->Shown()[3].text.startsWith(QString("3 of %1 files were not converted").arg(count)));
        QCOMPARE(m_boxes->Shown()[3].icon, m_atOnce > 1 ? QMessageBox::Warning : QMessageBox::Critical);
        QVERIFY(m_boxes->Shown()[3].details.endsWith(
            QString("These files were left for later:\n%1\n%2")
                .arg(QString::fromStdString(Scratch("clips/" + std::to_string(count - 2) + ".avi")),
                     QString::fromStdString(Scratch("clips/" + std::to_string(count - 1) + ".avi")))));
        QCOMPARE(LogLines("start ").size(), count + m_atOnce);
        ExpectIdleAfterBatch();
    }

    // An encoder that never reports and ignores SIGTERM: Cancel asks anyway,
    // Yes ends it (killed after the grace) and removes what it left, but not
    // the unfinished file another program writes into the same folder.
    void cancelStopsAStuckEncoderBeforeAnyReport() {
        const std::string othersFile = Scratch("out/" + TemporaryOutputName("others01"));
        ListScripted("first.avi", 10, "write");
        ListScripted("stuck.avi", 10, "temp touch:" + othersFile + " ignore-term sleep:60000 write");
        ListScripted("third.avi", 10, "write");
        m_boxes->Answer(QMessageBox::Yes);
        QTimer::singleShot(300, &m_host->presenter.ProgressWindow(), [this] { m_engine->RequestCancel(); });
        QElapsedTimer clock;
        clock.start();
        ConvertInto(Scratch("out"));

        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_boxes->Texts(), QStringList{"Do you really want to stop?"});
        QCOMPARE(LogLines("ignoring SIGTERM").size(), 1);
        // Side by side, the third had started and ended beside the stuck one.
        const int made = m_atOnce > 1 ? 2 : 1;
        QCOMPARE(LogLines("start ").size(), made + 1);
        QVERIFY(Exists(Scratch("out/first.avi")));
        QVERIFY(Exists(othersFile));
        QCOMPARE(
            std::distance(std::filesystem::directory_iterator(Scratch("out")), std::filesystem::directory_iterator()),
            made + 1);
        QCOMPARE(m_engine->Batch()->Entry(1).state, EntryState::Stopped);
        ExpectIdleAfterBatch();
    }

    // A probe that takes long offers Cancel, which ends it even when the
    // encoder ignores SIGTERM.
    // It shows under the window's own title, whatever the last batch left.
    void aSlowProbeShowsReadingAndCancelStopsIt() {
        std::string source = Scratch("clips/slow.mov");
        WriteFile(source + ".script", "ignore-term sleep:60000 r1:5");
        CProgressDlg& progress = m_host->presenter.ProgressWindow();
        progress.ShowCurrentFile(1, 4, "/clips/big 1080p.avi");
        QString reading;
        QString title;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (!progress.isVisible() || !reading.isEmpty()) return;
            reading = progress.ProgressText();
            title = progress.windowTitle();
            progress.findChild<QPushButton*>("control1034")->click();
        });
        watcher.start(20);
        Read({QString::fromStdString(source)});

        QCOMPARE(reading, QString("Reading slow.mov\u2026"));
        QCOMPARE(title, QString("Tarvine"));
        QVERIFY(m_read.isEmpty());
        QCOMPARE(m_refusals, (QList<std::pair<QStringList, int>>{{{}, 0}}));
        QVERIFY(!progress.isVisible());
        QVERIFY(LogLines("reply ").isEmpty());

        // The window goes on at once: a queued event is handled while the
        // probe, which ignored SIGTERM, has not ended yet; it is killed later.
        pid_t pid = LogLines("start pid=")[0].section(' ', 1, 1).section('=', 1).toInt();
        bool handled = false;
        QMetaObject::invokeMethod(
            this, [&handled] { handled = true; }, Qt::QueuedConnection);
        QTRY_VERIFY(handled);
        QCOMPARE(::kill(pid, 0), 0);
        QCOMPARE(m_prober->StoppingRuns(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_prober->StoppingRuns(), 0, 10000);
    }

    void destroyingARunningProcessStopsIt() {
        WriteFile(Scratch("clips/stuck.avi.script"), "ignore-term sleep:60000");
        std::unique_ptr<EncoderProcess> process = CreateEncoderProcess();
        std::string error;
        QVERIFY(process->Start(FAKE_ENCODER_PATH, {Scratch("clips/stuck.avi"), "-o", Scratch("out/x.avi"), "0", "3"},
                               error));
        QTRY_COMPARE(LogLines("ignoring SIGTERM").size(), 1);
        pid_t pid = LogLines("start pid=")[0].section(' ', 1, 1).section('=', 1).toInt();
        process.reset();  // nothing waits for it, yet it is killed after the grace and reaped
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid, 0) == -1 && errno == ESRCH, 10000);
    }

    void anEncoderThatCannotStartEndsTheRunAtOnce() {
        ListScripted("a.avi", 10, "write");
        ListScripted("b.avi", 10, "write");
        std::string notExecutable = Scratch("kelvoenc");
        WriteFile(notExecutable, "#!/bin/sh\n");
        const std::pair<std::string, QString> cases[] = {
            {Scratch("missing/kelvoenc"), "No such file or directory"},
            {notExecutable, "Permission denied"},
        };
        for (const auto& [program, reason] : cases) {
            ConversionEngine engine(program);
            m_host->presenter.Follow(engine);
            m_host->folderText = QString::fromStdString(Scratch("out"));
            engine.ConvertAll(m_host->Order());
            QVERIFY(!engine.IsConverting());
            QCOMPARE(m_boxes->Shown().last().text,
                     QString("The encoder %1 could not be started: %2.").arg(QString::fromStdString(program), reason));
            QCOMPARE(m_boxes->Shown().last().icon, QMessageBox::Critical);
            QVERIFY(m_host->window.isEnabled());
            QVERIFY(!m_host->presenter.ProgressWindow().isVisible());
        }
        QCOMPARE(m_boxes->Shown().size(), 2);  // one message per batch, no summary
    }

    void refusalsBeforeTheBatchChangeNothing() {
        ConvertInto(Scratch("out"));
        QCOMPARE(m_boxes->Shown().last().text, QString("No file in the list"));

        ListScripted("a.avi", 10, "write");
        WriteFile(Scratch("blocker"), "a file where a folder should be");
        ConvertInto(Scratch("blocker/out"));
        QCOMPARE(m_boxes->Shown().last().text.split('\n')[0],
                 QString("Fail to create tmp folder %1").arg(QString::fromStdString(Scratch("blocker/out"))));
        // A folder that takes no file is told once, before any file is tried.
        ConvertInto("/sys/kernel");
        QCOMPARE(m_boxes->Shown().last().text,
                 QString("No file can be written into the output folder /sys/kernel: Permission denied."));
        // A folder's name that lost bytes when read as text names another folder.
        const std::string lost = Scratch("sortie") + "\xEF\xBF\xBD";
        ConvertInto(lost);
        QCOMPARE(m_boxes->Shown().last().text,
                 QString("The output folder %1 has a name that cannot be read as text; choose it again.")
                     .arg(QString::fromStdString(lost)));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(lost)));
        QCOMPARE(m_boxes->Shown().size(), 4);
        QVERIFY(LogLines("start ").isEmpty());
        ExpectIdleAfterBatch();
    }

    void noExistingFileIsEverOverwritten() {
        std::string first = ListScripted("party.avi", 10, "write");
        std::string second = ListScripted("party_avi.avi", 10, "write");
        WriteFile(first, "first source");
        WriteFile(second, "second source");
        ConvertInto(Scratch("clips"));
        QCOMPARE(ReadFile(first), std::string("first source"));
        QCOMPARE(ReadFile(second), std::string("second source"));
        QVERIFY(ReadFile(Scratch("clips/party_avi_1.avi")).find("party.avi") != std::string::npos);
        QVERIFY(ReadFile(Scratch("clips/party_avi_avi.avi")).find("party_avi.avi") != std::string::npos);

        // The same list into the same folder again and again: every earlier result stays.
        std::filesystem::create_directories(Scratch("out"));
        WriteFile(Scratch("out/party.avi"), "the user's own");
        ConvertInto(Scratch("out"));
        ConvertInto(Scratch("out"));
        QCOMPARE(ReadFile(Scratch("out/party.avi")), std::string("the user's own"));
        for (const char* name : {"party_avi.avi", "party_avi_1.avi", "party_avi_avi.avi", "party_avi_avi_1.avi"})
            QVERIFY2(Exists(Scratch(std::string("out/") + name)), name);
    }
};

QTEST_MAIN(EngineProtocolTest)
#include "EngineProtocolTest.moc"
