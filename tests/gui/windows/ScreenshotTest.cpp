#include "ScreenshotSupport.h"
#include "UiTestSupport.h"

#include "gui/res/CommandIds.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CConverterDlg.h"
#include "gui/windows/COutputSettingsDlg.h"

#include <QApplication>
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

    void WindowsAreDrawn() {
        QTemporaryDir folder;
        std::string path = folder.path().toStdString() + "/";
        CConverterDlg window(SettingsStore(path, path + "user/"));
        // The pictures show what most people convert to today.
        Choose(ControlOf<QComboBox>(&window, IDC_MAIN_FORMAT), FormatMp4H264);
        ShowAndVerifyDrawn(window, QStringLiteral("main-window"));

        COutputSettingsDlg dialog(window.Settings(), &window);
        ShowAndVerifyDrawn(dialog, QStringLiteral("output-settings"));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
