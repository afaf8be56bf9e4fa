#include "UiTestSupport.h"

#include "core/IniFile.h"
#include "gui/app/TerminationRequest.h"
#include "gui/res/CommandIds.h"
#include "gui/widgets/CImageButton.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CConverterDlg.h"
#include "gui/windows/COutputSettingsDlg.h"
#include "gui/windows/CProgressDlg.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

namespace {

// Runs `act` on the dialog that the next modal run opens.
template <class Dialog, class Act>
void WhenModalOpens(Act act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
    });
}

// A main window that notes the commands it is given instead of running them.
class CommandRecorder : public CConverterDlg {
public:
    using CConverterDlg::CConverterDlg;
    void OnCommand(int commandId) override { commands << commandId; }
    QList<int> commands;
};

QRect PlaceOf(const QWidget* window, int id) { return ControlOf<QWidget>(window, id)->geometry(); }

// Lists a file as if its probe had read it.
void List(CConverterDlg& window, const std::string& path) { window.AppendRow({path, 10.0, 320, 240, 25.0}); }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Dressed as the program dresses it: the skin changes the boxes' insides.
    void initTestCase() { QVERIFY(SkinLibrary::ApplyProgramSkin(*qApp)); }
    void cleanupTestCase() { SkinLibrary::Shutdown(); }
    void init();
    void templateBuildsEveryControl();
    void quickBoxesFollowTheFormat();
    void settingsDialogOkMovesTheBoxesCancelLeavesThem();
    void discFillFollowsListFormatAndQuality();
    void changeStoresTheChosenFolderWithSeparator();
    void escapeSavesButNotATypedFolder();
    void enterAppliesATypedFolderClosesElsewhere();
    void enterAndEscapeAskBeforeALiveListIsLost();
    void aDroppedFolderAddsItsVideosInNameOrder();
    void terminationSignalClosesAndSaves();
    void keysRunTheirCommands();
    void growsFromItsTemplateSizeAndKeepsItsSize();
    void theProgressWindowReopensWhereItWasMoved();

private:
    std::unique_ptr<CConverterDlg> NewWindow() {
        return std::make_unique<CConverterDlg>(SettingsStore(ProgramFolder(), ProgramFolder() + "user/"));
    }
    std::string ProgramFolder() const { return m_folder->path().toStdString() + "/"; }
    IniFile SavedOptions() const { return IniFile(ProgramFolder() + "option.ini"); }
    void ShowActive(QWidget& window) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
};

void MainWindowTest::init() { m_folder = std::make_unique<QTemporaryDir>(); }

void MainWindowTest::templateBuildsEveryControl() {
    auto window = NewWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Tarvine"));
    QVERIFY(!window->windowIcon().isNull());
    VerifyControls(window.get(), {{IDC_ADD, "CImageButton", "Add"},
                                  {IDC_CONVERT, "CImageButton", "Convert"},
                                  {IDC_SETTINGS, "CImageButton", "Settings"},
                                  {IDC_HELP_BUTTON, "CImageButton", "Help"},
                                  {IDC_FILE_LIST, "QTreeView", ""},
                                  {IDC_MAIN_DISC_FILL, "QLabel", ""},
                                  {-1, "QLabel", "Output folder"},
                                  {IDC_CHANGE, "CImageButton", "Change"},
                                  {IDC_SIDE_ADD, "CImageButton", ""},
                                  {IDC_SIDE_REMOVE, "CImageButton", ""},
                                  {IDC_SIDE_UP, "CImageButton", ""},
                                  {IDC_SIDE_DOWN, "CImageButton", ""},
                                  {-1, "QLabel", "TV mode"},
                                  {-1, "QLabel", "Output format"},
                                  {IDC_MAIN_FORMAT, "QComboBox", "AVI Format (*.avi)"},
                                  {-1, "QLabel", "Aspect ratio"},
                                  {IDC_MAIN_ASPECT, "QComboBox", "16:9   (Wide screen TV)"},
                                  {IDC_MAIN_TVMODE, "QComboBox", "NTSC"},
                                  {IDC_SMALL_SETTINGS, "QPushButton", "Settings"},
                                  {IDC_SMALL_CONVERT, "QPushButton", "Convert"}});

    QCOMPARE(ControlOf<QLineEdit>(window.get(), IDC_OUTPUT_FOLDER)->text(),
             QString::fromStdString(ConversionSettings::DefaultOutputFolder()));

    auto* list = ControlOf<QTreeView>(window.get(), IDC_FILE_LIST);
    auto header = [list](int column, int role = Qt::DisplayRole) {
        return list->model()->headerData(column, Qt::Horizontal, role);
    };
    QCOMPARE(header(0).toString(), QStringLiteral(" Number"));
    QCOMPARE(header(1).toString(), QStringLiteral("  File path"));
    QCOMPARE(header(2).toString(), QStringLiteral("   Duration"));
    // 90 and 122 pixels in the templates' font, grown with ours; the path
    // fills the rest of the list, as the three did there.
    QCOMPARE(list->columnWidth(0), DialogLayout::ScaledPixels(90, window->font()));
    QVERIFY(list->columnWidth(1) >= DialogLayout::ScaledPixels(360, window->font()) - 4);
    QCOMPARE(list->columnWidth(2), DialogLayout::ScaledPixels(122, window->font()));
    const int columns = list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2);
    const int inside = list->width() - 2 * list->frameWidth();
    QVERIFY2(columns <= inside && columns > inside - 20,
             qPrintable(QStringLiteral("%1 of %2").arg(columns).arg(inside)));
    QCOMPARE(Qt::Alignment(header(2, Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    const struct {
        int id;
        const char* tooltip;
        int iconSide;  // 0: the icon's own size
    } buttons[] = {{IDC_CONVERT, "Start converting", 48},
                   {IDC_SETTINGS, "Settings...", 48},
                   {IDC_ADD, "Add video files to the list", 48},
                   {IDC_HELP_BUTTON, "About,help,home page,tip of the day.", 0},
                   {IDC_SIDE_ADD, "Add video files to the list", 0},
                   {IDC_SIDE_REMOVE, "Remove the selected video file", 0},
                   {IDC_SIDE_UP, "Move the selected video file up", 0},
                   {IDC_SIDE_DOWN, "Move the selected video file down", 0}};
    for (const auto& expected : buttons) {
        auto* button = ControlOf<CImageButton>(window.get(), expected.id);
        QCOMPARE(button->toolTip(), QString(expected.tooltip));
        QCOMPARE(button->Alignment(), int(CImageButton::IconAboveCaption));
        QVERIFY(!button->IconSize().isEmpty());
        if (expected.iconSide) QCOMPARE(button->IconSize(), QSize(expected.iconSide, expected.iconSide));
    }
    auto* change = ControlOf<CImageButton>(window.get(), IDC_CHANGE);
    QVERIFY(change->toolTip().isEmpty());
    QVERIFY(change->IconSize().isEmpty());
}

void MainWindowTest::quickBoxesFollowTheFormat() {
    auto window = NewWindow();  // defaults: AVI, NTSC, MPEG aspect 2, disc aspect 1
    QComboBox* format = ControlOf<QComboBox>(window.get(), IDC_MAIN_FORMAT);
    QComboBox* tvMode = ControlOf<QComboBox>(window.get(), IDC_MAIN_TVMODE);
    QComboBox* aspect = ControlOf<QComboBox>(window.get(), IDC_MAIN_ASPECT);
    QCOMPARE(Describe(tvMode), QStringLiteral("D2:0"));
    QCOMPARE(Describe(aspect), QStringLiteral("D2:1"));

    Choose(format, FormatMpeg2);
    QCOMPARE(window->Settings().outputFormat, int(FormatMpeg2));
    QCOMPARE(Describe(aspect), QStringLiteral("E4:2"));
    QCOMPARE(aspect->itemText(3), QStringLiteral("2.21:1 (CinemaScope movie)"));
    QVERIFY(!tvMode->isEnabled());
    VerifyBoxesShowTheirTexts(window.get());

    Choose(format, FormatDvd);
    QCOMPARE(Describe(aspect), QStringLiteral("E2:1"));
    QVERIFY(tvMode->isEnabled());
    Choose(tvMode, 1);
    QCOMPARE(window->Settings().tvMode, 1);

    Choose(format, FormatMpeg1);
    Choose(aspect, 1);
    QCOMPARE(window->Settings().mpegAspect, 1);
    QCOMPARE(window->Settings().dvdAspect, 1);
    Choose(format, FormatVcd);
    Choose(aspect, 0);
    QCOMPARE(window->Settings().dvdAspect, 0);
    QCOMPARE(window->Settings().mpegAspect, 1);

    Choose(format, FormatMp4H265);
    QCOMPARE(window->Settings().outputFormat, int(FormatMp4H265));
    QCOMPARE(format->currentText(), QStringLiteral("MP4 with H.265, smaller files, H.265 + AAC (*.mp4)"));
    QVERIFY(!tvMode->isEnabled() && !aspect->isEnabled());
    VerifyBoxesShowTheirTexts(window.get());
}

void MainWindowTest::settingsDialogOkMovesTheBoxesCancelLeavesThem() {
    auto window = NewWindow();
    QComboBox* format = ControlOf<QComboBox>(window.get(), IDC_MAIN_FORMAT);
    QComboBox* tvMode = ControlOf<QComboBox>(window.get(), IDC_MAIN_TVMODE);

    WhenModalOpens<COutputSettingsDlg>([](COutputSettingsDlg& dialog) {
        Choose(ControlOf<QComboBox>(&dialog, IDC_SET_FORMAT), FormatSvcd);
        Choose(ControlOf<QComboBox>(&dialog, IDC_SET_TVMODE), 1);
        ControlOf<QPushButton>(&dialog, ID_OK)->click();
    });
    ControlOf<QPushButton>(window.get(), IDC_SMALL_SETTINGS)->click();
    QCOMPARE(format->currentIndex(), int(FormatSvcd));
    QCOMPARE(Describe(tvMode), QStringLiteral("E2:1"));

    WhenModalOpens<COutputSettingsDlg>([](COutputSettingsDlg& dialog) {
        QCOMPARE(ControlOf<QComboBox>(&dialog, IDC_SET_FORMAT)->currentIndex(), int(FormatSvcd));
        Choose(ControlOf<QComboBox>(&dialog, IDC_SET_FORMAT), FormatWmv);
        ControlOf<QPushButton>(&dialog, ID_CANCEL)->click();
    });
    ControlOf<QAbstractButton>(window.get(), IDC_SETTINGS)->click();
    QCOMPARE(format->currentIndex(), int(FormatSvcd));
    QCOMPARE(window->Settings().outputFormat, int(FormatSvcd));
}

void MainWindowTest::discFillFollowsListFormatAndQuality() {
    auto window = NewWindow();
    window->show();
    QLabel* fill = ControlOf<QLabel>(window.get(), IDC_MAIN_DISC_FILL);
    QComboBox* format = ControlOf<QComboBox>(window.get(), IDC_MAIN_FORMAT);
    QVERIFY(!fill->isVisible());
    Choose(format, FormatDvd);
    QVERIFY(fill->isVisible());
    QCOMPARE(fill->text(), QStringLiteral("About 0 MB of 4.7 GB"));

    // An hour at the best DVD quality (5000 + 224 kbit/s, with the
    // program stream's own share).
    window->AppendRow({"/clips/film.avi", 3600});
    QCOMPARE(fill->text(), QStringLiteral("About 2.5 GB of 4.7 GB"));
    WhenModalOpens<COutputSettingsDlg>([](COutputSettingsDlg& dialog) {
        Choose(ControlOf<QComboBox>(&dialog, IDC_SET_QUALITY), 0);  // 800 + 112 kbit/s
        ControlOf<QPushButton>(&dialog, ID_OK)->click();
    });
    ControlOf<QPushButton>(window.get(), IDC_SMALL_SETTINGS)->click();
    QCOMPARE(fill->text(), QStringLiteral("About 429 MB of 4.7 GB"));
    Choose(format, FormatVcd);  // a stream at the CD's pace: 80 minutes fill 700 MB
    QCOMPARE(fill->text(), QStringLiteral("About 525 MB of 700 MB"));
    QVERIFY(window->ConfirmDiscFill());

    // An hour and a half overfill the CD: with the disc image on, Convert asks first.
    window->AppendRow({"/clips/film.avi", 1800});
    QCOMPARE(fill->text(), QStringLiteral("About 788 MB of 700 MB"));
    QVERIFY(window->ConfirmDiscFill());
    window->Settings().discImage = 1;
    WhenModalOpens<QMessageBox>([](QMessageBox& box) {
        QVERIFY(box.text().startsWith("The listed files would not fit on one disc: About 788 MB of 700 MB."));
        box.button(QMessageBox::No)->click();
    });
    QVERIFY(!window->ConfirmDiscFill());

    // Two and a half hours at the best DVD quality: fitted to the disc for this batch, the preset kept.
    window->Settings().dvdQuality = 5;
    window->AppendRow({"/clips/film.avi", 3600});
    Choose(format, FormatDvd);
    WhenModalOpens<QMessageBox>([](QMessageBox& box) {
        QVERIFY2(box.text().endsWith("\"Fit to the disc\" lowers the video rate of this batch to 3,692 kbit/s. "
                                     "Convert them all the same?"),
                 qPrintable(box.text()));
        box.button(QMessageBox::Open)->click();
    });
    QVERIFY(window->ConfirmDiscFill());
    QCOMPARE(window->FittedVideoKbps(), 3692);
    QCOMPARE(window->Settings().dvdQuality, 5);
    QCOMPARE(fill->text(), QStringLiteral("About 4.6 GB of 4.7 GB, video fitted to 3,692 kbit/s"));
    Choose(format, FormatAvi);
    QVERIFY(!fill->isVisible());
}

void MainWindowTest::changeStoresTheChosenFolderWithSeparator() {
    auto window = NewWindow();
    auto* folderBox = ControlOf<QLineEdit>(window.get(), IDC_OUTPUT_FOLDER);
    QString picked;
    QString askedTitle;
    window->SetFolderChooser([&](QWidget*, const QString& title, const QString&) {
        askedTitle = title;
        return picked;
    });
    auto change = [&window] { ControlOf<QAbstractButton>(window.get(), IDC_CHANGE)->click(); };

    picked = "/srv/videos";
    change();
    QCOMPARE(askedTitle, QStringLiteral("Select a temporary folder"));
    QCOMPARE(folderBox->text(), QStringLiteral("/srv/videos/"));
    QCOMPARE(window->Settings().outputFolder, std::string("/srv/videos/"));

    picked = "/";
    change();
    QCOMPARE(folderBox->text(), QStringLiteral("/"));

    picked.clear();  // cancelled
    change();
    QCOMPARE(window->Settings().outputFolder, std::string("/"));
}

void MainWindowTest::escapeSavesButNotATypedFolder() {
    auto window = NewWindow();
    const std::string folder = window->Settings().outputFolder;
    Choose(ControlOf<QComboBox>(window.get(), IDC_MAIN_FORMAT), FormatDvd);
    ControlOf<QLineEdit>(window.get(), IDC_OUTPUT_FOLDER)->setText("/typed/but/never/used/");
    QTimer::singleShot(0, [&window] { QTest::keyClick(window.get(), Qt::Key_Escape); });
    QCOMPARE(window->exec(), int(QDialog::Rejected));
    window.reset();

    IniFile saved = SavedOptions();
    QCOMPARE(saved.ReadInt("Destinate", "Output format", -1), int(FormatDvd));
    QCOMPARE(saved.ReadString("Destinate", "Temporary folder", ""), folder);

    // The next run starts from what was saved.
    auto next = NewWindow();
    QCOMPARE(ControlOf<QComboBox>(next.get(), IDC_MAIN_FORMAT)->currentIndex(), int(FormatDvd));
}

// Enter in the folder box applies the folder (a relative one below home); on a
// focused button it clicks it; anywhere else it ends the window as OK.
void MainWindowTest::enterAppliesATypedFolderClosesElsewhere() {
    auto window = NewWindow();
    int chooserCalls = 0;
    window->SetFolderChooser([&chooserCalls](QWidget*, const QString&, const QString&) {
        ++chooserCalls;
        return QString();
    });
    bool openAfterFolderEnter = false;
    QString relativeShownAs;
    QTimer::singleShot(0, [&window, &openAfterFolderEnter, &relativeShownAs] {
        auto* folderBox = ControlOf<QLineEdit>(window.get(), IDC_OUTPUT_FOLDER);
        folderBox->setFocus();
        folderBox->setText("out/videos");
        QTest::keyClick(folderBox, Qt::Key_Return);
        relativeShownAs = folderBox->text();
        folderBox->setText("/srv/typed");
        QTest::keyClick(folderBox, Qt::Key_Return);
        QTest::keyClick(folderBox, Qt::Key_Enter, Qt::KeypadModifier);
        openAfterFolderEnter = window->isVisible();
        for (int id : {IDC_CHANGE, IDC_FILE_LIST}) {
            QWidget* control = ControlOf<QWidget>(window.get(), id);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
        }
    });
    QCOMPARE(window->exec(), int(QDialog::Accepted));
    QVERIFY(openAfterFolderEnter);
    QCOMPARE(relativeShownAs, QDir::homePath() + "/out/videos/");
    QCOMPARE(window->Settings().outputFolder, std::string("/srv/typed/"));
    QCOMPARE(chooserCalls, 1);
}

// With files listed, Enter and Escape ask first, and a stray Enter or Escape
// in the question keeps the list; the close box closes without asking.
void MainWindowTest::enterAndEscapeAskBeforeALiveListIsLost() {
    auto window = NewWindow();
    ShowActive(*window);
    auto* list = ControlOf<QTreeView>(window.get(), IDC_FILE_LIST);
    list->setFocus();
    QStringList questions;
    auto answer = [&questions](std::function<void(QMessageBox&)> act) {
        WhenModalOpens<QMessageBox>([&questions, act](QMessageBox& box) {
            questions << box.text();
            act(box);
        });
    };
    auto press = [](int key) { return [key](QMessageBox& box) { QTest::keyClick(&box, Qt::Key(key)); }; };

    List(*window, "/clips/one.avi");
    for (int closingKey : {Qt::Key_Escape, Qt::Key_Return}) {
        for (int answerKey : {Qt::Key_Return, Qt::Key_Escape}) {
            answer(press(answerKey));
            QTest::keyClick(list, Qt::Key(closingKey));
            QVERIFY(window->isVisible());
        }
    }
    QCOMPARE(questions, QStringList(4, QStringLiteral("Close Tarvine? The list of 1 file will be lost.")));

    List(*window, "/clips/two.avi");
    answer([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(questions.last(), QStringLiteral("Close Tarvine? The list of 2 files will be lost."));
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));

    auto next = NewWindow();
    ShowActive(*next);
    List(*next, "/clips/one.avi");
    next->close();
    QVERIFY(!next->isVisible());
    QCOMPARE(questions.size(), 5);
}

void MainWindowTest::aDroppedFolderAddsItsVideosInNameOrder() {
    auto window = NewWindow();
    window->SetEncoderProgram(FAKE_ENCODER_PATH);
    const QString folder = m_folder->filePath("party");
    QVERIFY(QDir().mkpath(folder));
    for (const char* name : {"clip 10.mp4", "clip 2.avi", "notes.txt"}) {
        const QString path = folder + "/" + name;
        QFile file(path + ".script");  // what the stand-in encoder reports for it
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("r1:3 r2:320 r3:240 r4:250000000");
        file.close();
        QVERIFY(QFile::copy(path + ".script", path));
    }

    // Dragged over the list from a file manager and dropped there.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QWidget* list = ControlOf<QTreeView>(window.get(), IDC_FILE_LIST)->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(window->Sources().fileCount(), 2);
    QCOMPARE(QString::fromStdString(window->Sources().Entry(0).path), folder + "/clip 2.avi");
    QCOMPARE(QString::fromStdString(window->Sources().Entry(1).path), folder + "/clip 10.mp4");

    // A file whose name is not UTF-8 text keeps its bytes through the drop.
    const std::string latin1 = QFile::encodeName(folder).toStdString() + "/caf\xe9.avi";
    std::ofstream(latin1 + ".script") << "r1:3 r2:320 r3:240 r4:250000000";
    std::filesystem::copy_file(latin1 + ".script", latin1);
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(latin1).toPercentEncoding("/"))});
    QDragEnterEvent latinEnter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &latinEnter);
    QDropEvent latinDrop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &latinDrop);
    QTRY_COMPARE(window->Sources().fileCount(), 3);
    QCOMPARE(window->Sources().Entry(2).path, latin1);
}

void MainWindowTest::terminationSignalClosesAndSaves() {
    TerminationRequest termination;
    auto window = NewWindow();
    Choose(ControlOf<QComboBox>(window.get(), IDC_MAIN_FORMAT), FormatWmv);
    // A settings dialog is open over the main window when the signal comes.
    QTimer::singleShot(0, [&window] { ControlOf<QAbstractButton>(window.get(), IDC_SMALL_SETTINGS)->click(); });
    WhenModalOpens<COutputSettingsDlg>([](COutputSettingsDlg&) { ::raise(SIGTERM); });
    window->exec();
    QVERIFY(termination.Requested());
    QVERIFY(!window->isVisible());
    window.reset();
    QCOMPARE(SavedOptions().ReadInt("Destinate", "Output format", -1), int(FormatWmv));
}

void MainWindowTest::keysRunTheirCommands() {
    CommandRecorder window(SettingsStore(ProgramFolder(), ProgramFolder() + "user/"));
    ShowActive(window);
    auto* list = ControlOf<QTreeView>(&window, IDC_FILE_LIST);
    auto* folderBox = ControlOf<QLineEdit>(&window, IDC_OUTPUT_FOLDER);

    // Delete edits the folder box; it removes a row only from the list.
    folderBox->setFocus();
    folderBox->setText("/out/");
    folderBox->setCursorPosition(0);
    QTest::keyClick(folderBox, Qt::Key_Delete);
    QCOMPARE(folderBox->text(), QStringLiteral("out/"));
    QVERIFY(window.commands.isEmpty());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);

    QTest::keyClick(list, Qt::Key_F1);
    QTest::keyClick(folderBox, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(folderBox, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(window.commands, QList<int>({ID_EDIT_REMOVE, ID_HELP_CONTENT, ID_EDIT_ADD, IDC_CONVERT, IDC_CONVERT}));
    QVERIFY(window.isVisible());  // Ctrl+Enter is not the dialog's Enter
}

void MainWindowTest::growsFromItsTemplateSizeAndKeepsItsSize() {
    auto window = NewWindow();
    const QSize smallest = window->size();
    QCOMPARE(window->minimumSize(), smallest);
    QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    ShowActive(*window);
    const int ids[] = {IDC_ADD,         IDC_HELP_BUTTON,   IDC_FILE_LIST,    IDC_SIDE_ADD,
                       IDC_SIDE_DOWN,   IDC_OUTPUT_FOLDER, IDC_CHANGE,       IDC_MAIN_FORMAT,
                       IDC_MAIN_TVMODE, IDC_MAIN_ASPECT,   IDC_SMALL_CONVERT};
    QHash<int, QRect> before;
    for (int id : ids) before[id] = PlaceOf(window.get(), id);
    auto* list = ControlOf<QTreeView>(window.get(), IDC_FILE_LIST);
    const int pathColumn = list->columnWidth(1);

    // Within the screen (the offscreen one has 800 x 600 pixels).
    const QSize room = window->screen()->availableSize() - smallest;
    const int dx = std::min(40, room.width());
    const int dy = std::min(30, room.height());
    QVERIFY2(dx > 0 && dy > 0, "the screen leaves the window no room to grow");
    const QSize grown = smallest + QSize(dx, dy);
    window->resize(grown);
    QTRY_COMPARE(PlaceOf(window.get(), IDC_FILE_LIST), before[IDC_FILE_LIST].adjusted(0, 0, dx, dy));
    const struct {
        int id;
        QRect expected;
    } places[] = {
        {IDC_ADD, before[IDC_ADD]},
        {IDC_HELP_BUTTON, before[IDC_HELP_BUTTON]},
        {IDC_SIDE_ADD, before[IDC_SIDE_ADD].translated(dx, 0)},
        {IDC_SIDE_DOWN, before[IDC_SIDE_DOWN].translated(dx, 0)},
        {IDC_OUTPUT_FOLDER, before[IDC_OUTPUT_FOLDER].translated(0, dy).adjusted(0, 0, dx, 0)},
        {IDC_CHANGE, before[IDC_CHANGE].translated(dx, dy)},
        {IDC_MAIN_FORMAT, before[IDC_MAIN_FORMAT].translated(0, dy).adjusted(0, 0, dx, 0)},
        {IDC_MAIN_TVMODE, before[IDC_MAIN_TVMODE].translated(0, dy)},
        {IDC_MAIN_ASPECT, before[IDC_MAIN_ASPECT].translated(0, dy)},
        {IDC_SMALL_CONVERT, before[IDC_SMALL_CONVERT].translated(dx, dy)},
    };
    for (const auto& place : places) QCOMPARE(PlaceOf(window.get(), place.id), place.expected);
    QCOMPARE(list->columnWidth(1), pathColumn + dx);

    window->resize(100, 100);  // never below the template
    QCOMPARE(window->size(), smallest);
    window->resize(grown);
    window.reset();
    QCOMPARE(SavedOptions().ReadInt("Window", "Width", -1), -1);  // option.ini keeps to its settings

    window = NewWindow();
    QCOMPARE(window->size(), grown);
    window->resize(5000, 5000);
    window.reset();
    window = NewWindow();  // a size from a larger screen fits this one
    QCOMPARE(window->size(), window->screen()->availableSize());
    window->setWindowState(Qt::WindowMaximized);
    window.reset();
    window = NewWindow();
    QVERIFY(window->windowState() & Qt::WindowMaximized);
}

QTEST_MAIN(MainWindowTest)
// Shown as a batch shows it, over the main window.
void MainWindowTest::theProgressWindowReopensWhereItWasMoved() {
    auto window = NewWindow();
    ShowActive(*window);
    CProgressDlg* progress = &window->ProgressWindow();
    progress->ShowOver(window.get());
    const QPoint first = progress->geometry().topLeft();
    progress->hide();
    progress->ShowOver(window.get());
    QCOMPARE(progress->geometry().topLeft(), first);  // not moved: placed as before, nothing kept

    const QPoint moved = first + QPoint(-37, 23);
    progress->move(progress->pos() + (moved - first));  // as the window manager moves it: by its frame
    progress->hide();
    progress->ShowOver(window.get());
    QCOMPARE(progress->geometry().topLeft(), moved);
    progress->hide();

    window.reset();
    window = NewWindow();  // a restart
    ShowActive(*window);
    progress = &window->ProgressWindow();
    progress->ShowOver(window.get());
    QCOMPARE(progress->geometry().topLeft(), moved);

    // A place on a screen that is gone comes back onto this one, whole.
    progress->move(5000, -4000);
    progress->hide();
    progress->ShowOver(window.get());
    const QRect area = progress->screen()->availableGeometry();
    QVERIFY2(area.contains(progress->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2").arg(progress->x()).arg(progress->y())));
    progress->hide();
}

#include "MainWindowTest.moc"
