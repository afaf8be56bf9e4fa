#include "UiTestSupport.h"

#include "gui/res/CommandIds.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/COutputSettingsDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QThread>

namespace {

// Every key holds a value that only it would select, so a box showing the
// wrong key's value is caught.
ConversionSettings Distinct(int format) {
    ConversionSettings settings;
    settings.outputFormat = format;
    settings.aviQuality = 1;
    settings.mpeg1Quality = 2;
    settings.mpeg2Quality = 3;
    settings.svcdQuality = 4;
    settings.dvdQuality = 0;
    settings.wmvQuality = 5;
    settings.aviVideoCodec = 1;
    settings.asfVideoCodec = 2;
    settings.aviAudioCodec = 1;
    settings.divxAudioCodec = 0;
    settings.xvidAudioCodec = 1;
    settings.dvdAudioCodec = 1;
    settings.wmvAudioCodec = 0;
    settings.asfAudioCodec = 1;
    settings.tvMode = 1;
    settings.aviResolution = 13;
    settings.mpegResolution = 5;
    settings.aviFrameRate = 3;
    settings.mpegFrameRate = 4;
    settings.mpegAspect = 3;
    settings.dvdAspect = 0;
    settings.discImage = 1;
    settings.mp4Quality = 2;
    settings.mp4Resolution = 9;
    settings.mp4FrameRate = 5;
    return settings;
}

QComboBox* Box(const QDialog& dialog, int id) { return ControlOf<QComboBox>(&dialog, id); }

}  // namespace

class OutputSettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    // Dressed as the program dresses it: the skin changes the boxes' insides.
    void initTestCase() { QVERIFY(SkinLibrary::ApplyProgramSkin(*qApp)); }
    void cleanupTestCase() { SkinLibrary::Shutdown(); }
    void templateBuildsEveryControl();
    void listsFollowTheFormat_data();
    void listsFollowTheFormat();
    void divxAudioSurvivesAviAndBack();
    void asfAndWmvAudioAreIndependent();
    void tvModeFlipsDiscSizeAndRateButKeepsAspect();
    void volumeLabelFollowsTheThumb();
    void cancelEscapeAndCloseBoxChangeNothing();
    void okWritesBackValuesNoListCanShow();
};

void OutputSettingsDialogTest::templateBuildsEveryControl() {
    ConversionSettings settings;
    COutputSettingsDlg dialog(settings);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Output Settings"));
    VerifyControls(&dialog, {{-1, "QLabel", "Output format"},
                             {-1, "QLabel", "Output quality"},
                             {-1, "QLabel", "Video codec"},
                             {-1, "QLabel", "Audio codec"},
                             {-1, "QLabel", "Resolution"},
                             {-1, "QLabel", "Frame rate"},
                             {-1, "QLabel", "Volume"},
                             {-1, "QLabel", "TV mode"},
                             {-1, "QLabel", "Aspect ratio"},
                             {-1, "QLabel", "Conversions at once"},
                             {-1, "QLabel", "Disc menu title"},
                             {-1, "QLabel", "Audio tracks"},
                             {-1, "QLabel", "Subtitles"},
                             {IDC_SET_FORMAT, "QComboBox", "AVI Format (*.avi)"},
                             {IDC_SET_QUALITY, "QComboBox", "5.Medium (video bitrate:1000kbps; audio bitrate:128kbps)"},
                             {IDC_SET_VIDEO_CODEC, "QComboBox", "Divx"},
                             {IDC_SET_AUDIO_CODEC, "QComboBox", "MP3"},
                             {IDC_SET_RESOLUTION, "QComboBox", "Original"},
                             {IDC_SET_FRAME_RATE, "QComboBox", "Original"},
                             {IDC_SET_TVMODE, "QComboBox", "None"},
                             {IDC_SET_ASPECT, "QComboBox", "None"},
                             {IDC_SET_CONVERSIONS, "QComboBox", "Auto"},
                             {IDC_SET_AUDIO_TRACKS, "QComboBox", "The default track"},
                             {IDC_SET_SUBTITLES, "QComboBox", "None"},
                             {IDC_SET_LETTERBOX, "QCheckBox", "Add letter box to keep aspect ratio"},
                             {IDC_SET_DISC_IMAGE, "QCheckBox", "Make a disc image"},
                             {IDC_SET_DISC_TITLE, "QLineEdit", ""},
                             {IDC_SET_VOLUME, "QSlider", ""},
                             {IDC_SET_VOLUME_LABEL, "QLabel", "+0db"},
                             {ID_OK, "QPushButton", "Ok"},
                             {ID_CANCEL, "QPushButton", "Cancel"}});
    QCOMPARE(Box(dialog, IDC_SET_FORMAT)->count(), 15);
    QCOMPARE(Box(dialog, IDC_SET_FORMAT)->itemText(9), QStringLiteral("ASF Format (*.ASF)"));
    QCOMPARE(Box(dialog, IDC_SET_FORMAT)->itemText(10),
             QStringLiteral("MP4 for phones and the web, H.264 + AAC (*.mp4)"));
    QCOMPARE(Box(dialog, IDC_SET_FORMAT)->itemText(11),
             QStringLiteral("MP4 with H.265, smaller files, H.265 + AAC (*.mp4)"));
    QCOMPARE(Box(dialog, IDC_SET_FORMAT)->itemText(14), QStringLiteral("WebM, AV1 + Opus (*.webm)"));
}

void OutputSettingsDialogTest::listsFollowTheFormat_data() {
    QTest::addColumn<int>("format");
    // quality, video, audio, TV, resolution, frame rate, aspect, disc image, audio tracks
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, int format, QStringList expected) { QTest::newRow(name) << format << expected; };
    row("AVI", 0, {"E9:1", "E2:1", "E2:1", "D1:0", "E20:13", "E8:3", "D1:0", "D1", "D"});
    row("MPEG1", 1, {"E6:2", "D1:0", "D1:0", "D1:0", "E18:5", "E6:4", "E4:3", "D1", "D"});
    row("MPEG2", 2, {"E6:3", "D1:0", "D1:0", "D1:0", "E18:5", "E6:4", "E4:3", "D1", "D"});
    row("DivX", 3, {"E9:1", "D1:0", "E2:0", "D1:0", "E20:13", "E8:3", "D1:0", "D1", "D"});
    row("Xvid", 4, {"E9:1", "D1:0", "E2:1", "D1:0", "E20:13", "E8:3", "D1:0", "D1", "D"});
    row("VCD", 5, {"E6:2", "D1:0", "D1:0", "E2:1", "D2:1", "D2:1", "E2:0", "E1", "D"});
    row("SVCD", 6, {"E5:4", "D1:0", "D1:0", "E2:1", "D2:1", "D2:1", "E2:0", "E1", "D"});
    row("DVD", 7, {"E6:0", "D1:0", "E2:1", "E2:1", "D2:1", "D2:1", "E2:0", "E1", "E"});
    row("WMV", 8, {"E9:5", "D1:0", "E2:0", "D1:0", "E20:13", "D1:0", "D1:0", "D1", "D"});
    row("ASF", 9, {"E9:5", "E3:2", "E2:1", "D1:0", "E20:13", "D1:0", "D1:0", "D1", "D"});
    row("MP4 H.264", 10, {"E7:2", "D1:0", "D1:0", "D1:0", "E14:9", "E9:5", "D1:0", "D1", "E"});
    row("MP4 H.265", 11, {"E7:2", "D1:0", "D1:0", "D1:0", "E14:9", "E9:5", "D1:0", "D1", "E"});
    row("MKV H.264", 12, {"E7:2", "D1:0", "D1:0", "D1:0", "E14:9", "E9:5", "D1:0", "D1", "E"});
    row("WebM", 14, {"E7:2", "D1:0", "D1:0", "D1:0", "E14:9", "E9:5", "D1:0", "D1", "E"});
}

void OutputSettingsDialogTest::listsFollowTheFormat() {
    QFETCH(int, format);
    QFETCH(QStringList, expected);
    const int ids[] = {IDC_SET_QUALITY,    IDC_SET_VIDEO_CODEC, IDC_SET_AUDIO_CODEC, IDC_SET_TVMODE,
                       IDC_SET_RESOLUTION, IDC_SET_FRAME_RATE,  IDC_SET_ASPECT};
    auto describeAll = [&ids](const QDialog& dialog) {
        QStringList shown;
        for (int id : ids) shown << Describe(Box(dialog, id));
        const QCheckBox* discImage = ControlOf<QCheckBox>(&dialog, IDC_SET_DISC_IMAGE);
        shown << QStringLiteral("%1%2").arg(discImage->isEnabled() ? 'E' : 'D').arg(int(discImage->isChecked()));
        return shown << QString(Box(dialog, IDC_SET_AUDIO_TRACKS)->isEnabled() ? 'E' : 'D');
    };

    // Opened on the format, and reached by choosing it from another format.
    ConversionSettings opened = Distinct(format);
    COutputSettingsDlg openedDialog(opened);
    QCOMPARE(Box(openedDialog, IDC_SET_FORMAT)->currentIndex(), format);
    QCOMPARE(describeAll(openedDialog), expected);
    VerifyBoxesShowTheirTexts(&openedDialog);

    ConversionSettings switched = Distinct(format == 0 ? 9 : 0);
    COutputSettingsDlg switchedDialog(switched);
    Choose(Box(switchedDialog, IDC_SET_FORMAT), format);
    QCOMPARE(describeAll(switchedDialog), expected);
}

void OutputSettingsDialogTest::divxAudioSurvivesAviAndBack() {
    ConversionSettings settings = Distinct(FormatDivx);
    settings.aviAudioCodec = 0;
    COutputSettingsDlg dialog(settings);
    QComboBox* format = Box(dialog, IDC_SET_FORMAT);
    QComboBox* audio = Box(dialog, IDC_SET_AUDIO_CODEC);

    Choose(audio, 1);
    Choose(format, FormatAvi);
    QCOMPARE(audio->currentText(), QStringLiteral("MP3"));
    Choose(format, FormatDivx);
    QCOMPARE(audio->currentText(), QStringLiteral("AC3"));
    QCOMPARE(settings.divxAudioCodec, 0);  // nothing written before "Ok"

    dialog.accept();
    QCOMPARE(settings.divxAudioCodec, 1);
    QCOMPARE(settings.aviAudioCodec, 0);
    QCOMPARE(settings.outputFormat, int(FormatDivx));
}

void OutputSettingsDialogTest::asfAndWmvAudioAreIndependent() {
    ConversionSettings settings = Distinct(FormatAsf);  // ASF audio 1, WMV audio 0
    COutputSettingsDlg dialog(settings);
    QComboBox* format = Box(dialog, IDC_SET_FORMAT);
    QComboBox* audio = Box(dialog, IDC_SET_AUDIO_CODEC);

    QCOMPARE(audio->currentIndex(), 1);
    Choose(audio, 0);
    Choose(format, FormatWmv);
    QCOMPARE(audio->currentIndex(), 0);
    Choose(audio, 1);
    Choose(format, FormatAsf);
    QCOMPARE(audio->currentIndex(), 0);

    dialog.accept();
    QCOMPARE(settings.asfAudioCodec, 0);
    QCOMPARE(settings.wmvAudioCodec, 1);
}

void OutputSettingsDialogTest::tvModeFlipsDiscSizeAndRateButKeepsAspect() {
    const struct {
        int format;
        const char* ntscSize;
        const char* palSize;
        const char* ntscRate;
    } discs[] = {{FormatVcd, "352 x 240", "352 x 288", "23.976 fps"},
                 {FormatSvcd, "480 x 480", "480 x 576", "29.97 fps"},
                 {FormatDvd, "720 x 480", "720 x 576", "29.97 fps"}};
    for (const auto& disc : discs) {
        ConversionSettings settings = Distinct(disc.format);
        settings.tvMode = 0;
        COutputSettingsDlg dialog(settings);
        QComboBox* size = Box(dialog, IDC_SET_RESOLUTION);
        QComboBox* rate = Box(dialog, IDC_SET_FRAME_RATE);
        QComboBox* aspect = Box(dialog, IDC_SET_ASPECT);
        QCOMPARE(size->currentText(), QString(disc.ntscSize));
        QCOMPARE(rate->currentText(), QString(disc.ntscRate));

        Choose(aspect, 1);
        Choose(Box(dialog, IDC_SET_TVMODE), 1);
        QCOMPARE(size->currentText(), QString(disc.palSize));
        QCOMPARE(rate->currentText(), QStringLiteral("25.0 fps"));
        QVERIFY(!size->isEnabled() && !rate->isEnabled());
        QCOMPARE(aspect->currentIndex(), 1);

        dialog.accept();
        QCOMPARE(settings.tvMode, 1);
        QCOMPARE(settings.dvdAspect, 1);
        QCOMPARE(settings.aviResolution, 13);  // the disc lists are not the AVI ones
    }
}

void OutputSettingsDialogTest::volumeLabelFollowsTheThumb() {
    ConversionSettings settings;
    COutputSettingsDlg dialog(settings);
    auto* slider = ControlOf<QSlider>(&dialog, IDC_SET_VOLUME);
    auto* label = ControlOf<QLabel>(&dialog, IDC_SET_VOLUME_LABEL);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 40);
    QCOMPARE(label->text(), QStringLiteral("+0db"));

    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(label->text(), QStringLiteral("-20db"));
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(label->text(), QStringLiteral("+20db"));
    QTest::keyClick(slider, Qt::Key_Left);
    QCOMPARE(label->text(), QStringLiteral("+19db"));

    dialog.accept();
    QCOMPARE(settings.volume, 39);
}

void OutputSettingsDialogTest::cancelEscapeAndCloseBoxChangeNothing() {
    enum Route { CancelButton, Escape, CloseBox };
    for (Route route : {CancelButton, Escape, CloseBox}) {
        ConversionSettings settings = Distinct(FormatDvd);
        settings.outputFolder = "/tmp/keep/";
        const ConversionSettings before = settings;
        COutputSettingsDlg dialog(settings);
        dialog.show();
        Choose(Box(dialog, IDC_SET_QUALITY), 3);
        Choose(Box(dialog, IDC_SET_TVMODE), 0);
        ControlOf<QCheckBox>(&dialog, IDC_SET_DISC_IMAGE)->click();
        Choose(Box(dialog, IDC_SET_FORMAT), FormatAsf);
        Choose(Box(dialog, IDC_SET_VIDEO_CODEC), 0);
        ControlOf<QCheckBox>(&dialog, IDC_SET_LETTERBOX)->click();
        QTest::keyClick(ControlOf<QSlider>(&dialog, IDC_SET_VOLUME), Qt::Key_End);

        switch (route) {
        case CancelButton: ControlOf<QPushButton>(&dialog, ID_CANCEL)->click(); break;
        case Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
        case CloseBox: dialog.close(); break;
        }
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(settings == before);
    }
}

void OutputSettingsDialogTest::okWritesBackValuesNoListCanShow() {
    ConversionSettings settings = Distinct(FormatAvi);
    settings.aviQuality = 77;
    settings.aviResolution = -3;
    settings.aviFrameRate = 8;
    settings.mpegAspect = 9;
    settings.volume = 99;
    settings.letterbox = 0;
    settings.conversionsAtOnce = 999;
    ConversionSettings before = settings;
    COutputSettingsDlg dialog(settings);
    QCOMPARE(Box(dialog, IDC_SET_QUALITY)->currentIndex(), -1);
    QCOMPARE(Box(dialog, IDC_SET_RESOLUTION)->currentIndex(), -1);
    QCOMPARE(Box(dialog, IDC_SET_FRAME_RATE)->currentIndex(), -1);
    QCOMPARE(Box(dialog, IDC_SET_CONVERSIONS)->currentIndex(), -1);
    ControlOf<QPushButton>(&dialog, ID_OK)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(settings == before);

    // A format no list knows: the format box shows nothing, the lists that
    // depend on it are empty, and "Ok" still keeps every stored value.
    settings.outputFormat = 15;
    before = settings;
    COutputSettingsDlg unknown(settings);
    QCOMPARE(Box(unknown, IDC_SET_FORMAT)->currentIndex(), -1);
    QCOMPARE(Describe(Box(unknown, IDC_SET_QUALITY)), QStringLiteral("E0:-1"));
    QCOMPARE(Describe(Box(unknown, IDC_SET_FRAME_RATE)), QStringLiteral("D0:-1"));
    QCOMPARE(Describe(Box(unknown, IDC_SET_TVMODE)), QStringLiteral("D1:0"));
    QCOMPARE(Describe(Box(unknown, IDC_SET_RESOLUTION)), QStringLiteral("E20:-1"));
    unknown.accept();
    QVERIFY(settings == before);

    // The letterbox flag comes from the check box.
    COutputSettingsDlg ticking(settings);
    ControlOf<QCheckBox>(&ticking, IDC_SET_LETTERBOX)->click();
    ticking.accept();
    QCOMPARE(settings.letterbox, 1);

    // "Conversions at once": "Auto", then 1 up to the cores, stored as chosen.
    COutputSettingsDlg conversions(settings);
    QComboBox* atOnce = Box(conversions, IDC_SET_CONVERSIONS);
    QCOMPARE(atOnce->count(), 1 + QThread::idealThreadCount());
    QTest::keyClick(atOnce, Qt::Key_Home);
    QTest::keyClick(atOnce, Qt::Key_Down);
    conversions.accept();
    QCOMPARE(settings.conversionsAtOnce, 1);

    // The disc image and menu switches and the menu's title are the working
    // copy's, like the lists; the menu is greyed with the image, the title
    // with the menu.
    settings.outputFormat = FormatDvd;
    COutputSettingsDlg disc(settings);
    QCheckBox* menu = ControlOf<QCheckBox>(&disc, IDC_SET_DISC_MENU);
    QLineEdit* title = ControlOf<QLineEdit>(&disc, IDC_SET_DISC_TITLE);
    QVERIFY(menu->isEnabled() && menu->isChecked() && title->isEnabled());
    QTest::keyClicks(title, " Our summer ");
    menu->click();
    QVERIFY(!title->isEnabled());
    ControlOf<QCheckBox>(&disc, IDC_SET_DISC_IMAGE)->click();
    QVERIFY(!menu->isEnabled());
    disc.accept();
    QCOMPARE(settings.discImage, 0);
    QCOMPARE(settings.discMenu, 0);
    QCOMPARE(settings.discMenuTitle, "Our summer");
    // "Audio tracks": the position is the stored number.
    COutputSettingsDlg tracks(settings);
    Choose(Box(tracks, IDC_SET_AUDIO_TRACKS), ConversionSettings::kAllAudioTracks);
    Choose(Box(tracks, IDC_SET_SUBTITLES), ConversionSettings::kForcedAndDefaultSubtitles);
    tracks.accept();
    QCOMPARE(settings.audioTracks, ConversionSettings::kAllAudioTracks);
    QCOMPARE(settings.subtitles, ConversionSettings::kForcedAndDefaultSubtitles);
    COutputSettingsDlg again(settings);
    QCOMPARE(ControlOf<QLineEdit>(&again, IDC_SET_DISC_TITLE)->text(), QStringLiteral("Our summer"));
}

QTEST_MAIN(OutputSettingsDialogTest)
#include "OutputSettingsDialogTest.moc"
