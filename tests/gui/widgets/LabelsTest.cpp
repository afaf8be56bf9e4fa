#include "core/OpenAddressText.h"
#include "gui/widgets/CColorLabel.h"
#include "gui/widgets/CHyperlinkLabel.h"
#include "gui/widgets/OpenAddress.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

void WriteFile(const QString& path, const QByteArray& content, bool executable = false) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (executable) file.setPermissions(file.permissions() | QFile::ExeOwner);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class LabelsTest : public QObject {
    Q_OBJECT

public slots:
    // Stands in for the desktop's handler of the "tarvine-ok" scheme.
    void HandleUrl(const QUrl& url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void colourFollowsVisitedAndHover();
    void textAndAddressStandInForEachOther();
    void fitToTextKeepsTheAlignedEdge();
    void clickOpensTheAddressAndMarksTheLinkVisited();
    void failedClickReportsWhyAndLeavesTheLinkUnvisited();
    void fallbackRunsTheRegisteredBrowserWithTheAddress();
    void colorLabelDrawsInItsOwnFontAndColours();

private:
    QString m_binFolder;
    QString m_dataFolder;
    QString m_recordFile;
    QTemporaryDir m_folder;
    QByteArray m_path;
    QByteArray m_dataHome;
    QList<QUrl> m_opened;
    QDialog* m_window = nullptr;
};

void LabelsTest::initTestCase() {
    QVERIFY(m_folder.isValid());
    m_path = qgetenv("PATH");
    m_dataHome = qgetenv("XDG_DATA_HOME");
    QDir root(m_folder.path());
    QVERIFY(root.mkpath("bin") && root.mkpath("share/applications"));
    m_binFolder = root.filePath("bin");
    m_dataFolder = root.filePath("share");
    m_recordFile = root.filePath("arguments.txt");
    QDesktopServices::setUrlHandler("tarvine-ok", this, "HandleUrl");
}

void LabelsTest::init() {
    m_window = new QDialog;
    m_window->resize(400, 200);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // No desktop tools unless a test provides them.
    qputenv("PATH", m_binFolder.toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_dataFolder.toLocal8Bit());
}

void LabelsTest::cleanup() {
    delete m_window;
    qputenv("PATH", m_path);
    qputenv("XDG_DATA_HOME", m_dataHome);
    m_opened.clear();
}

void LabelsTest::colourFollowsVisitedAndHover() {
    auto* link = new CHyperlinkLabel("Home page", "tarvine-ok://home", m_window);
    link->setGeometry(10, 10, 100, 20);
    link->show();
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kLinkColor);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->toolTip(), QString("tarvine-ok://home"));

    QTest::mouseMove(link, QPoint(5, 5));
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kHoverColor);
    QTest::qWait(3 * CHyperlinkLabel::kHoverCheckMs);
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kHoverColor);  // still over it

    QTest::mouseMove(m_window, QPoint(300, 150));
    QTRY_COMPARE_WITH_TIMEOUT(link->TextColor(), CHyperlinkLabel::kLinkColor, 10 * CHyperlinkLabel::kHoverCheckMs);

    link->SetVisited(true);
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kVisitedColor);
    QTest::mouseMove(link, QPoint(6, 6));
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kHoverColor);
}

void LabelsTest::textAndAddressStandInForEachOther() {
    CHyperlinkLabel empty("", "https://www.tarvine.example/");
    QCOMPARE(empty.text(), QString("https://www.tarvine.example/"));

    CHyperlinkLabel text("https://www.tarvine.example/order/");
    QCOMPARE(text.Address(), QString("https://www.tarvine.example/order/"));
    text.SetAddress("https://www.tarvine.example/support/");
    QCOMPARE(text.text(), QString("https://www.tarvine.example/order/"));
    QCOMPARE(text.Address(), QString("https://www.tarvine.example/support/"));
    QCOMPARE(text.toolTip(), QString("https://www.tarvine.example/support/"));
}

void LabelsTest::fitToTextKeepsTheAlignedEdge() {
    struct Case {
        Qt::Alignment alignment;
        const char* keeps;
    };
    for (Case c : {Case{Qt::AlignHCenter | Qt::AlignTop, "centre"}, Case{Qt::AlignLeft | Qt::AlignTop, "left"},
                   Case{Qt::AlignRight | Qt::AlignTop, "right"}, Case{Qt::AlignLeft | Qt::AlignVCenter, "middle"}}) {
        CHyperlinkLabel link("Technical support", m_window);
        link.setAlignment(c.alignment);
        link.setGeometry(100, 50, 200, 40);
        link.SetUnderline(true);
        link.SetAddress("https://www.tarvine.example/support/");

        QFontMetrics metrics(link.font());
        const int width = metrics.horizontalAdvance("Technical support");
        const QRect fitted = link.geometry();
        QVERIFY2(qAbs(fitted.width() - width) <= 1, c.keeps);
        if (qstrcmp(c.keeps, "centre") == 0) QVERIFY(qAbs((fitted.left() + fitted.right()) - 399) <= 1);
        if (qstrcmp(c.keeps, "left") == 0) QCOMPARE(fitted.left(), 100);
        if (qstrcmp(c.keeps, "right") == 0) QCOMPARE(fitted.left() + fitted.width(), 300);
        if (qstrcmp(c.keeps, "middle") == 0) {
            QVERIFY(qAbs((fitted.top() + fitted.bottom()) - 139) <= 1);
        } else {
            QCOMPARE(fitted.top(), 50);
            QCOMPARE(fitted.height(), metrics.height());
        }
    }
}

void LabelsTest::clickOpensTheAddressAndMarksTheLinkVisited() {
    auto* link = new CHyperlinkLabel("Online order", "tarvine-ok://order?item=1", m_window);
    link->setGeometry(10, 10, 100, 20);
    link->show();
    QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(m_opened, QList<QUrl>{QUrl("tarvine-ok://order?item=1")});
    QVERIFY(link->IsVisited());
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kVisitedColor);
}

namespace {

// What the next message box says and shows.
struct ShownBox {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

void AnswerNextBox(ShownBox& shown) {
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = {box->text(), box->icon()};
        box->accept();
    });
}

}  // namespace

void LabelsTest::failedClickReportsWhyAndLeavesTheLinkUnvisited() {
    auto* link = new CHyperlinkLabel("Home page", "tarvine-none://home", m_window);
    link->setGeometry(10, 10, 100, 20);
    link->SetVisited(true);
    link->show();

    ShownBox shown;
    AnswerNextBox(shown);
    QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(shown.text, QString::fromStdString(OpenErrorText(kOpenNoAssociation)));
    QCOMPARE(shown.icon, QMessageBox::Warning);
    QVERIFY(!link->IsVisited());
    QCOMPARE(link->TextColor(), CHyperlinkLabel::kLinkColor);

    // A folder without a file manager to show it: the user learns where it is.
    AnswerNextBox(shown);
    QVERIFY(!OpenAddressOrReport(QUrl::fromLocalFile(m_folder.path() + "/out put/").toString().toStdString()));
    QCOMPARE(shown.text, "The files are in the folder " + m_folder.path() +
                             "/out put.\n\nNo file manager could be started to show it.");
}

void LabelsTest::fallbackRunsTheRegisteredBrowserWithTheAddress() {
    QDir bin(m_binFolder);
    WriteFile(QDir(m_dataFolder).filePath("applications/mimeapps.list"),
              "[Default Applications]\ntext/html=gone.desktop;tarvine-test-browser.desktop;\n");
    WriteFile(bin.filePath("record arguments"),
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + m_recordFile.toLocal8Bit() +
                  ".part'\n"
                  "/bin/mv '" +
                  m_recordFile.toLocal8Bit() + ".part' '" + m_recordFile.toLocal8Bit() + "'\n",
              true);
    const QString entry = QDir(m_dataFolder).filePath("applications/tarvine-test-browser.desktop");
    WriteFile(entry, "[Desktop Entry]\nType=Application\nName=Test browser\nExec=\"" +
                         bin.filePath("record arguments").toLocal8Bit() + "\" --new-window %u\n");

    const int result = OpenAddress("tarvine-none://page one?a=\"b\"", kShowNormal);
    QVERIFY(result > kOpenFailureLimit);
    QTRY_COMPARE(ReadFile(m_recordFile), QByteArray("--new-window\ntarvine-none://page one?a=\"b\"\n"));

    // A registered program that is gone gives the file-not-found code.
    WriteFile(entry, "[Desktop Entry]\nExec=/nonexistent/browser %u\n");
    QCOMPARE(OpenAddress("tarvine-none://page", kShowNormal), int(kOpenFileNotFound));
    // No program registered: the desktop's own answer stands.
    QFile::remove(entry);
    QCOMPARE(OpenAddress("tarvine-none://page", kShowNormal), int(kOpenNoAssociation));
}

void LabelsTest::colorLabelDrawsInItsOwnFontAndColours() {
    auto* label = new CColorLabel("Tarvine 1.0", m_window);
    label->setGeometry(10, 10, 200, 20);
    QCOMPARE(label->LabelFont().family(), QString("Arial"));
    QCOMPARE(label->LabelFont().pixelSize(), CColorLabel::kFontPixelHeight);
    QCOMPARE(label->LabelFont().weight(), QFont::Black);
    QCOMPARE(label->TextColor(), QApplication::palette().color(QPalette::Active, QPalette::WindowText));

    QImage picture = label->grab().toImage();
    QCOMPARE(picture.pixel(199, 19), label->BackgroundColor().rgb());
    bool textDrawn = false;
    for (int x = 0; x < 100 && !textDrawn; ++x) textDrawn = picture.pixel(x, 8) == label->TextColor().rgb();
    QVERIFY(textDrawn);
}

QTEST_MAIN(LabelsTest)
#include "LabelsTest.moc"
