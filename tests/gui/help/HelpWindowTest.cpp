#include "HelpTestSupport.h"
#include "gui/windows/HelpCommands.h"
#include "gui/windows/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

namespace {

const QString kHelpFolder = QStringLiteral(TARVINE_BIN_DIR "/help");

// The point of the browser's viewport where the link to a page is drawn.
QPoint LinkPosition(QTextBrowser* browser, const QString& hrefEnd) {
    QTextDocument* document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().anchorHref().endsWith(hrefEnd)) continue;
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser->ensureCursorVisible();
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            return browser->cursorRect(cursor).center();
        }
    }
    return QPoint(-1, -1);
}

QString PageName(const QUrl& url) {
    QString path = url.toLocalFile();
    return path.mid(path.lastIndexOf(QStringLiteral("/help/")) + 6);
}

HelpWindow* OpenHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<HelpWindow*>(widget); window && window->isVisible()) return window;
    return nullptr;
}

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnItsTopicWithTheContentsListed() {
        HelpWindow window(kHelpFolder);
        window.ShowTopic(QStringLiteral("overview/overview.htm"));
        window.show();
        QCOMPARE(PageName(window.CurrentPage()), QStringLiteral("overview/overview.htm"));
        QVERIFY(window.Browser()->toPlainText().contains(QStringLiteral("Welcome to Tarvine")));
        QCOMPARE(window.Contents()->count(), 9);
        QCOMPARE(window.Contents()->currentItem()->text(), QStringLiteral("Overview"));
        // Wholly on a screen smaller than its preferred size (the offscreen
        // platform's is 800 x 600), with room left for a title bar.
        QRect free = window.screen()->availableGeometry();
        const QRect withTitleBar = window.geometry().adjusted(0, -30, 0, 0);
        QVERIFY2(free.contains(withTitleBar), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                             .arg(window.x())
                                                             .arg(window.y())
                                                             .arg(window.width())
                                                             .arg(window.height())));
    }

    void followsALinkAndComesBack() {
        HelpWindow window(kHelpFolder);
        window.resize(900, 700);
        window.ShowTopic(QStringLiteral("overview/overview.htm"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPoint link = LinkPosition(window.Browser(), QStringLiteral("adding/adding-files.htm"));
        QVERIFY(link.x() >= 0);
        QTest::mouseClick(window.Browser()->viewport(), Qt::LeftButton, {}, link);
        QCOMPARE(PageName(window.CurrentPage()), QStringLiteral("adding/adding-files.htm"));
        QCOMPARE(window.Contents()->currentItem()->text(), QStringLiteral("Adding video files"));

        auto* back = window.findChildren<QToolButton*>().at(0);
        auto* forward = window.findChildren<QToolButton*>().at(1);
        QVERIFY(back->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(PageName(window.CurrentPage()), QStringLiteral("overview/overview.htm"));
        QVERIFY(forward->isEnabled());
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(PageName(window.CurrentPage()), QStringLiteral("adding/adding-files.htm"));
    }

    void aContentsEntryOpensItsPage() {
        HelpWindow window(kHelpFolder);
        window.ShowTopic(QStringLiteral("overview/overview.htm"));
        window.Contents()->setCurrentRow(5);
        QCOMPARE(PageName(window.CurrentPage()), QStringLiteral("settings/letterbox.htm"));
        QVERIFY(window.Browser()->toPlainText().contains(QStringLiteral("Letterboxing")));
    }

    void escapeAndCtrlWCloseIt() {
        for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            QPointer<HelpWindow> window = new HelpWindow(kHelpFolder);
            window->ShowTopic(QStringLiteral("overview/overview.htm"));
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keySequence(window->Browser(), keys);
            QTRY_VERIFY2(!window, qPrintable(keys.toString()));
        }
    }

    void contentOpensTheHelpBesideTheProgramOrNothing() {
        QString besideProgram = QString::fromStdString(ProgramFile("help"));
        QFile::remove(besideProgram);
        OpenHelpContent();
        QVERIFY(!OpenHelpWindow());

        QVERIFY(QFile::link(kHelpFolder, besideProgram));
        OpenHelpContent();
        QPointer<HelpWindow> window = OpenHelpWindow();
        QFile::remove(besideProgram);
        QVERIFY(window);
        QCOMPARE(PageName(window->CurrentPage()), QStringLiteral("overview/overview.htm"));
        window->close();
        QTRY_VERIFY(!window);
    }
};

static RegisterTest<HelpWindowTest> registration;
#include "HelpWindowTest.moc"
