// Batches through the real encoder on clips made with ffmpeg's test sources:
// files are probed as the Add command does, then converted, cancelled or not.
#include "ClipMaker.h"
#include "EngineTestSupport.h"

#include "core/FormatCatalogue.h"
#include "engine/ConversionEngine.h"
#include "engine/SourceProber.h"
#include "gui/windows/CProgressDlg.h"

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

class BatchConversionTest : public QObject {
    Q_OBJECT

private:
    static constexpr int kFirstSeconds = 2;
    static constexpr int kSecondSeconds = 30;  // long enough to be running still when the first ends, side by side too
    static constexpr int kThirdSeconds = 2;

    static bool MakeClip(const QString& path, int seconds) {
        return ::MakeClip(path, "160x120", 10, seconds, {"-c:v", "mpeg4", "-c:a", "mp2"});
    }

    std::string Clip(const char* name) const { return m_clips.filePath(name).toStdString(); }

    // Adds the clips the way the Add command does: read together, each
    // listed in its turn.
    void AddClips() {
        SourceProber prober(m_engine->Launcher());
        m_host->presenter.Follow(prober);
        connect(&prober, &SourceProber::SourceRead, this,
                [this](const SourceEntry& source) { QVERIFY(m_host->sources.Append(source)); });
        prober.Add({Clip("one.avi"), Clip("two.avi"), Clip("three.avi")}, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!prober.IsReading(), 30000);
        QCOMPARE(m_host->sources.fileCount(), 3);
        QCOMPARE(m_host->sources.Entry(2).path, Clip("three.avi"));
        QCOMPARE(m_host->sources.totalDuration(), double(kFirstSeconds + kSecondSeconds + kThirdSeconds));
        QCOMPARE(m_host->sources.Entry(0).sourceWidth, 160);
        QCOMPARE(m_host->sources.Entry(0).sourceHeight, 120);
        QVERIFY(qAbs(m_host->sources.Entry(0).sourceFrameRate - 10.0) < 1e-6);
    }

    // Presses Cancel once the first file has ended and the second has made
    // progress of its own since.
    void CancelDuringTheSecondFile() {
        auto* cancel = m_host->presenter.ProgressWindow().findChild<QPushButton*>("control1034");
        auto firstEnded = std::make_shared<bool>(false);
        auto pressed = std::make_shared<bool>(false);
        connect(m_engine.get(), &ConversionEngine::FileEnded, cancel, [firstEnded](const BatchEntry& entry) {
            if (entry.row == 0) *firstEnded = true;
        });
        connect(m_engine.get(), &ConversionEngine::Progressed, cancel,
                [cancel, firstEnded, pressed](const RunProgress& progress) {
                    if (progress.index != 1 || progress.seconds <= 0 || !*firstEnded || *pressed) return;
                    *pressed = true;
                    cancel->click();
                });
    }

    void ConvertAll() {
        m_engine->ConvertAll(m_host->Order());
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->IsConverting(), 60000);
    }

    std::string Output(const char* name) const { return m_out + "/" + name; }

    QTemporaryDir m_clips;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::string m_out;
    fs::path m_startFolder;  // the working directory when the test began
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<MessageBoxResponder> m_boxes;

private slots:
    void initTestCase() {
        QVERIFY(MakeClip(m_clips.filePath("one.avi"), kFirstSeconds));
        QVERIFY(MakeClip(m_clips.filePath("two.avi"), kSecondSeconds));
        QVERIFY(MakeClip(m_clips.filePath("three.avi"), kThirdSeconds));
    }

    void init() {
        m_startFolder = fs::current_path();
        m_scratch = std::make_unique<QTemporaryDir>();
        m_out = m_scratch->filePath("out/a/b").toStdString();
        m_host = std::make_unique<TestHost>();
        m_host->settings.outputFolder = m_out;
        m_host->folderText = QString::fromStdString(m_out);
        m_engine = std::make_unique<ConversionEngine>(KELVOENC_PATH, nullptr, TestCores());
        m_host->Follow(*m_engine);
        m_boxes = std::make_unique<MessageBoxResponder>();
        m_host->window.show();
        AddClips();
    }

    void cleanup() {
        m_boxes.reset();
        m_engine.reset();
        m_host.reset();
        m_scratch.reset();
    }

    void aCancelAnsweredNoFinishesTheBatch() {
        CancelDuringTheSecondFile();
        m_boxes->Answer(QMessageBox::No);
        ConvertAll();

        QCOMPARE(m_boxes->Shown().size(), 2);
        QCOMPARE(m_boxes->Shown()[0].text, QString("Do you really want to stop?"));
        QVERIFY(m_boxes->Shown()[1].text.startsWith("Mission accomplished! Total Time:00:00:"));
        QCOMPARE(m_boxes->Shown()[1].icon, QMessageBox::Information);
        // The new nested folder was made; the working directory stayed where it was.
        QVERIFY(fs::is_directory(m_out));
        QCOMPARE(fs::current_path(), m_startFolder);
        for (const char* name : {"one.avi", "two.avi", "three.avi"}) QVERIFY2(fs::exists(Output(name)), name);
        QVERIFY(m_host->window.isEnabled());
        QVERIFY(!m_host->presenter.ProgressWindow().isVisible());

        QProcess probe;
        probe.start(FFPROBE_PATH, {"-v", "error", "-show_entries", "stream=codec_type:format=duration", "-of",
                                   "default=nw=1", QString::fromStdString(Output("one.avi"))});
        QVERIFY(probe.waitForFinished());
        QString report = probe.readAllStandardOutput();
        QVERIFY2(report.contains("codec_type=video") && report.contains("codec_type=audio"), qPrintable(report));
        double duration = report.section("duration=", 1).section('\n', 0, 0).toDouble();
        QVERIFY2(qAbs(duration - kFirstSeconds) < 0.5, qPrintable(report));
    }

    void aConfirmedCancelStopsDuringTheSecondFile() {
        CancelDuringTheSecondFile();
        m_boxes->Answer(QMessageBox::Yes);
        ConvertAll();

        QCOMPARE(m_boxes->Shown().size(), 1);  // the question, and no summary
        QCOMPARE(m_boxes->Shown()[0].text, QString("Do you really want to stop?"));
        QVERIFY(m_engine->Batch()->Entry(1).state == EntryState::Stopped);
        QVERIFY(m_host->window.isEnabled());
        QVERIFY(!m_host->presenter.ProgressWindow().isVisible());
        // What was finished stays and what was stopped is gone; side by side,
        // the third was finished or stopped, one at a time never started.
        const ConversionBatch& batch = *m_engine->Batch();
        QCOMPARE(batch.Entry(0).state, EntryState::Converted);
        QCOMPARE(batch.Entry(1).state, EntryState::Stopped);
        if (m_host->settings.conversionsAtOnce == 1) QCOMPARE(batch.Entry(2).state, EntryState::Waiting);
        int kept = 0;
        for (int index = 0; index < batch.EntryCount(); ++index) {
            const BatchEntry& entry = batch.Entry(index);
            QVERIFY(entry.state != EntryState::Converting);
            const bool converted = entry.state == EntryState::Converted;
            QCOMPARE(!entry.outputPath.empty() && fs::exists(entry.outputPath), converted);
            kept += converted;
        }
        // Nothing else was left in the folder by the stopped runs.
        QCOMPARE(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), kept);
    }

    // A DVD batch with the disc image on ends in the image, then in the
    // summary; Cancel while the image is made stops only the image.
    void aDiscBatchEndsInItsImageAndCancelStopsOnlyTheImage() {
        m_host->settings.outputFormat = FormatDvd;
        m_host->settings.discImage = 1;
        ConvertAll();
        QCOMPARE(m_boxes->Shown().size(), 1);
        QVERIFY(m_boxes->Shown()[0].text.startsWith("Mission accomplished! Total Time:00:00:"));
        QVERIFY2(m_boxes->Shown()[0].text.contains("The disc image was made: \"" +
                                                   QString::fromStdString(Output("Tarvine disc.iso"))),
                 qPrintable(m_boxes->Shown()[0].text));
        QCOMPARE(m_boxes->Shown()[0].icon, QMessageBox::Information);
        QVERIFY(fs::is_regular_file(Output("Tarvine disc.iso")));

        connect(m_engine.get(), &ConversionEngine::StateChanged, this, [this](ConversionEngine::State state) {
            if (state == ConversionEngine::State::MakingDiscImage) m_engine->RequestCancel();
        });
        const auto before = std::distance(fs::directory_iterator(m_out), fs::directory_iterator());
        ConvertAll();
        QCOMPARE(m_boxes->Shown().size(), 2);
        QVERIFY(m_boxes->Shown()[1].text.contains("Making the disc image was stopped; nothing of it was kept."));
        QCOMPARE(m_boxes->Shown()[1].icon, QMessageBox::Warning);
        // The second batch's three files are kept; nothing of its image is,
        // once the stopped tool has gone.
        QTRY_COMPARE(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), before + 3);
    }
};

QTEST_MAIN(BatchConversionTest)
#include "BatchConversionTest.moc"
