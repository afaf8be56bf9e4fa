// The program's whole purpose on the offscreen platform: files added through
// the Add command are probed by the real encoder, listed, reordered and
// converted, and the outputs are checked with ffprobe and ffmpeg.
#include "ClipMaker.h"
#include "DecimalCommaLocale.h"
#include "FileListTestSupport.h"
#include "ScreenshotSupport.h"

#include "core/FileOrder.h"
#include "core/FormatCatalogue.h"
#include "engine/ConversionEngine.h"
#include "gui/res/CommandIds.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CProgressDlg.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct ClipRecipe {
    const char* name;
    const char* size;
    int rate;
    int seconds;
    QStringList codecs;
};

// "a.avi" and friends: four containers, four sizes, four frame rates.
const ClipRecipe kClips[] = {
    {"a.avi", "320x240", 25, 2, {"-c:v", "mpeg4", "-c:a", "mp2"}},
    {"b.mp4", "320x180", 30, 2, {"-c:v", "mpeg4", "-c:a", "aac"}},
    {"c.flv", "176x144", 15, 3, {"-c:v", "flv1", "-c:a", "libmp3lame"}},
    {"d.mov", "352x288", 20, 2, {"-c:v", "mpeg4", "-c:a", "aac"}},
    {"long.avi", "160x120", 10, 8, {"-c:v", "mpeg4", "-c:a", "mp2"}},
};

bool MakeClip(const QString& path, const ClipRecipe& clip) {
    return ::MakeClip(path, clip.size, clip.rate, clip.seconds, clip.codecs);
}

// What ffprobe says of a file's first video stream and its container.
struct Probe {
    int width = 0;
    int height = 0;
    double fps = 0.0;
    double seconds = 0.0;
};

Probe ProbeFile(const QString& path) {
    QProcess process;
    process.start(FFPROBE_PATH, {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                 "stream=width,height,r_frame_rate:format=duration", "-of", "default=nw=1", path});
    process.waitForFinished(30000);
    Probe probe;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        QString key = line.section('=', 0, 0);
        QString value = line.section('=', 1);
        if (key == "width") probe.width = value.toInt();
        if (key == "height") probe.height = value.toInt();
        if (key == "duration") probe.seconds = value.toDouble();
        if (key == "r_frame_rate") probe.fps = value.section('/', 0, 0).toDouble() / value.section('/', 1).toDouble();
    }
    return probe;
}

// The picture's non-black area as "w:h:x:y", found by ffmpeg's cropdetect
// over the whole file.
QString PictureArea(const QString& path) {
    QString errors;
    if (!RunFfmpeg({"-i", path, "-vf", "cropdetect=limit=24:round=2:reset=0", "-f", "null", "-"}, &errors)) return {};
    QRegularExpressionMatch last;
    auto matches = QRegularExpression("crop=(\\d+:\\d+:\\d+:\\d+)").globalMatch(errors);
    while (matches.hasNext()) last = matches.next();
    return last.captured(1);
}

// Every decoded picture and sound frame of a file, with its time, as
// ffmpeg's framemd5 lists them: equal lists mean the same film.
QByteArray Frames(const QString& path) {
    QProcess process;
    process.start(FFMPEG_PATH, {"-v", "error", "-i", path, "-f", "framemd5", "-"});
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

// The main window with the progress window over its middle, as the user
// sees them during a batch, the progress window under a plain title bar
// with its title (the window manager draws the real one).
QImage GrabBatch(QWidget& window, QWidget& progress) {
    QImage picture = window.grab().toImage();
    QImage over = progress.grab().toImage();
    QPainter painter(&picture);
    QFont titleFont = progress.font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() + 8;
    QPoint corner((picture.width() - over.width()) / 2, (picture.height() - over.height() + titleHeight) / 2);
    QRect titleBar(corner - QPoint(0, titleHeight), QSize(over.width(), titleHeight));
    painter.fillRect(titleBar, QColor(223, 227, 232));
    painter.setFont(titleFont);
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(titleBar.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, progress.windowTitle());
    painter.drawImage(corner, over);
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(
        QRect(titleBar.topLeft(), QSize(over.width(), over.height() + titleHeight)).adjusted(-1, -1, 0, 0));
    return picture;
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private:
    QString Clip(const char* name) const { return m_clips.filePath(name); }
    QString Output(const QString& name) const { return QString::fromStdString(m_out) + name; }

    // A window that runs the real encoder and converts into a fresh folder.
    std::unique_ptr<WindowUnderTest> NewWindow() {
        auto window = std::make_unique<WindowUnderTest>();
        (*window)->SetEncoderProgram(KELVOENC_PATH);
        window->SetOutputFolder(m_out);
        (*window)->show();
        return window;
    }

    void VerifyConverted(const QString& output, const char* clipName) {
        const ClipRecipe* clip = nullptr;
        for (const ClipRecipe& recipe : kClips)
            if (QLatin1String(recipe.name) == QLatin1String(clipName)) clip = &recipe;
        QVERIFY2(QFile::exists(output), qPrintable(output));
        Probe probe = ProbeFile(output);
        const QString size = QStringLiteral("%1x%2").arg(probe.width).arg(probe.height);
        QVERIFY2(size == QLatin1String(clip->size), qPrintable(output + ": " + size));
        QVERIFY2(qAbs(probe.fps - clip->rate) < 0.01, qPrintable(output + ": " + QString::number(probe.fps)));
        QVERIFY2(qAbs(probe.seconds - clip->seconds) < 0.3, qPrintable(output + ": " + QString::number(probe.seconds)));
    }

    // Closes the main window, as its close box does, once the batch's bar
    // has passed the first file's share.
    void CloseDuringTheSecondFile(CConverterDlg& window, int firstShare) {
        CProgressDlg& progress = window.ProgressWindow();
        auto closed = std::make_shared<bool>(false);
        connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &window,
                [&window, firstShare, closed](int value) {
                    if (value <= firstShare || *closed) return;
                    *closed = true;
                    window.close();
                });
    }

    QTemporaryDir m_clips;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::string m_out;
    QString m_notMedia[5];
    QString m_blink;  // half a second: listed as one second

private slots:
    void initTestCase() {
        for (const ClipRecipe& clip : kClips) QVERIFY2(MakeClip(Clip(clip.name), clip), clip.name);

        m_notMedia[0] = Clip("notes.txt");
        m_notMedia[1] = Clip("noise.avi");
        m_notMedia[2] = Clip("tone.mp3");
        m_notMedia[3] = Clip("empty.mpg");
        m_notMedia[4] = Clip("stuck.avi");  // a pipe nobody writes to never opens
        m_blink = Clip("blink.avi");
        QVERIFY(::mkfifo(QFile::encodeName(m_notMedia[4]).constData(), 0600) == 0);
        QFile notes(m_notMedia[0]);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Shopping list: milk, bread, tape.\n");
        QFile noise(m_notMedia[1]);
        QVERIFY(noise.open(QIODevice::WriteOnly));
        for (int i = 0; i < 16384; ++i) {
            quint32 word = QRandomGenerator::global()->generate();
            noise.write(reinterpret_cast<const char*>(&word), sizeof word);
        }
        QVERIFY(RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", "sine=duration=2", m_notMedia[2]}));
        QVERIFY(RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=10", "-t", "0.5",
                           "-c:v", "mpeg4", m_blink}));
        QFile empty(m_notMedia[3]);
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }

    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        m_out = m_scratch->filePath("out").toStdString() + "/";
    }

    void cleanup() {
        ::chdir("/");
        m_scratch.reset();
    }

    void addListsTheReadableFilesAndThenRefusesTheOthers();
    void droppedFilesAreAddedAsAddAddsThem();
    void rowsKeepTheirOwnValuesThroughRemoveMoveAndConvert();
    void dvdPalLetterboxPadsEachSourceByItsDisplayShape();
    void confirmedCancelKeepsTheFirstOutputOnly();
    void aLongOutputFolderIsCheckedWhenConverting();
    void awkwardPathsGoThroughAddAndConvertUnchanged();
    void aSelectionBeyondNinetyNineRowsAddsWhatFits();
    void aDecimalCommaDesktopReadsAndConvertsAlike();
    void theListAndTheBatchAreDrawnForTheUser();
    void aSavedListConvertsAnywhereAsInTheWindow();
    void thePicturePageShowsTheOutputAndFollowsTheSlider();
};

void EndToEndTest::addListsTheReadableFilesAndThenRefusesTheOthers() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    int rowsWhenTold = -1;
    QTimer intruder;
    boxes.onShow = [&] {
        intruder.stop();  // the probes are over
        if (rowsWhenTold < 0) rowsWhenTold = window->RowCount();
    };

    const QStringList chosen = {Clip("a.avi"), m_notMedia[0], Clip("b.mp4"), m_notMedia[1], Clip("c.flv"),
                                m_notMedia[2], m_notMedia[3], m_blink,       m_notMedia[4], Clip("a.avi")};
    int dialogs = 0;
    bool disabledDuringProbes = false;
    (*window)->SetFileChooser([&](QWidget*, const QString&) {
        ++dialogs;
        return chosen;
    });
    // Commands and keys tried while the probes run must not run nested
    // inside Add, and the window is not drawn disabled meanwhile.
    (*window)->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&**window));
    window->List()->setFocus();
    connect(&intruder, &QTimer::timeout, [&] {
        if (!(*window)->isEnabled()) disabledDuringProbes = true;
        (*window)->OnCommand(IDC_ADD);
        (*window)->OnCommand(IDC_SIDE_REMOVE);
        QTest::keyClick(window->List(), Qt::Key_Escape);
    });
    intruder.start(1);
    (*window)->OnCommand(IDC_ADD);
    QVERIFY(window->WaitUntilIdle());
    intruder.stop();

    QCOMPARE(dialogs, 1);
    QVERIFY(!disabledDuringProbes);
    QVERIFY((*window)->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), window->List());
    QCOMPARE(window->Rows(),
             QStringList({Number(1) + "|" + Clip("a.avi") + "|00:00:02", Number(2) + "|" + Clip("b.mp4") + "|00:00:02",
                          Number(3) + "|" + Clip("c.flv") + "|00:00:03", Number(4) + "|" + m_blink + "|00:00:01",
                          Number(5) + "|" + Clip("a.avi") + "|00:00:02"}));
    QCOMPARE((*window)->Sources().totalDuration(), 10.0);
    QCOMPARE((*window)->Sources().Entry(1).sourceWidth, 320);
    QCOMPARE((*window)->Sources().Entry(1).sourceHeight, 180);
    QCOMPARE((*window)->Sources().Entry(2).sourceFrameRate, 15.0);

    QStringList refusals;
    for (const QString& path : m_notMedia) refusals << QStringLiteral("Load file %1 failed.").arg(path);
    QCOMPARE(boxes.Texts(), refusals);
    QCOMPARE(boxes.Shown()[0].caption, QApplication::applicationDisplayName());
    QCOMPARE(rowsWhenTold, 5);
    // Probing writes nothing into the output folder.
    QVERIFY(!fs::exists(m_out) || fs::is_empty(m_out));
}

void EndToEndTest::droppedFilesAreAddedAsAddAddsThem() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    QVERIFY(DropFiles(window->List()->viewport(), {Clip("a.avi"), m_notMedia[0], Clip("b.mp4")}));
    QTRY_COMPARE(window->Rows(), QStringList({Number(1) + "|" + Clip("a.avi") + "|00:00:02",
                                              Number(2) + "|" + Clip("b.mp4") + "|00:00:02"}));
    QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("Load file %1 failed.").arg(m_notMedia[0])});

    // The folder box and the window's free space take files too; the box
    // keeps its text.
    const QString folder = window->FolderBox()->text();
    QVERIFY(DropFiles(window->FolderBox(), {Clip("c.flv")}));
    QVERIFY(DropFiles(&**window, {Clip("d.mov")}));
    QTRY_COMPARE(window->Rows().size(), 4);
    QCOMPARE(window->Rows()[3], Number(4) + "|" + Clip("d.mov") + "|00:00:02");
    QCOMPARE(window->FolderBox()->text(), folder);

    // A web address is no file, and a busy window takes nothing.
    QVERIFY(!Drop(window->List()->viewport(), {QUrl("https://www.tarvine.example/clip.avi")}));
    (*window)->setEnabled(false);
    QVERIFY(!DropFiles(window->List()->viewport(), {Clip("a.avi")}));
    (*window)->setEnabled(true);
    QTest::qWait(50);
    QCOMPARE(window->Rows().size(), 4);
    QCOMPARE(boxes.Shown().size(), 1);
}

void EndToEndTest::rowsKeepTheirOwnValuesThroughRemoveMoveAndConvert() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("a.avi"), Clip("b.mp4"), Clip("c.flv"), Clip("d.mov")});
    QCOMPARE((*window)->Sources().fileCount(), 4);

    window->Select(1);
    (*window)->OnCommand(IDC_SIDE_REMOVE);
    window->Select(2);
    (*window)->OnCommand(IDC_SIDE_UP);
    window->Add({Clip("a.avi")});  // the same file again is converted again
    QCOMPARE(
        window->Rows(),
        QStringList({Number(1) + "|" + Clip("a.avi") + "|00:00:02", Number(2) + "|" + Clip("d.mov") + "|00:00:02",
                     Number(3) + "|" + Clip("c.flv") + "|00:00:03", Number(4) + "|" + Clip("a.avi") + "|00:00:02"}));
    QCOMPARE((*window)->Sources().totalDuration(), 9.0);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(window->Text(row, 1).toStdString(), (*window)->Sources().Entry(row).path);

    window->Convert();
    QCOMPARE(boxes.Shown().size(), 1);
    QVERIFY2(boxes.Shown()[0].text.startsWith("Mission accomplished! Total Time:"), qPrintable(boxes.Shown()[0].text));
    VerifyConverted(Output("a.avi"), "a.avi");
    VerifyConverted(Output("d.avi"), "d.mov");
    VerifyConverted(Output("c.avi"), "c.flv");
    VerifyConverted(Output("a_avi.avi"), "a.avi");
    QCOMPARE(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), 4);
    // Converted in the list's order.
    auto written = [this](const char* name) { return fs::last_write_time(m_out + name); };
    QVERIFY(written("a.avi") < written("d.avi"));
    QVERIFY(written("d.avi") < written("c.avi"));
    QVERIFY(written("c.avi") < written("a_avi.avi"));
    // Converted files stay listed.
    QCOMPARE(window->Rows().size(), 4);
}

void EndToEndTest::dvdPalLetterboxPadsEachSourceByItsDisplayShape() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    ConversionSettings& settings = (*window)->Settings();
    settings.outputFormat = 7;  // DVD
    settings.tvMode = 1;        // PAL
    settings.letterbox = 1;
    // The 16:9 PAL frame shows 720x576 pixels 1024 wide: a 352x288 square-pixel
    // picture (11:9) is narrower than that, a 320x180 one (16:9) just fits.
    window->Add({Clip("d.mov"), Clip("b.mp4")});
    QCOMPARE((*window)->Sources().fileCount(), 2);
    window->Convert();
    QCOMPARE(boxes.Shown().size(), 1);

    for (const char* name : {"d.vob", "b.vob"}) {
        Probe probe = ProbeFile(Output(name));
        QCOMPARE(QStringLiteral("%1x%2").arg(probe.width).arg(probe.height), QStringLiteral("720x576"));
        QVERIFY(qAbs(probe.fps - 25.0) < 0.01);
    }
    // Side bars of about 112 pixels each around a 495x576 picture.
    QStringList pillar = PictureArea(Output("d.vob")).split(':');
    QCOMPARE(pillar.size(), 4);
    QVERIFY2(qAbs(pillar[0].toInt() - 495) <= 4 && qAbs(pillar[2].toInt() - 112) <= 3 && pillar[1].toInt() >= 572,
             qPrintable(pillar.join(':')));
    // No bars: the 16:9 picture fills the 16:9 frame.
    QStringList full = PictureArea(Output("b.vob")).split(':');
    QCOMPARE(full.size(), 4);
    QVERIFY2(full[0].toInt() >= 716 && full[1].toInt() >= 572, qPrintable(full.join(':')));
}

// The close box during a batch asks as Cancel does, with the same outcome,
// and the program closes once the batch has stopped.
void EndToEndTest::confirmedCancelKeepsTheFirstOutputOnly() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("a.avi"), Clip("long.avi"), Clip("c.flv")});
    QCOMPARE((*window)->Sources().totalDuration(), 13.0);
    (*window)->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&**window));
    window->FolderBox()->setFocus();

    CloseDuringTheSecondFile(**window, 1000 * 2 / 13);
    boxes.Answer(QMessageBox::Yes);
    window->Convert();

    QCOMPARE(boxes.Texts(), QStringList{"Do you really want to stop?"});
    VerifyConverted(Output("a.avi"), "a.avi");
    QVERIFY(!QFile::exists(Output("long.avi")));
    QVERIFY(!QFile::exists(Output("c.avi")));
    QCOMPARE(std::distance(fs::directory_iterator(m_out), fs::directory_iterator()), 1);
    QVERIFY(!(*window)->isVisible());
    QVERIFY(!(*window)->ProgressWindow().isVisible());
}

// A folder too long for the names is no reason to refuse a readable file;
// the conversion names the files it cannot write.
void EndToEndTest::aLongOutputFolderIsCheckedWhenConverting() {
    m_out = m_scratch->filePath(QString(240, QLatin1Char('o'))).toStdString() + "/";
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("a.avi")});
    QCOMPARE(window->Rows().size(), 1);
    QVERIFY(boxes.Shown().isEmpty());

    window->Convert();
    QCOMPARE(boxes.Shown().size(), 1);
    QVERIFY2(boxes.Shown()[0].text.startsWith("1 of 1 files was not converted."), qPrintable(boxes.Shown()[0].text));
    QVERIFY2(boxes.Shown()[0].details.endsWith(Clip("a.avi") + ": the output path would be longer than 255 characters"),
             qPrintable(boxes.Shown()[0].details));
}

void EndToEndTest::awkwardPathsGoThroughAddAndConvertUnchanged() {
    const QString folder = m_scratch->filePath(QStringLiteral("with blank \"quote\" Ünïcødé"));
    QVERIFY(QDir().mkpath(folder));
    const QString source = folder + QStringLiteral("/clip \"one\" é.avi");
    QVERIFY(QFile::copy(Clip("a.avi"), source));
    m_out = m_scratch->filePath(QStringLiteral("out \"x\" ö")).toStdString() + "/";

    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({source});
    QCOMPARE(window->Rows(), QStringList{Number(1) + "|" + source + "|00:00:02"});
    QCOMPARE((*window)->Sources().Entry(0).path, source.toStdString());

    window->Convert();
    QCOMPARE(boxes.Shown().size(), 1);
    VerifyConverted(Output(QStringLiteral("clip \"one\" é.avi")), "a.avi");
    QVERIFY(QFile::exists(source));
}

void EndToEndTest::aSelectionBeyondNinetyNineRowsAddsWhatFits() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    for (int row = 0; row < 97; ++row)
        (*window)->AppendRow({"/listed/" + std::to_string(row) + ".avi", 1.0, 320, 240, 25.0});
    window->Add({Clip("a.avi"), m_notMedia[0], Clip("b.mp4"), Clip("c.flv"), Clip("d.mov")});

    QCOMPARE((*window)->Sources().fileCount(), 99);
    QCOMPARE(window->Rows()[97], Number(98) + "|" + Clip("a.avi") + "|00:00:02");
    QCOMPARE(window->Rows()[98], Number(99) + "|" + Clip("b.mp4") + "|00:00:02");
    QCOMPARE(boxes.Texts(),
             QStringList({QStringLiteral("Load file %1 failed.").arg(m_notMedia[0]),
                          "2 of the selected files could not be added: the list holds at most 99 files."}));

    // A full list refuses the whole selection without probing.
    window->Add({Clip("a.avi")});
    QCOMPARE(boxes.Texts().last(),
             QStringLiteral("1 of the selected files could not be added: the list holds at most 99 files."));
    QCOMPARE((*window)->Sources().fileCount(), 99);
}

// A German desktop writes 25,000000 where the encoder reads 25.000000; the
// argument text must not follow it.
void EndToEndTest::aDecimalCommaDesktopReadsAndConvertsAlike() {
    DecimalCommaLocale german;
    QVERIFY2(german.Problem().empty(), german.Problem().c_str());
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("a.avi"), Clip("c.flv")});
    QCOMPARE(boxes.Texts(), QStringList());
    QCOMPARE(window->Rows().size(), 2);

    window->Convert();
    QCOMPARE(boxes.Shown().size(), 1);
    QVERIFY2(boxes.Shown()[0].text.startsWith("Mission accomplished!"), qPrintable(boxes.Shown()[0].text));
    VerifyConverted(Output("a.avi"), "a.avi");
    VerifyConverted(Output("c.avi"), "c.flv");
}

void EndToEndTest::theListAndTheBatchAreDrawnForTheUser() {
    QVERIFY(SkinLibrary::ApplyProgramSkin(*qApp));
    // Files named and filed as a user's would be, one of them deep enough
    // for its path to be shortened in the middle.
    const QString videos = m_scratch->filePath("Videos/");
    const QString deep = videos + "Holidays/2026/Summer at the lake with the whole family/Day two, afternoon/";
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(QDir().mkpath(videos));
    QStringList chosen;
    for (auto [clip, name] : {std::pair{"a.avi", "Beach day.avi"},
                              {"long.avi", "Birthday party.avi"},
                              {"c.flv", "Garden.flv"},
                              {"d.mov", "Concert.mov"}}) {
        chosen << (QLatin1String(clip) == QLatin1String("c.flv") ? deep : videos) + name;
        QVERIFY(QFile::copy(Clip(clip), chosen.last()));
    }
    m_out = m_scratch->filePath("output video").toStdString() + "/";
    auto window = NewWindow();
    MessageBoxResponder boxes;
    QVERIFY(QTest::qWaitForWindowExposed(&**window));
    // A window grown beyond its first size, as many users keep it.
    (*window)->resize((*window)->size() + QSize(160, 90));
    window->Add(chosen);
    QCOMPARE(window->Rows().size(), 4);
    window->Select(1);
    QImage list = (*window)->grab().toImage();
    SaveScreenshot(list, "file-list");
    VerifyDrawn(list);

    CProgressDlg& progress = (*window)->ProgressWindow();
    QImage batch;
    QString textMidway;
    QString titleMidway;
    connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress, [&](int value) {
        if (!batch.isNull() || value < 350) return;
        textMidway = progress.ProgressText();
        titleMidway = progress.windowTitle();
        batch = GrabBatch(**window, progress);
    });
    window->Convert();
    // Afterwards each row shows how its file came out.
    QImage converted = (*window)->grab().toImage();
    SkinLibrary::Shutdown();
    SaveScreenshot(converted, "converted");
    for (int row = 0; row < 4; ++row) QVERIFY(window->Tooltip(row, 0).startsWith("Converted to "));

    QVERIFY(!batch.isNull());
    SaveScreenshot(batch, "converting");
    VerifyDrawn(batch);
    QVERIFY2(textMidway.startsWith("Total time:") && textMidway.contains(";Finished "), qPrintable(textMidway));
    QVERIFY2(QRegularExpression("^[3-9][0-9]% \u00b7 Converting [1-4] of 4 \u2014 ").match(titleMidway).hasMatch(),
             qPrintable(titleMidway));
    QVERIFY2(boxes.Shown().last().text.startsWith("Mission accomplished!"), qPrintable(boxes.Texts().join('\n')));
}

// A list saved in the window, one file with its own part and crop, gives
// the same files through tarvine-convert --batch as through the window's
// Convert, on the same settings, and opens again in the window as it was.
void EndToEndTest::aSavedListConvertsAnywhereAsInTheWindow() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("a.avi"), Clip("long.avi")});
    FileOrder part;
    part.startSeconds = 2;
    part.endSeconds = 6;
    part.crop = CropMode::Custom;
    part.customCrop = {16, 0, 16, 0};
    (*window)->SourceRows().SetOrder(1, part);
    const QString list = m_scratch->filePath("holiday.json");
    (*window)->SetListChooser([&list](QWidget*, bool saving) { return saving ? list : QString(); });
    (*window)->OnCommand(ID_EDIT_SAVE_LIST);
    QVERIFY(QFile::exists(list));
    window->Convert();
    QVERIFY2(boxes.Texts().front().startsWith("Mission accomplished!"), qPrintable(boxes.Texts().join('\n')));

    const QString elsewhere = m_scratch->filePath("elsewhere");
    QProcess command;
    command.start(TARVINE_CONVERT_PATH, {"--batch=" + list, "--output", elsewhere});
    QVERIFY(command.waitForFinished(120000));
    QVERIFY2(command.exitCode() == 0, command.readAllStandardError().constData());
    for (const char* name : {"a.avi", "long.avi"}) {
        const QByteArray fromWindow = Frames(Output(name));
        QVERIFY2(!fromWindow.isEmpty(), name);
        QVERIFY2(Frames(QDir(elsewhere).filePath(name)) == fromWindow, name);
    }
    const Probe kept = ProbeFile(Output("long.avi"));
    QCOMPARE(QStringLiteral("%1x%2").arg(kept.width).arg(kept.height), QStringLiteral("128x120"));
    QVERIFY2(qAbs(kept.seconds - 4.0) < 0.15, qPrintable(QString::number(kept.seconds)));
    // Opened in another window, the list gives the same rows, each with its
    // own choices, and the same settings.
    auto reopened = NewWindow();
    (*reopened)->Settings().outputFormat = FormatMp4H264;
    (*reopened)->SetListChooser([&list](QWidget*, bool saving) { return saving ? QString() : list; });
    (*reopened)->OnCommand(ID_EDIT_OPEN_LIST);
    QTRY_COMPARE_WITH_TIMEOUT((*reopened)->Sources().fileCount(), 2, 20000);
    QCOMPARE(reopened->Rows(), QStringList({Number(1) + "|" + Clip("a.avi") + "|00:00:02",
                                            Number(2) + "|" + Clip("long.avi") + "|00:00:04"}));
    QVERIFY((*reopened)->Sources().Entry(1).order == part);
    QCOMPARE((*reopened)->Settings().outputFormat, (*window)->Settings().outputFormat);
}

// The Picture page shows the output's picture from the encoder and a new
// one for each place the slider is moved to, and measures the crop without
// cutting picture away.
void EndToEndTest::thePicturePageShowsTheOutputAndFollowsTheSlider() {
    auto window = NewWindow();
    MessageBoxResponder boxes;
    window->Add({Clip("long.avi")});
    window->Select(0);
    QTimer::singleShot(0, [] {
        auto* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        auto control = [dialog](int id) { return dialog->findChild<QWidget*>(QStringLiteral("control%1").arg(id)); };
        qobject_cast<QTabBar*>(control(IDC_FILE_PAGES))->setCurrentIndex(1);
        auto* picture = qobject_cast<QLabel*>(control(IDC_FILE_PREVIEW));
        QTRY_VERIFY_WITH_TIMEOUT(!picture->pixmap().isNull(), 20000);
        const QImage first = picture->pixmap().toImage();
        auto* slider = qobject_cast<QSlider*>(control(IDC_FILE_POSITION));
        slider->setValue(slider->maximum() / 2);
        QTRY_VERIFY_WITH_TIMEOUT(!picture->pixmap().isNull() && picture->pixmap().toImage() != first, 20000);
        qobject_cast<QComboBox*>(control(IDC_FILE_CROP))->setCurrentIndex(1);
        auto* measured = qobject_cast<QLabel*>(control(IDC_FILE_CROP_RESULT));
        // Some of the test pattern's places have dark edges: the whole picture is kept.
        QTRY_VERIFY_WITH_TIMEOUT(measured->text().startsWith(QStringLiteral("Automatic: 160\u00d7120 (")), 20000);
        dialog->close();
    });
    (*window)->OnCommand(ID_EDIT_FILE_SETTINGS);
    QVERIFY2(boxes.Shown().isEmpty(), qPrintable(boxes.Texts().join('\n')));
}

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
