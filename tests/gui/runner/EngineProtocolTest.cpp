// The engine against a scripted stand-in encoder: the report channel, the
// probe slot, the progress display, the stop question and the batch's
// handling of encoders that fail in ways real files cannot arrange.
#include "EngineTestSupport.h"

#include "gui/windows/CProgressDlg.h"
#include "gui/runner/ConversionEngine.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

class EngineProtocolTest : public QObject {
    Q_OBJECT

private:
    std::string Scratch(const std::string& relative) const { return m_scratch->filePath(QString::fromStdString(relative)).toStdString(); }

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
        m_engine->ConvertAll();
    }

    void ExpectIdleAfterBatch() {
        QVERIFY(m_host->window.isEnabled());
        QVERIFY(!m_engine->ProgressWindow().isVisible());
        QVERIFY(!m_engine->IsConverting());
    }

    std::unique_ptr<QTemporaryDir> m_scratch;
    std::string m_log;
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<MessageBoxResponder> m_boxes;

private slots:
    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        std::filesystem::create_directories(Scratch("clips"));
        m_log = Scratch("encoder.log");
        qputenv("FAKE_ENCODER_LOG", QByteArray::fromStdString(m_log));
        m_host = std::make_unique<TestHost>();
        m_host->settings.outputFolder = Scratch("out");
        m_engine = std::make_unique<ConversionEngine>(*m_host, FAKE_ENCODER_PATH);
        m_boxes = std::make_unique<MessageBoxResponder>();
        m_host->window.show();
    }

    void cleanup() {
        m_boxes.reset();
        m_engine.reset();
        m_host.reset();
        ::chdir("/");
        m_scratch.reset();
    }

    void probeReportsFillTheProbeSlot() {
        m_host->List(Scratch("clips/listed.avi"), 5);
        std::string source = Scratch("clips/a.mov");
        WriteFile(source + ".script", "r1:12 r2:320 r3:240 r4:299700000 r5:11851852");
        EncoderRunResult run = m_engine->RunEncoder(source, Scratch("out/a.avi"), 0, 0, EncoderProbe);
        QVERIFY(run.Succeeded());
        const SourceEntry* slot = m_host->sources.ProbeSlot();
        QCOMPARE(slot->durationSeconds, 12.0);
        QCOMPARE(slot->sourceWidth, 320);
        QCOMPARE(slot->sourceHeight, 240);
        QVERIFY(qAbs(slot->sourceFrameRate - 29.97) < 1e-9);
        QVERIFY(qAbs(slot->sourceSampleAspect - 1.1851852) < 1e-9);
        QVERIFY(!m_engine->Progress().probeFailed);
        QCOMPARE(m_host->sources.Entry(0).durationSeconds, 5.0);

        // The encoder's end of the channel is the last number; stdin is the
        // null device; the working folder is inherited.
        QStringList starts = LogLines("start ");
        QCOMPARE(starts.size(), 1);
        QVERIFY2(starts[0].contains("handle=3 socket=yes stdin=/dev/null"), qPrintable(starts[0]));
        QVERIFY2(starts[0].contains(" cwd=" + QString::fromStdString(std::filesystem::current_path().string()) + " "),
                 qPrintable(starts[0]));
        QVERIFY2(starts[0].endsWith(" 1 3"), qPrintable(starts[0]));
        QCOMPARE(LogLines("reply ").filter(QRegularExpression(" 0$")).size(), 5);

        // An unknown pixel shape is taken as square and refuses nothing.
        WriteFile(source + ".script", "r4:-5 r5:0");
        m_engine->RunEncoder(source, Scratch("out/a.avi"), 0, 0, EncoderProbe);
        QVERIFY(qAbs(slot->sourceFrameRate - 214.7483647) < 1e-9);
        QCOMPARE(slot->sourceSampleAspect, 1.0);
        QVERIFY(!m_engine->Progress().probeFailed);

        WriteFile(source + ".script", "r1:0 r2:-1 r4:0");
        m_engine->RunEncoder(source, Scratch("out/a.avi"), 0, 0, EncoderProbe);
        QVERIFY(m_engine->Progress().probeFailed);
        QCOMPARE(slot->durationSeconds, 12.0);
        QCOMPARE(slot->sourceWidth, 320);
    }

    void aFullListDropsPropertyReports() {
        for (int i = 0; i < SourceList::kCapacity; ++i) m_host->List(Scratch("clips/f" + std::to_string(i)), 1);
        std::string source = Scratch("clips/extra.mov");
        WriteFile(source + ".script", "r1:7 r2:0 r3:9");
        QVERIFY(m_engine->RunEncoder(source, Scratch("out/x.avi"), 0, 0, EncoderProbe).Succeeded());
        QCOMPARE(LogLines("reply ").size(), 3);
        QVERIFY(!m_engine->Progress().probeFailed);
        QCOMPARE(m_host->sources.fileCount(), 99);
        QCOMPARE(m_host->sources.totalDuration(), 99.0);
        QCOMPARE(m_host->sources.Entry(98).sourceHeight, 240);
    }

    void progressShowsThePositionInTheWholeBatch() {
        ListScripted("first.avi", 200, "write");
        ListScripted("second.avi", 800, "r6:50 write", 17.5);
        ConvertInto(Scratch("out"));

        QVERIFY2(m_engine->ProgressWindow().ProgressText().endsWith(";Finished 25.0%"),
                 qPrintable(m_engine->ProgressWindow().ProgressText()));
        QCOMPARE(m_engine->ProgressWindow().BarPosition(), 250);
        QCOMPARE(m_boxes->Shown().size(), 1);
        QVERIFY(m_boxes->Shown()[0].text.startsWith("Mission accomplished! Total Time:00:00:0"));
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Information);
        QVERIFY(Exists(Scratch("out/first.avi")));
        QVERIFY(Exists(Scratch("out/second.avi")));
        ExpectIdleAfterBatch();

        // Each run takes its own entry's frame rate; the batch runs in the output folder.
        QStringList starts = LogLines("start ");
        QCOMPARE(starts.size(), 2);
        QVERIFY(starts[0].contains("-ofps 25.000000"));
        QVERIFY(starts[1].contains("-ofps 17.500000"));
        QVERIFY(starts[1].contains(" cwd=" + QString::fromStdString(Scratch("out")) + " "));
    }

    void aFirstReportOfZeroEstimatesTheListsDuration() {
        ListScripted("long.avi", 1000, "r6:0 write");
        ConvertInto(Scratch("out"));
        QString text = m_engine->ProgressWindow().ProgressText();
        QVERIFY2(text.startsWith("Total time:00:16:40;Elapsed time:") && text.endsWith(";Finished 0.0%"),
                 qPrintable(text));
    }

    void progressBeyondTheTotalIsIgnored() {
        ListScripted("short.avi", 100, "r6:50 r6:150 write");
        ConvertInto(Scratch("out"));
        QVERIFY(m_engine->ProgressWindow().ProgressText().endsWith(";Finished 50.0%"));
        QCOMPARE(m_engine->ProgressWindow().BarPosition(), 500);
    }

    void aRepeatedValueChangesNothingButStillCountsAndAsks() {
        ListScripted("clip.avi", 100, "r6:10 r6:10 r6:10 write");
        // The close box asks to stop, like Cancel, once the first report is shown.
        CProgressDlg& progress = m_engine->ProgressWindow();
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
        QCOMPARE(m_engine->Progress().pumpCounter, 3);
        QVERIFY(!m_engine->Progress().cancelRequested);
        QCOMPARE(LogLines("reply 6 10 0").size(), 3);
        QVERIFY(Exists(Scratch("out/clip.avi")));
    }

    void aConfirmedStopRemovesWhatTheStoppedRunLeft() {
        ListScripted("first.avi", 10, "r6:5 write");
        ListScripted("second.avi", 10, "write r6:4 r6:6 write");
        ListScripted("third.avi", 10, "write");
        CProgressDlg& progress = m_engine->ProgressWindow();
        auto* cancel = progress.findChild<QPushButton*>("control1034");
        connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, cancel, [cancel](int value) {
            if (value == 466) cancel->click();  // the second file's first report
        });
        m_boxes->Answer(QMessageBox::Yes);
        ConvertInto(Scratch("out"));

        QCOMPARE(m_boxes->Shown().size(), 1);
        QCOMPARE(LogLines("reply 6 6 1").size(), 1);
        QVERIFY(Exists(Scratch("out/first.avi")));
        QVERIFY(!Exists(Scratch("out/second.avi")));
        QCOMPARE(LogLines("start ").size(), 2);
        ExpectIdleAfterBatch();
    }

    void failedFilesAreListedAndTheBatchGoesOn() {
        ListScripted("refused.avi", 10, "r6:1 write err:kelvoenc:_cannot_decode_frame_7 exit:1");
        ListScripted("crashed.avi", 10, "r6:2 write kill:9");
        ListScripted("unreported.avi", 10, "close write");
        ListScripted("silent.avi", 10, "");
        ListScripted("torn.avi", 10, "partial");
        ListScripted("foreign.avi", 10, "foreign write");
        std::string longName(240, 'n');
        ListScripted(longName + ".avi", 10, "write");
        ConvertInto(Scratch("out"));

        QCOMPARE(m_boxes->Shown().size(), 1);
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Warning);
        QStringList lines = m_boxes->Shown()[0].text.split('\n');
        QVERIFY(lines[0].startsWith("Mission accomplished! Total Time:"));
        QStringList expected{
            QString::fromStdString(Scratch("clips/refused.avi")) + ": kelvoenc: cannot decode frame 7",
            QString::fromStdString(Scratch("clips/crashed.avi")) + ": the encoder was stopped by signal 9 (Killed)",
            QString::fromStdString(Scratch("clips/silent.avi")) + ": the encoder wrote no output file",
            QString::fromStdString(Scratch("clips/torn.avi")) + ": the encoder wrote no output file",
            QString::fromStdString(Scratch("clips/" + longName + ".avi")) +
                ": the output path would be longer than 255 characters",
        };
        QCOMPARE(lines.mid(3), expected);

        QVERIFY(!Exists(Scratch("out/refused.avi")));
        QVERIFY(!Exists(Scratch("out/crashed.avi")));
        QVERIFY(Exists(Scratch("out/unreported.avi")));
        QVERIFY(Exists(Scratch("out/foreign.avi")));
        QCOMPARE(LogLines("reply 6 1 0").size(), 2);  // the foreign frame was answered too
        QCOMPARE(LogLines("start ").size(), 6);
        ExpectIdleAfterBatch();
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
            ConversionEngine engine(*m_host, program);
            m_host->folderText = QString::fromStdString(Scratch("out"));
            engine.ConvertAll();
            QCOMPARE(m_boxes->Shown().last().text,
                     QString("The encoder %1 could not be started: %2.").arg(QString::fromStdString(program), reason));
            QCOMPARE(m_boxes->Shown().last().icon, QMessageBox::Critical);
            QVERIFY(m_host->window.isEnabled());
            QVERIFY(!engine.ProgressWindow().isVisible());
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
        QCOMPARE(m_boxes->Shown().size(), 2);
        QVERIFY(LogLines("start ").isEmpty());
        ExpectIdleAfterBatch();
    }

    void listedSourcesAreNeverOverwritten() {
        std::string first = ListScripted("party.avi", 10, "write");
        std::string second = ListScripted("party_avi.avi", 10, "write");
        WriteFile(first, "first source");
        WriteFile(second, "second source");
        ConvertInto(Scratch("clips"));

        QCOMPARE(ReadFile(first), std::string("first source"));
        QCOMPARE(ReadFile(second), std::string("second source"));
        QVERIFY(ReadFile(Scratch("clips/party_avi_1.avi")).find("party.avi") != std::string::npos);
        QVERIFY(ReadFile(Scratch("clips/party_avi_avi.avi")).find("party_avi.avi") != std::string::npos);
    }
};

QTEST_MAIN(EngineProtocolTest)
#include "EngineProtocolTest.moc"
