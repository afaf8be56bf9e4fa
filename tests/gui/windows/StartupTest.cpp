#include "core/IniFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <csignal>

// The real program, started from a program folder of its own.
class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void terminationSignalEndsTheRunNormallyAndSaves_data();
    void terminationSignalEndsTheRunNormallyAndSaves();
};

// Whatever the command line holds, the program starts as usual.
void StartupTest::terminationSignalEndsTheRunNormallyAndSaves_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("a video file") << QStringList{"clip.avi"};
    QTest::newRow("Qt's own options") << QStringList{
        "-platform", "bogus", "-style", "bogus", "-reverse", "-stylesheet", "/no/such.qss", "-qwindowgeometry", "1x1"};
    QTest::newRow("the embedding switch") << QStringList{"-Embedding"};
}

void StartupTest::terminationSignalEndsTheRunNormallyAndSaves() {
    QFETCH(QStringList, arguments);
    QTemporaryDir folder;
    QString program = folder.path() + "/tarvine";
    if (::link(TARVINE_PATH, QFile::encodeName(program).constData()) != 0)
        QVERIFY(QFile::copy(QStringLiteral(TARVINE_PATH), program));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", folder.path() + "/config");
    process.setProcessEnvironment(environment);
    // The program starts with SIGTERM blocked, so the signal sent below waits
    // until the program has taken it over; without that it would be killed.
    process.setChildProcessModifier([] {
        sigset_t terminate;
        sigemptyset(&terminate);
        sigaddset(&terminate, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &terminate, nullptr);
    });
    process.start(program, arguments);
    QVERIFY(process.waitForStarted());
    process.terminate();
    QVERIFY(process.waitForFinished(30000));

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    IniFile saved(folder.path().toStdString() + "/option.ini");
    QVERIFY(saved.Exists());
    QCOMPARE(saved.ReadInt("Destinate", "Volume", -1), 20);
}

QTEST_GUILESS_MAIN(StartupTest)
#include "StartupTest.moc"
