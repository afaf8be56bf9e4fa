#include "gui/res/CommandIds.h"
#include "gui/res/MenuTemplate.h"
#include "gui/widgets/CHyperlinkLabel.h"
#include "gui/widgets/CommandTarget.h"
#include "gui/widgets/SkinLibrary.h"

#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <QtTest>

namespace {

class RecordingOwner : public QWidget, public CommandTarget {
public:
    QList<int> commands;
    void OnCommand(int commandId) override { commands.append(commandId); }
};

// Messages Qt printed while a skin was loaded.
QStringList g_messages;
void RecordMessage(QtMsgType, const QMessageLogContext&, const QString& message) { g_messages.append(message); }

// Once the popup's own event loop runs, presses these keys in it.
void PressInPopup(QList<Qt::Key> keys) {
    QTimer::singleShot(0, [keys] {
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(qobject_cast<QMenu*>(popup));
        for (Qt::Key key : keys) QTest::keyClick(popup, key);
    });
}

QColor WindowColor(QWidget& window) { return window.palette().color(QPalette::Active, QPalette::Window); }

}  // namespace

class SkinLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void init() { SkinLibrary::Initialize(*qApp); }
    void cleanup() { SkinLibrary::Shutdown(); }

    void skinAppliesToDialogsAndShutdownRestoresThePlainLook();
    void missingOrBrokenSkinLeavesThePlainLookSilently();
    void popupDeliversThePickedCommandToTheOwner();
    void skinnedLinksKeepTheirColours();
};

void SkinLibraryTest::skinAppliesToDialogsAndShutdownRestoresThePlainLook() {
    const QColor plain = QApplication::palette().color(QPalette::Window);
    QVERIFY(SkinLibrary::LoadSkinFromResource("TRAMBLE_SKIN", "SKINMAGIC"));
    SkinLibrary::SetDialogSkin("Toolbar");
    QVERIFY(qApp->styleSheet().isEmpty());

    SkinLibrary::SetDialogSkin("Dialog");
    QVERIFY(!qApp->styleSheet().isEmpty());
    QDialog dialog;
    dialog.ensurePolished();
    QCOMPARE(WindowColor(dialog), QColor("#eef1f4"));
    const QPalette skinned = QApplication::palette();
    QVERIFY2(skinned.color(QPalette::Disabled, QPalette::ButtonText) !=
                 skinned.color(QPalette::Active, QPalette::ButtonText),
             "a disabled control looks different");

    SkinLibrary::Shutdown();
    QVERIFY(qApp->styleSheet().isEmpty());
    QCOMPARE(QApplication::palette().color(QPalette::Window), plain);
}

void SkinLibraryTest::missingOrBrokenSkinLeavesThePlainLookSilently() {
    const QColor plain = QApplication::palette().color(QPalette::Window);
    g_messages.clear();
    QtMessageHandler previous = qInstallMessageHandler(RecordMessage);
    const bool missing = SkinLibrary::LoadSkinFromResource("NO_SUCH_SKIN", "SKINMAGIC");
    const bool broken = SkinLibrary::LoadSkinFromResource("broken", "TESTSKIN");
    SkinLibrary::SetDialogSkin("Dialog");
    qInstallMessageHandler(previous);

    QVERIFY(!missing);
    QVERIFY(!broken);
    QVERIFY(qApp->styleSheet().isEmpty());
    QCOMPARE(QApplication::palette().color(QPalette::Window), plain);
    QVERIFY2(g_messages.isEmpty(), qPrintable(g_messages.join(u'\n')));

    // A broken skin does not spoil a good one loaded after it.
    QVERIFY(SkinLibrary::LoadSkinFromResource("TRAMBLE_SKIN", "SKINMAGIC"));
}

void SkinLibraryTest::popupDeliversThePickedCommandToTheOwner() {
    RecordingOwner owner;
    owner.resize(200, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    PressInPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    const int picked = SkinLibrary::TrackPopupMenu(EditMenuTemplate(), owner.mapToGlobal(QPoint(20, 20)), &owner);
    QCOMPARE(picked, int(ID_EDIT_REMOVE));
    QVERIFY2(owner.commands.isEmpty(), "the command arrives after the menu has closed");
    QTRY_COMPARE(owner.commands, QList<int>{ID_EDIT_REMOVE});

    // The help menu's separator is skipped like any menu's.
    owner.commands.clear();
    PressInPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QCOMPARE(SkinLibrary::TrackPopupMenu(HelpMenuTemplate(), owner.mapToGlobal(QPoint(20, 20)), &owner),
             int(ID_HELP_ABOUT));
    QTRY_COMPARE(owner.commands, QList<int>{ID_HELP_ABOUT});

    owner.commands.clear();
    PressInPopup({Qt::Key_Down, Qt::Key_Escape});
    QCOMPARE(SkinLibrary::TrackPopupMenu(EditMenuTemplate(), owner.mapToGlobal(QPoint(20, 20)), &owner), 0);
    QCoreApplication::processEvents();
    QVERIFY(owner.commands.isEmpty());
}

void SkinLibraryTest::skinnedLinksKeepTheirColours() {
    QVERIFY(SkinLibrary::LoadSkinFromResource("TRAMBLE_SKIN", "SKINMAGIC"));
    SkinLibrary::SetDialogSkin("Dialog");
    QDialog dialog;
    auto* link =
        new CHyperlinkLabel(QStringLiteral("Home page"), QStringLiteral("https://www.tarvine.example/"), &dialog);
    link->setGeometry(10, 10, 150, 20);
    link->SetUnderline(true);
    SkinLibrary::SkinWindow(link);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QImage picture = dialog.grab(link->geometry()).toImage();
    bool linkColoured = false;
    for (int y = 0; y < picture.height() && !linkColoured; ++y) {
        for (int x = 0; x < picture.width() && !linkColoured; ++x) {
            linkColoured = picture.pixel(x, y) == CHyperlinkLabel::kLinkColor.rgb();
        }
    }
    QVERIFY2(linkColoured, "the link is drawn in the link colour");
    QCOMPARE(picture.pixel(picture.width() - 1, 0), QColor("#eef1f4").rgb());
}

QTEST_MAIN(SkinLibraryTest)
#include "SkinLibraryTest.moc"
