#include "ScreenshotSupport.h"
#include "UiTestSupport.h"

#include "gui/res/CommandIds.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CConverterDlg.h"
#include "gui/windows/COutputSettingsDlg.h"
#include "gui/windows/FileSettingsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

namespace {

// Shows the window, keeps its picture and checks that it was drawn.
void ShowAndVerifyDrawn(QWidget& window, const QString& name) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QImage image = window.grab().toImage();
    SaveScreenshot(image, name);
    VerifyDrawn(image);
}

}  // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(SkinLibrary::ApplyProgramSkin(*qApp)); }
    void cleanupTestCase() { SkinLibrary::Shutdown(); }

    void windowsAreDrawn() {
        QTemporaryDir folder;
        std::string path = folder.path().toStdString() + "/";
        CConverterDlg window(SettingsStore(path, path + "user/"));
        // The pictures show what most people convert to today.
        Choose(ControlOf<QComboBox>(&window, IDC_MAIN_FORMAT), FormatMp4H264);
        ShowAndVerifyDrawn(window, QStringLiteral("main-window"));

        COutputSettingsDlg dialog(window.Settings(), &window);
        ShowAndVerifyDrawn(dialog, QStringLiteral("output-settings"));

        SourceEntry film{"/home/ann/Videos/Film.mkv", 5400};
        film.soundTracks = {{"eng", 6, true, "ac3", ""},
                            {"deu", 6, false, "ac3", ""},
                            {"eng", 2, false, "aac", "Director's commentary"}};
        film.subtitleTracks = {{"eng", false, true, false, "subrip", "Forced"},
                               {"deu", false, false, true, "dvd_subtitle", ""},
                               {"fra", false, false, false, "subrip", "Film.fr.srt"}};
        FileSettingsDialog tracks(film, window.Settings(), nullptr, &window);
        ShowAndVerifyDrawn(tracks, QStringLiteral("file-settings"));
    }

    // The README's pictures of the disc image: the option, and the fill
    // shown under a list of two hour-long films.
    void discImageIsDrawn() {
        QTemporaryDir folder;
        std::string path = folder.path().toStdString() + "/";
        CConverterDlg window(SettingsStore(path, path + "user/"));
        window.Settings().outputFormat = FormatDvd;
        window.Settings().tvMode = 1;
        window.Settings().dvdQuality = 2;
        window.Settings().discImage = 1;
        for (const char* film : {"/home/ann/Videos/Summer holiday.avi", "/home/ann/Videos/Wedding.mp4"})
            window.AppendRow({film, 3600});
        ControlOf<QComboBox>(&window, IDC_MAIN_FORMAT)->setCurrentIndex(FormatDvd);
        window.UpdateTvModeBox();
        window.UpdateAspectBox();
        window.UpdateDiscFill();
        ShowAndVerifyDrawn(window, QStringLiteral("disc-fill"));

        COutputSettingsDlg dialog(window.Settings(), &window);
        ShowAndVerifyDrawn(dialog, QStringLiteral("disc-image-option"));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
