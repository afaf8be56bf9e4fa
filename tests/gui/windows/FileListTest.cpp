// The file list's rows and commands on the offscreen platform, with the rows
// filled as a probe fills them.
#include "FileListTestSupport.h"
#include "UiTestSupport.h"

#include "core/ConversionBatch.h"
#include "engine/ConversionEngine.h"
#include "engine/SourceProber.h"
#include "gui/app/TerminationRequest.h"
#include "gui/widgets/CImageButton.h"
#include "gui/windows/CProgressDlg.h"
#include "gui/windows/FileSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <fstream>
#include <random>
#include <set>

namespace {

struct Probed {
    double seconds;
    int width;
    int height;
    double fps;
    bool hdr = false;
    bool interlaced = false;
};

// Lists a file as if its probe had reported these values.
void List(WindowUnderTest& window, const std::string& path, Probed values) {
    window->AppendRow(
        {path, values.seconds, values.width, values.height, values.fps, 1.0, values.hdr, values.interlaced});
}

void ListFour(WindowUnderTest& window) {
    for (int i = 1; i <= 4; ++i)
        List(window, "/clips/" + std::to_string(i) + ".avi", {i * 10.0, i * 100, i * 10, 20.0 + i});
}

void Show(WindowUnderTest& window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&*window));
}

// Shows the window converting into `folder` with the stand-in encoder, with
// `count` minute-long files listed (/clips/one.avi, two.avi, three.avi).
void ShowWithFakeEncoder(WindowUnderTest& window, const QString& folder, int count) {
    Show(window);
    window->SetEncoderProgram(FAKE_ENCODER_PATH);
    window.SetOutputFolder(folder.toStdString());
    const char* names[] = {"/clips/one.avi", "/clips/two.avi", "/clips/three.avi"};
    for (int i = 0; i < count; ++i) List(window, names[i], {60.0, 320, 240, 25.0});
}

// Sets an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QString& value)
        : m_name(name), m_saved(qgetenv(name)), m_was(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnvironment() {
        if (m_was)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_saved;
    bool m_was;
};

// Runs `act` on the popup menu once its own event loop runs.
void WhenMenuOpens(std::function<void(QMenu&)> act) {
    QTimer::singleShot(0, [act] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        act(*menu);
    });
}

}  // namespace

class FileListTest : public QObject {
    Q_OBJECT
private slots:
    void rowsShowNumberPathAndTruncatedClock();
    void removeRenumbersAndKeepsEachRowsValues();
    void moveSwapsPathsDurationsAndSlotsButNotNumbers();
    void moveNeedsASelectionAndTwoRows();
    void rowsShowTheLastBatchsOutcomesUntilTheListChanges();
    void rightClickOffersTheEditMenuAndRunsThePick();
    void fileSettingsChooseTheTracksTheEncoderGets();
    void fileSettingsKeepAPartAndCropIt();
    void importDialogStartsInVideosThenWhereFilesCameFrom();
    void overlongPathIsRefusedWithoutProbing();
    void closingDuringAProbeStopsItAndCloses();
    void theSessionsEndStopsABatchWithoutAsking();
    void theCloseBoxStopsTheBatchAndClosesOnYes();
    void cancelMarksTheRunningRowStoppedAndLeavesTheWaitingOnes();
    void filesDroppedDuringABatchAreReadAfterIt();
    void runningRowsShowTheirProgressAndEndedRowsTheirOutcomeAtOnce();
    void eventsAtRandomMomentsLeaveEveryStateSound_data();
    void eventsAtRandomMomentsLeaveEveryStateSound();
};

void FileListTest::rowsShowNumberPathAndTruncatedClock() {
    WindowUnderTest window;
    List(window, "/clips/hour.avi", {3725.9, 320, 240, 25.0});
    List(window, "/clips/long.avi", {360000.0, 320, 240, 25.0});
    List(window, "/clips/short_one.avi", {59.99, 320, 240, 25.0});
    QCOMPARE(window.Rows(),
             QStringList({Number(1) + "|/clips/hour.avi|01:02:05", Number(2) + "|/clips/long.avi|100:00:00",
                          Number(3) + "|/clips/short_one.avi|00:00:59"}));
    // The row holds its underscore: centred in the row, the glyph's lowest
    // pixel stays inside it with a pixel to spare, so the next row's
    // highlight never paints over it.
    window->show();
    const QFontMetrics metrics(window.List()->font());
    const int row = window.List()->visualRect(window.Cell(2, 0)).height();
    const int underscoreBottom = (row - metrics.height()) / 2 + metrics.ascent() + metrics.boundingRect('_').bottom();
    QVERIFY2(underscoreBottom + 1 < row, qPrintable(QStringLiteral("%1 of %2").arg(underscoreBottom).arg(row)));
    QCOMPARE(window->Sources().fileCount(), 3);
    QCOMPARE(window->Sources().totalDuration(), 3725.9 + 360000.0 + 59.99);
    QCOMPARE(window.Cell(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));
    // A path too long for its column keeps both ends; the tooltip has it whole.
    QCOMPARE(window.List()->textElideMode(), Qt::ElideMiddle);
    QCOMPARE(window.Tooltip(1, 1), QStringLiteral("/clips/long.avi"));
    // HDR and interlaced pictures are named there too.
    List(window, "/clips/phone.mov", {5, 320, 240, 25.0, true, true});
    QCOMPARE(window.Tooltip(3, 1),
             QStringLiteral("/clips/phone.mov\nHDR video: MP4 H.265 keeps it; other formats get it in SDR colours\n"
                            "Interlaced, top field first"));
}

void FileListTest::removeRenumbersAndKeepsEachRowsValues() {
    WindowUnderTest window;
    Show(window);
    ListFour(window);

    window->OnCommand(IDC_SIDE_REMOVE);  // nothing selected: nothing happens
    QCOMPARE(window.Rows().size(), 4);

    window.Select(1);
    window.FolderBox()->setFocus();
    window->OnCommand(IDC_SIDE_REMOVE);
    QCOMPARE(window.Rows(), QStringList({Number(1) + "|/clips/1.avi|00:00:10", Number(2) + "|/clips/3.avi|00:00:30",
                                         Number(3) + "|/clips/4.avi|00:00:40"}));
    QCOMPARE(window.Selection(), QList<int>{1});
    QVERIFY(window.List()->hasFocus());
    const SourceList& sources = window->Sources();
    QCOMPARE(sources.fileCount(), 3);
    QCOMPARE(sources.totalDuration(), 80.0);
    QCOMPARE(sources.Entry(1).path, std::string("/clips/3.avi"));
    QCOMPARE(sources.Entry(1).sourceWidth, 300);
    QCOMPARE(sources.Entry(2).sourceHeight, 40);
    QCOMPARE(sources.Entry(2).sourceFrameRate, 24.0);

    window.Select(2);
    window->OnCommand(ID_EDIT_REMOVE);  // the last row: nothing is selected after it
    QCOMPARE(window.Rows().size(), 2);
    QVERIFY(window.Selection().isEmpty());
    QCOMPARE(sources.totalDuration(), 40.0);
}

void FileListTest::moveSwapsPathsDurationsAndSlotsButNotNumbers() {
    WindowUnderTest window;
    Show(window);
    ListFour(window);

    window.Select(2);
    window->OnCommand(IDC_SIDE_UP);
    QCOMPARE(window.Rows(), QStringList({Number(1) + "|/clips/1.avi|00:00:10", Number(2) + "|/clips/3.avi|00:00:30",
                                         Number(3) + "|/clips/2.avi|00:00:20", Number(4) + "|/clips/4.avi|00:00:40"}));
    QCOMPARE(window.Selection(), QList<int>{1});
    QCOMPARE(window.List()->currentIndex().row(), 1);
    QCOMPARE(window.Tooltip(1, 1), QStringLiteral("/clips/3.avi"));
    QCOMPARE(window.Tooltip(2, 1), QStringLiteral("/clips/2.avi"));
    const SourceList& sources = window->Sources();
    QCOMPARE(sources.Entry(1).sourceWidth, 300);
    QCOMPARE(sources.Entry(1).sourceFrameRate, 23.0);
    QCOMPARE(sources.Entry(2).sourceHeight, 20);
    QCOMPARE(sources.totalDuration(), 100.0);

    window->OnCommand(ID_EDIT_MOVEDOWN);
    window->OnCommand(IDC_SIDE_DOWN);
    QCOMPARE(window.Rows()[3], Number(4) + "|/clips/3.avi|00:00:30");
    QCOMPARE(sources.Entry(3).path, std::string("/clips/3.avi"));
    QCOMPARE(window.Selection(), QList<int>{3});

    // The last row down and the first row up change nothing but the focus.
    const QStringList before = window.Rows();
    window.FolderBox()->setFocus();
    window->OnCommand(IDC_SIDE_DOWN);
    QVERIFY(window.List()->hasFocus());
    window.Select(0);
    window.FolderBox()->setFocus();
    window->OnCommand(ID_EDIT_MOVEUP);
    QVERIFY(window.List()->hasFocus());
    QCOMPARE(window.Rows(), before);
    QCOMPARE(sources.Entry(0).path, std::string("/clips/1.avi"));
}

void FileListTest::rowsShowTheLastBatchsOutcomesUntilTheListChanges() {
    WindowUnderTest window;
    ListFour(window);
    window.SetOutputFolder("/out/");
    ConversionBatch batch(window->Sources(), 0);
    auto next = [&] { QVERIFY(batch.PlanNext(window->Settings(), window->Sources())); };
    next();
    batch.Finish(0, EncoderExit{}, true);
    next();
    batch.Fail(1, "the source cannot be read");
    next();
    batch.Stop(2);
    window->SourceRows().ShowOutcomes(batch.Entries());

    auto outcome = [&window](int row) { return window.Tooltip(row, 0); };
    auto marked = [&window](int row) { return window.Marked(row); };
    QCOMPARE(outcome(0), QStringLiteral("Converted to /out/1.avi"));
    QCOMPARE(outcome(1), QStringLiteral("Failed: the source cannot be read"));
    QCOMPARE(outcome(2), QStringLiteral("Stopped: the unfinished output was removed"));
    QVERIFY(marked(0) && marked(1) && marked(2));
    QVERIFY(window.Mark(2) != window.Mark(1));    // a stop is not shown as a failure
    QVERIFY(outcome(3).isEmpty() && !marked(3));  // never started

    window.Select(1);
    window->OnCommand(IDC_SIDE_DOWN);
    for (int row = 0; row < 4; ++row) QVERIFY(outcome(row).isEmpty() && !marked(row));
    QCOMPARE(window.Tooltip(2, 1),
             QStringLiteral("/clips/2.avi"));  // the path's own tooltip stays
}

void FileListTest::moveNeedsASelectionAndTwoRows() {
    WindowUnderTest window;
    MessageBoxResponder boxes;
    List(window, "/clips/only.avi", {5, 320, 240, 25});
    window->OnCommand(IDC_SIDE_UP);
    window->OnCommand(IDC_SIDE_DOWN);
    QVERIFY(boxes.Shown().isEmpty());

    List(window, "/clips/second.avi", {5, 320, 240, 25});
    window.List()->clearSelection();
    window->OnCommand(IDC_SIDE_UP);
    window->OnCommand(ID_EDIT_MOVEDOWN);
    window->OnCommand(IDC_SIDE_REMOVE);
    QCOMPARE(boxes.Shown().size(), 2);
    // A short text still leaves the title bar room for its caption and buttons.
    QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    for (const MessageBoxResponder::Box& box : boxes.Shown()) {
        QCOMPARE(box.caption, QStringLiteral("Warning"));
        QCOMPARE(box.text, QStringLiteral("No item was selected!"));
        QVERIFY2(box.width >= title.horizontalAdvance(box.caption) + 4 * title.height(),
                 qPrintable(QString::number(box.width)));
    }
    QCOMPARE(window->Sources().Entry(0).path, std::string("/clips/only.avi"));
}

void FileListTest::rightClickOffersTheEditMenuAndRunsThePick() {
    WindowUnderTest window;
    Show(window);
    ListFour(window);
    window.Select(0);

    QStringList offered;
    WhenMenuOpens([&offered](QMenu& menu) {
        for (QAction* action : menu.actions()) {
            QVERIFY(action->isEnabled());
            offered << action->text();
        }
        menu.setActiveAction(menu.actions()[3]);  // "Move down"
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    const QPoint inside = window.List()->viewport()->rect().center();
    emit window.List()->customContextMenuRequested(inside);
    QCOMPARE(offered, QStringList({"Add video files to list", "Remove video file from list", "Move up", "Move down",
                                   "File settings\u2026", "", "Save list\u2026", "Open list\u2026"}));
    QTRY_COMPARE(window->Sources().Entry(1).path, std::string("/clips/1.avi"));
    QCOMPARE(window.Selection(), QList<int>{1});
}

// A double-click opens the file's own settings: German played first and
// the French commentary kept, English not. The row says so, and the
// encoder is asked for those tracks in that order.
void FileListTest::fileSettingsChooseTheTracksTheEncoderGets() {
    QTemporaryDir out;
    const QString log = out.filePath("encoder.log");
    ScopedEnvironment logVariable("FAKE_ENCODER_LOG", log);
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 0);
    SourceEntry film{"/clips/film.mkv", 60.0, 320, 240, 25.0};
    film.soundTracks = {{"eng", 2, true, "aac", ""}, {"deu", 2, false, "aac", ""}, {"fra", 6, false, "aac", ""}};
    film.subtitleTracks = {{"eng", false, true, false, "subrip", ""}, {"deu", false, false, false, "subrip", "film.de.srt"}};
    window->AppendRow(film);
    window.Select(0);

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<FileSettingsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* tracks = dialog->findChild<QTreeView*>(QStringLiteral("control%1").arg(IDC_FILE_TRACKS));
        Choose(dialog->findChild<QComboBox*>(QStringLiteral("control%1").arg(IDC_FILE_FIRST_TRACK)), 1);
        for (int row : {0, 2}) {
            tracks->setCurrentIndex(tracks->model()->index(row, 0));
            QTest::keyClick(tracks, Qt::Key_Space);
        }
        // The German file beside it, shown and drawn in.
        Choose(dialog->findChild<QComboBox*>(QStringLiteral("control%1").arg(IDC_FILE_SHOWN_SUBTITLE)), 2);
        dialog->findChild<QCheckBox*>(QStringLiteral("control%1").arg(IDC_FILE_BURN_SUBTITLE))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(ID_OK))->click();
    });
    const QPoint row = window.List()->visualRect(window.Cell(0, 1)).center();
    QTest::mousePress(window.List()->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(window.List()->viewport(), Qt::LeftButton, {}, row);
    QCOMPARE(window.Tooltip(0, 1),
             QStringLiteral("/clips/film.mkv\nIts own sound tracks: 2, 3 (the first played first)\n"
                            "Its own subtitles: 2 (2 shown, drawn into the picture)"));

    window.Convert();
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    QVERIFY2(logFile.readAll().contains(" -audiotracks 2,3 -subtitles 2 -shownsubtitle 2 -burnsubtitle 2 -endpos "),
             qPrintable(log));
}

// The Picture page keeps ten seconds of a minute and cuts 40 pixels from each
// side; an end before the start is refused with its reason and the dialog
// stays. The row shows the kept length and says what was chosen, and the
// encoder is asked for that part and that crop.
void FileListTest::fileSettingsKeepAPartAndCropIt() {
    QTemporaryDir out;
    const QString log = out.filePath("encoder.log");
    ScopedEnvironment logVariable("FAKE_ENCODER_LOG", log);
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 0);
    window->AppendRow({"/clips/film.mkv", 60.0, 320, 240, 25.0});
    window.Select(0);

    MessageBoxResponder boxes;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<FileSettingsDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto control = [dialog](int id) { return dialog->findChild<QWidget*>(QStringLiteral("control%1").arg(id)); };
        QVERIFY(!control(IDC_FILE_START)->isVisible());
        qobject_cast<QTabBar*>(control(IDC_FILE_PAGES))->setCurrentIndex(1);
        QVERIFY(control(IDC_FILE_START)->isVisible());
        QVERIFY(!control(IDC_FILE_TRACKS)->isVisible());
        auto type = [&](int id, const QString& text) {
            auto* edit = qobject_cast<QLineEdit*>(control(id));
            edit->clear();
            QTest::keyClicks(edit, text);
        };
        type(IDC_FILE_START, "10");
        type(IDC_FILE_END, "0:05");
        qobject_cast<QPushButton*>(control(ID_OK))->click();
        QVERIFY(dialog->isVisible());
        type(IDC_FILE_END, "00:00:20.00");
        Choose(qobject_cast<QComboBox*>(control(IDC_FILE_CROP)), 2);
        QVERIFY(control(IDC_FILE_CROP_LEFT)->isEnabled());
        type(IDC_FILE_CROP_LEFT, "40");
        type(IDC_FILE_CROP_RIGHT, "40");
        qobject_cast<QPushButton*>(control(ID_OK))->click();
    });
    window->OnCommand(ID_EDIT_FILE_SETTINGS);
    QCOMPARE(boxes.Texts(), QStringList{"The end must come after the start."});
    QCOMPARE(window.Text(0, 2), QStringLiteral("00:00:10"));
    QCOMPARE(window.Tooltip(0, 1),
             QStringLiteral("/clips/film.mkv\nKept: 00:00:10.00 to 00:00:20.00\nCropped by hand to 240\u00d7240"));

    window.Convert();
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QByteArray arguments = logFile.readAll();
    QVERIFY2(arguments.contains(" -vf crop=240:240:40:0 -ss 10 -endpos 20 0 "), arguments.constData());
}

void FileListTest::importDialogStartsInVideosThenWhereFilesCameFrom() {
    QTemporaryDir home;
    ScopedEnvironment homeVariable("HOME", home.path());
    ScopedEnvironment configVariable("XDG_CONFIG_HOME", home.filePath("config"));
    const QString clips = home.filePath("clips");
    QVERIFY(QDir().mkpath(clips));
    for (const char* name : {"CLIP.AVI", "movie.Mp4", "notes.txt"}) {
        QFile file(QDir(clips).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    {
        WindowUnderTest window;
        window->SetEncoderProgram("/nonexistent/kelvoenc");
        MessageBoxResponder boxes;
        QStringList startFolders;
        QStringList answer;
        window->SetFileChooser([&](QWidget*, const QString& startFolder) {
            startFolders << startFolder;
            return answer;
        });
        window->OnCommand(IDC_ADD);  // no videos folder yet: home
        QVERIFY(QDir(home.path()).mkdir("Videos"));
        window->OnCommand(IDC_ADD);
        answer = {QDir(clips).filePath("CLIP.AVI")};
        window->OnCommand(ID_EDIT_ADD);
        window->OnCommand(IDC_SIDE_ADD);
        QCOMPARE(startFolders, QStringList({home.path(), home.filePath("Videos"), home.filePath("Videos"), clips}));
        // The output folder picker keeps to the folder box.
        QString changeStart;
        window->SetFolderChooser([&](QWidget*, const QString&, const QString& start) {
            changeStart = start;
            return QString();
        });
        window->OnCommand(IDC_CHANGE);
        QCOMPARE(changeStart, window.FolderBox()->text());
    }

    WindowUnderTest window;
    window.Profile().WriteProfileString("Import", "Folder", clips.toStdString());
    MessageBoxResponder boxes;
    QString title;
    QString startFolder;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QStringList filterTexts;
    QStringList offeredFirst;
    QStringList offeredLast;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto closeAnyway = qScopeGuard([dialog] { dialog->reject(); });
        title = dialog->windowTitle();
        startFolder = dialog->directory().absolutePath();
        mode = dialog->fileMode();
        auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < filters->count(); ++i) filterTexts << filters->itemText(i);

        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto offered = [view] {
            QStringList names;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
            names.sort();
            return names;
        };
        QTRY_COMPARE(offered(), QStringList({"CLIP.AVI", "movie.Mp4"}));
        offeredFirst = offered();
        dialog->selectNameFilter(dialog->nameFilters().last());
        QTRY_COMPARE(offered().size(), 3);
        offeredLast = offered();
    });
    window->OnCommand(ID_EDIT_ADD);

    QCOMPARE(title, QStringLiteral("Import video files"));
    QCOMPARE(startFolder, clips);
    QCOMPARE(mode, QFileDialog::ExistingFiles);
    QCOMPARE(filterTexts,
             QStringList({"All support files", "AVI file (*.AVI,*.DivX,*.div,*.Xvid)", "MPEG file (*.MPEG,*.MPG,*.DAT)",
                          "WMV file (*.WMV,*.ASF,*.ASX)", "RealMedia file (*.RM,*.RMVB)", "QuickTime file (*.MOV,*.QT)",
                          "3GP file (*.3GP,*.3G2)", "MP4 file (*.MP4,*.M4V)", "Flash video file (*.FLV)",
                          "All files (*.*)"}));
    QCOMPARE(offeredFirst, QStringList({"CLIP.AVI", "movie.Mp4"}));
    QCOMPARE(offeredLast, QStringList({"CLIP.AVI", "movie.Mp4", "notes.txt"}));
    // Cancelled: nothing added, nothing said.
    QCOMPARE(window->Sources().fileCount(), 0);
    QVERIFY(boxes.Shown().isEmpty());
    QVERIFY(window->isEnabled());
}

// An overlong path, and a name the file chooser could not hand over whole
// (not UTF-8 text), are refused without probing.
void FileListTest::overlongPathIsRefusedWithoutProbing() {
    const QString overlong = QStringLiteral("/clips/") + QString(260, QLatin1Char('x')) + QStringLiteral(".avi");
    const QString lostBytes = QStringLiteral("/clips/caf\uFFFD.avi");
    const struct {
        QString path;
        QString told;
    } cases[] = {
        {overlong, QStringLiteral("Load file %1 failed.").arg(overlong)},
        {lostBytes, QStringLiteral("Load file %1 failed: its name is not UTF-8 text, which the file chooser cannot "
                                   "pass on. Drop the file onto the list instead.")
                        .arg(lostBytes)},
    };
    for (const auto& c : cases) {
        WindowUnderTest window;
        // An encoder that cannot start would say so: the refusal must come first.
        window->SetEncoderProgram("/nonexistent/kelvoenc");
        MessageBoxResponder boxes;
        window.Add({c.path});
        QVERIFY(window.WaitUntilIdle());
        QCOMPARE(boxes.Texts(), QStringList{c.told});
        QCOMPARE(boxes.Shown()[0].caption, QApplication::applicationDisplayName());
        QCOMPARE(window->Sources().fileCount(), 0);
        QCOMPARE(window.RowCount(), 0);
    }
}

// The close box while a stuck probe reads: the probe is stopped (the encoder
// ignores SIGTERM), nothing more is probed or told, and the window closes.
void FileListTest::closingDuringAProbeStopsItAndCloses() {
    WindowUnderTest window;
    Show(window);
    window->SetEncoderProgram(FAKE_ENCODER_PATH);
    qputenv("FAKE_ENCODER_SCRIPT", "ignore-term sleep:60000");
    MessageBoxResponder boxes;
    CProgressDlg& progress = window->ProgressWindow();
    QString reading;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, [&] {
        if (!progress.isVisible() || !reading.isEmpty()) return;
        reading = progress.ProgressText();
        window->close();
    });
    watcher.start(20);
    QElapsedTimer clock;
    clock.start();
    window.Add({"/clips/one.avi", "/clips/two.avi"});
    qunsetenv("FAKE_ENCODER_SCRIPT");
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);

    QCOMPARE(reading, QStringLiteral("Reading one.avi\u2026"));
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(!window->IsBusy());
    QVERIFY(!progress.isVisible());
    QCOMPARE(window->Sources().fileCount(), 0);
    QVERIFY(boxes.Shown().isEmpty());
}

// SIGTERM from the session during a batch: the batch stops without a
// question, even with the question already on screen, and the window closes.
void FileListTest::theSessionsEndStopsABatchWithoutAsking() {
    QTemporaryDir out;
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 2);
    qputenv("FAKE_ENCODER_SCRIPT", "write r6:1 r6:2 sleep:60000");
    MessageBoxResponder boxes;
    boxes.onShow = [&window] {
        QTimer::singleShot(0, &*window, [&window] {
            window->EndSession();
            TerminationRequest::CloseOpenDialogs();
        });
    };
    // Cancel at the first report; the question comes with the next one.
    CProgressDlg& progress = window->ProgressWindow();
    connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress, [&progress](int value) {
        if (value > 0) progress.reject();
    });
    window->OnCommand(IDC_CONVERT);
    qunsetenv("FAKE_ENCODER_SCRIPT");
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);

    QCOMPARE(boxes.Texts(), QStringList{"Do you really want to stop?"});
    QVERIFY(QDir(out.path()).isEmpty());
}

// The close box during a batch asks to stop: No keeps the batch and the
// window, Yes stops the batch and then closes the window.
void FileListTest::theCloseBoxStopsTheBatchAndClosesOnYes() {
    QTemporaryDir out;
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 3);
    qputenv("FAKE_ENCODER_SCRIPT", "r6:1 sleep:50 r6:2 sleep:50 r6:3 write");
    MessageBoxResponder boxes;
    boxes.Answer(QMessageBox::No);
    boxes.Answer(QMessageBox::Yes);
    // A close at the first file's report and one at the second's.
    CProgressDlg& progress = window->ProgressWindow();
    QStringList closedAt;
    connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress, [&](int value) {
        const QString file = progress.windowTitle().section(QStringLiteral(" \u00b7 "), 1);  // after the percentage
        if (value == 0 || closedAt.contains(file)) return;
        closedAt << file;
        window->close();
    });
    window->OnCommand(IDC_CONVERT);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);
    qunsetenv("FAKE_ENCODER_SCRIPT");

    QCOMPARE(boxes.Texts(), QStringList({"Do you really want to stop?", "Do you really want to stop?"}));
    QCOMPARE(closedAt.size(), 2);
    QVERIFY(!window->IsBusy());
    QVERIFY(QFile::exists(out.filePath("one.avi")));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"one.avi"});
}

// Four files, one at a time; Cancel and Yes during the second.
void FileListTest::cancelMarksTheRunningRowStoppedAndLeavesTheWaitingOnes() {
    QTemporaryDir out;
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 0);
    ListFour(window);
    window->Settings().conversionsAtOnce = 1;
    qputenv("FAKE_ENCODER_SCRIPT", "r6:1 sleep:50 r6:2 write");
    MessageBoxResponder boxes;
    boxes.Answer(QMessageBox::Yes);
    CProgressDlg& progress = window->ProgressWindow();
    QString titleAtCancel;
    connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress, [&](int value) {
        if (value == 0 || !titleAtCancel.isEmpty() || !progress.windowTitle().contains("2 of 4")) return;
        titleAtCancel = progress.windowTitle();
        progress.reject();
    });
    window.Convert();
    qunsetenv("FAKE_ENCODER_SCRIPT");

    // 10 s of the first file and 1 s of the second, of 100 s.
    QCOMPARE(titleAtCancel, QStringLiteral("11% \u00b7 Converting 2 of 4 \u2014 2.avi"));
    QVERIFY2(window.Tooltip(0, 0).startsWith("Converted to "), qPrintable(window.Tooltip(0, 0)));
    QCOMPARE(window.Tooltip(1, 0), QStringLiteral("Stopped: the unfinished output was removed"));
    QVERIFY(window.Marked(0) && window.Marked(1));
    QVERIFY(window.Mark(0) != window.Mark(1));
    for (int row : {2, 3}) QVERIFY(window.Tooltip(row, 0).isEmpty() && !window.Marked(row));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"1.avi"});
}

void FileListTest::filesDroppedDuringABatchAreReadAfterIt() {
    QTemporaryDir out;
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 2);
    qputenv("FAKE_ENCODER_SCRIPT", "r1:4 r2:320 r3:240 r4:250000000 r6:1 sleep:50 r6:2 write");
    MessageBoxResponder boxes;
    QTemporaryDir clips;
    const QString dropped = clips.filePath("dropped.avi");
    QVERIFY(QFile(dropped).open(QIODevice::WriteOnly));
    bool taken = false;
    CProgressDlg& progress = window->ProgressWindow();
    connect(progress.findChild<QProgressBar*>(), &QProgressBar::valueChanged, &progress, [&](int value) {
        if (value == 0 || taken) return;
        taken = DropFiles(window.List()->viewport(), {dropped});
        QCOMPARE(window.Rows().size(), 2);
    });
    window.Convert();
    qunsetenv("FAKE_ENCODER_SCRIPT");

    QVERIFY(taken);
    QCOMPARE(window.Rows().size(), 3);
    QCOMPARE(window->Sources().Entry(2).path, dropped.toStdString());
    QCOMPARE(boxes.Shown().size(), 1);
    QVERIFY(boxes.Shown()[0].text.startsWith("Mission accomplished!"));
}

// Two files side by side: each running row shows how far it is; the first
// to end shows its outcome while the other still runs.
void FileListTest::runningRowsShowTheirProgressAndEndedRowsTheirOutcomeAtOnce() {
    QTemporaryDir out;
    WindowUnderTest window;
    ShowWithFakeEncoder(window, out.path(), 2);
    window->Settings().conversionsAtOnce = 2;
    qputenv("FAKE_ENCODER_SCRIPT", "r6:30 sleep:50 write");
    MessageBoxResponder boxes;
    QStringList progress;
    QStringList atFirstEnd;
    connect(&window->Engine(), &ConversionEngine::Progressed, &*window,
            [&](const RunProgress& report) { progress << window.Text(report.index, 2); });
    connect(&window->Engine(), &ConversionEngine::FileEnded, &*window, [&](const BatchEntry& entry) {
        const int index = entry.row;
        if (!atFirstEnd.isEmpty()) return;
        QVERIFY(window.Marked(index));
        atFirstEnd << window.Tooltip(index, 0) << window.Tooltip(1 - index, 0);
    });
    window.Convert();
    qunsetenv("FAKE_ENCODER_SCRIPT");

    QCOMPARE(progress, QStringList({"50%", "50%"}));
    QCOMPARE(atFirstEnd.size(), 2);
    QVERIFY2(atFirstEnd[0].startsWith("Converted to " + out.path()), qPrintable(atFirstEnd[0]));
    QCOMPARE(atFirstEnd[1], QStringLiteral("Converting: 50%"));
    // Once over, the rows show their durations again.
    QCOMPARE(window.Rows(),
             QStringList({Number(1) + "|/clips/one.avi|00:01:00", Number(2) + "|/clips/two.avi|00:01:00"}));
}

void FileListTest::eventsAtRandomMomentsLeaveEveryStateSound_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("atOnce");
    for (int atOnce : {1, 3})
        for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
            QTest::addRow("seed %u, %d at once", seed, atOnce) << seed << atOnce;
}

// Files dropped, Cancel, the close box and Convert at moments a seeded
// generator picks among the program's own events (state changes, progress,
// message boxes), answering each question at random, through a scripted
// batch, one file at a time or several: no row is lost or changed, no second
// batch starts, no two runs write to one name, nothing that this program did
// not make is deleted, and the window ends idle or closed.
void FileListTest::eventsAtRandomMomentsLeaveEveryStateSound() {
    QFETCH(unsigned, seed);
    QFETCH(int, atOnce);
    std::mt19937 random(seed);
    auto chance = [&random](int percent) { return std::uniform_int_distribution<int>(1, 100)(random) <= percent; };
    QTemporaryDir work;
    const QString log = work.filePath("encoder.log");
    qputenv("FAKE_ENCODER_LOG", log.toLocal8Bit());
    auto scriptedClip = [&work](const QString& name, const char* script) {
        std::ofstream(work.filePath(name + ".script").toStdString()) << script;
        return work.filePath(name);
    };
    constexpr const char* kProbed = "r1:4 r2:320 r3:240 r4:250000000 ";
    QStringList clips;
    for (int i = 0; i < 4; ++i)
        clips << scriptedClip(QStringLiteral("good%1.avi").arg(i),
                              (std::string(kProbed) + "sleep:20 r6:1 sleep:20 r6:2 sleep:20 r6:3 write").c_str());
    // Another program takes the output's name during the run.
    clips << scriptedClip("taken.avi", (std::string(kProbed) + "sleep:20 r6:1 write exit:3").c_str());
    clips << scriptedClip("broken.avi", "exit:2");
    QVERIFY(QDir(work.path()).mkdir("out"));
    const QString userFile = work.filePath("out/good0.avi");
    std::ofstream(userFile.toStdString()) << "the user's own";

    WindowUnderTest window;
    Show(window);
    window->SetEncoderProgram(FAKE_ENCODER_PATH);
    window->Settings().conversionsAtOnce = atOnce;
    window.SetOutputFolder(work.filePath("out").toStdString());
    MessageBoxResponder boxes;
    QStringList faults;
    QStringList actions;
    QStringList seenRows;
    bool batchRunning = false;
    bool closed = false;
    int actionsLeft = 30;

    auto checkRows = [&] {
        QStringList rows;
        for (int row = 0; row < window.RowCount(); ++row) {
            rows << window.Text(row, 1);
            if (row >= window->Sources().fileCount() || window->Sources().Entry(row).path != rows.last().toStdString())
                faults << QStringLiteral("row %1 differs from the source list").arg(row + 1);
        }
        if (rows.size() != window->Sources().fileCount()) faults << "the rows and the source list differ in number";
        if (rows.mid(0, seenRows.size()) != seenRows) faults << "a listed row was lost or changed";
        seenRows = rows;
        const ConversionBatch* batch = window->Engine().Batch();
        std::set<std::string> writing;
        for (int index = 0; batch && index < batch->EntryCount(); ++index)
            if (batch->Entry(index).state == EntryState::Converting &&
                !writing.insert(batch->Entry(index).outputPath).second)
                faults << "two runs write to " + QString::fromStdString(batch->Entry(index).outputPath);
    };
    auto act = [&] {
        if (closed || actionsLeft <= 0) return;
        --actionsLeft;
        int pick = std::uniform_int_distribution<int>(0, 9)(random);
        if (pick < 4) {
            QStringList dropped;
            for (int count = 1 + pick % 3; count > 0; --count)
                dropped << clips[std::uniform_int_distribution<int>(0, int(clips.size()) - 1)(random)];
            actions << "drop " + QString::number(dropped.size());
            window->AddFiles(dropped);
        } else if (pick < 6) {
            actions << "cancel";
            window->ProgressWindow().reject();
        } else if (pick < 9) {
            actions << "convert";
            window->OnCommand(IDC_CONVERT);
        } else {
            actions << "close";
            bool idle = !window->IsBusy();
            window->close();
            closed = !window->isVisible();
            if (idle && !closed) faults << "an idle window did not close";
        }
    };
    // Each of the program's events is a moment at which the user may act.
    auto moment = [&] {
        checkRows();
        if (chance(35)) QTimer::singleShot(0, &*window, act);
    };
    connect(&window->Engine(), &ConversionEngine::BatchStarted, &*window, [&] {
        if (batchRunning) faults << "a second batch started";
        batchRunning = true;
    });
    connect(&window->Engine(), &ConversionEngine::BatchFinished, &*window, [&] { batchRunning = false; });
    connect(&window->Engine(), &ConversionEngine::StateChanged, &*window, moment);
    connect(&window->Prober(), &SourceProber::StateChanged, &*window, moment);
    connect(window->ProgressWindow().findChild<QProgressBar*>(), &QProgressBar::valueChanged, &*window, moment);
    boxes.onShow = [&] {
        boxes.Answer(chance(50) ? QMessageBox::Yes : QMessageBox::No);
        moment();
    };

    window->AddFiles(clips);
    while (!closed && actionsLeft > 0) {
        // When nothing happens any more, the user acts anyway.
        if (!QTest::qWaitFor([&] { return closed || window->IsBusy(); }, 50)) act();
        QVERIFY(window.WaitUntilIdle());
        closed = closed || !window->isVisible();
    }
    QVERIFY(window.WaitUntilIdle());
    checkRows();
    qunsetenv("FAKE_ENCODER_LOG");

    const QString context = QStringLiteral("seed %1: %2").arg(seed).arg(actions.join(", "));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ") + " — " + context));
    QVERIFY2(!window->ProgressWindow().isVisible(), qPrintable(context));
    QVERIFY2(window->Sources().fileCount() <= SourceList::kCapacity, qPrintable(context));
    // What the user and the other program put into the folder is still there.
    QFile own(userFile);
    QVERIFY2(own.open(QIODevice::ReadOnly) && own.readAll() == "the user's own", qPrintable(context));
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(logFile.readAll()).split('\n'))
        if (line.startsWith("wrote ") && line.contains("/out/taken"))
            QVERIFY2(QFile::exists(line.mid(6)), qPrintable(line + " is gone — " + context));
}

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    FileListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FileListTest.moc"
