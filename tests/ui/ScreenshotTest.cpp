#include "UiTestSupport.h"

#include "controls/SkinLibrary.h"
#include "settings/COutputSettingsDlg.h"
#include "ui/CConverterDlg.h"

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>

namespace {

// A window that drew nothing is one flat colour, or close to it. A drawn one
// has text and frames: many colours, and no colour covering almost all of it.
void VerifyDrawn(QWidget& window, const QString& name) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QImage image = window.grab().toImage();
    QVERIFY(!image.isNull());
    QDir().mkpath(QStringLiteral(SCREENSHOT_FOLDER));
    image.save(QStringLiteral(SCREENSHOT_FOLDER "/%1.png").arg(name));

    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    int largest = 0;
    for (int count : counts) largest = std::max(largest, count);
    QVERIFY2(counts.size() > 32, qPrintable(QStringLiteral("%1 colours").arg(counts.size())));
    QVERIFY(largest < image.width() * image.height() * 9 / 10);
}

}  // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        SkinLibrary::Initialize(*qApp);
        QVERIFY(SkinLibrary::LoadSkinFromResource(QString::fromLatin1(SkinLibrary::kSkinResourceName),
                                                  QString::fromLatin1(SkinLibrary::kSkinResourceType)));
        SkinLibrary::SetDialogSkin(QString::fromLatin1(SkinLibrary::kDialogSkinObject));
    }
    void cleanupTestCase() { SkinLibrary::Shutdown(); }

    void WindowsAreDrawn() {
        QTemporaryDir folder;
        std::string path = folder.path().toStdString() + "/";
        CConverterDlg window(SettingsStore(path, path + "user/"));
        VerifyDrawn(window, QStringLiteral("main-window"));

        COutputSettingsDlg dialog(window.Settings(), &window);
        VerifyDrawn(dialog, QStringLiteral("output-settings"));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
