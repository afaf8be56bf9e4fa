// The notice at a batch's end, through a stand-in notification service on
// the private session bus the test runs on (dbus-run-session).
#include "gui/widgets/FreedesktopNotifications.h"
#include "gui/windows/BatchEndNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QTest>
#include <QVariantMap>
#include <QWidget>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Keeps what it was asked to show, as a desktop's service would show it.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList bodies;
    QStringList actions;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString&, const QString& body,
                const QStringList& noticeActions, const QVariantMap&, int) {
        bodies << body;
        actions = noticeActions;
        return uint(bodies.size());
    }
};

}  // namespace

class BatchEndNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void tellsOnlyWhenTheUserIsElsewhereAndAClickBringsTheWindowBack();

private:
    // The service has a connection of its own, as another program would.
    QDBusConnection m_serviceBus{QStringLiteral("none")};
    FakeNotificationService m_service;
};

void BatchEndNoticeTest::initTestCase() {
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("No session bus: run under dbus-run-session (Debian package dbus-daemon).");
    m_serviceBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-service"));
    QVERIFY(m_serviceBus.registerObject(kPath, &m_service, QDBusConnection::ExportAllSlots));
}

void BatchEndNoticeTest::tellsOnlyWhenTheUserIsElsewhereAndAClickBringsTheWindowBack() {
    QWidget window, progress, otherProgram;
    for (QWidget* w : {&window, &progress, &otherProgram}) {
        w->resize(200, 100);
        w->show();
    }
    BatchEndNotice notice({&window, &progress}, std::make_unique<FreedesktopNotifications>());
    auto activate = [](QWidget& w) {
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
    };

    // No service on the bus: nothing is shown, nothing is said.
    activate(otherProgram);
    notice.BatchEnded(QStringLiteral("Lost on the way."));

    QVERIFY(m_serviceBus.registerService(kService));
    notice.BatchEnded(QStringLiteral("All 4 files were converted.\nDetails below."));
    QTRY_COMPARE(m_service.bodies, QStringList{"All 4 files were converted."});
    QVERIFY(m_service.actions.contains("default"));

    // The user is at the program's own windows: no notice. A later one
    // arrives after it would have, so one only is seen.
    activate(window);
    notice.BatchEnded(QStringLiteral("While at the main window."));
    activate(progress);
    notice.BatchEnded(QStringLiteral("While at the progress window."));
    activate(otherProgram);
    notice.BatchEnded(QStringLiteral("2 of 4 files were converted."));
    QTRY_COMPARE(m_service.bodies.size(), 2);
    QCOMPARE(m_service.bodies.last(), QStringLiteral("2 of 4 files were converted."));

    // A click on the first notice brings the main window to the front.
    QDBusMessage clicked = QDBusMessage::createSignal(kPath, kService, QStringLiteral("ActionInvoked"));
    clicked << 1u << QStringLiteral("default");
    QVERIFY(m_serviceBus.send(clicked));
    QTRY_VERIFY(window.isActiveWindow());
    QVERIFY(m_serviceBus.unregisterService(kService));
}

QTEST_MAIN(BatchEndNoticeTest)
#include "BatchEndNoticeTest.moc"
