#include "HelpTestSupport.h"
#include "gui/res/CommandIds.h"
#include "gui/res/MenuTemplate.h"
#include "gui/windows/CTipDlg.h"
#include "gui/windows/HelpCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

const std::string kTips =
    "; Tips for the tests\n"
    "Tip A.\n"
    "\n"
    "Tip B.\n"
    "  indented, skipped\n"
    "Tip C.\n";

template <class T>
T* Control(QDialog& dialog, int id) {
    return dialog.findChild<T*>(QStringLiteral("control%1").arg(id));
}

// Closes the next modal window that opens (a message box or a dialog) and
// remembers its text.
class ModalCloser : public QObject {
public:
    ModalCloser() { Arm(); }
    QString seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    bool seen = false;

private:
    void Arm() {
        QTimer::singleShot(10, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return Arm();
            seen = true;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seenText = box->text();
                seenIcon = box->icon();
            }
            modal->close();
        });
    }
};

}  // namespace

class TipDialogTest : public QObject {
    Q_OBJECT

    static QString Tip(const CTipDlg& dialog) { return dialog.m_tipText; }

private slots:
    void init() {
        std::remove(AppProfile::DefaultPath().c_str());
        WriteFile(ProgramFile("tips.txt"), kTips);
    }
    void cleanupTestCase() { std::remove(ProgramFile("tips.txt").c_str()); }

    void firstRunShowsTheFirstTipWithTheBoxTicked() {
        CTipDlg dialog;
        QCOMPARE(Tip(dialog), QStringLiteral("Tip A.\n"));
        QCOMPARE(dialog.m_showAtStartup, 1);
        dialog.show();
        QVERIFY(Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->isChecked());
        QVERIFY(Control<QPushButton>(dialog, IDC_TIP_NEXT)->isEnabled());
    }

    void eachDialogAndNextTipMoveOnAndWrapAround() {
        {
            CTipDlg first;
            QCOMPARE(Tip(first), QStringLiteral("Tip A.\n"));
        }
        CTipDlg second;
        QCOMPARE(Tip(second), QStringLiteral("Tip B.\n"));
        second.show();
        QPushButton* next = Control<QPushButton>(second, IDC_TIP_NEXT);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(Tip(second), QStringLiteral("Tip C.\n"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(Tip(second), QStringLiteral("Tip A.\n"));
    }

    void theDestructorStoresThePositionAfterTheLastTipShown() {
        { CTipDlg dialog; }
        QCOMPARE(TipProfileValue("FilePos"), std::to_string(kTips.find("\n\nTip B") + 1));
        QVERIFY(TipProfileValue("TimeStamp") != "<missing>");
        QCOMPARE(TipProfileValue("StartUp"), std::string("<missing>"));
    }

    void aChangedFileTimeRestartsAtTheFirstTip() {
        { CTipDlg dialog; }
        std::string stamp = TipProfileValue("TimeStamp");
        TipProfile().WriteProfileString("Tip", "TimeStamp", "Thu Jan  1 00:00:00 1970");
        CTipDlg dialog;
        QCOMPARE(Tip(dialog), QStringLiteral("Tip A.\n"));
        QCOMPARE(TipProfileValue("TimeStamp"), stamp);
    }

    void anOffsetPastTheEndShowsTheFirstTip() {
        { CTipDlg dialog; }
        TipProfile().WriteProfileInt("Tip", "FilePos", 1 << 20);
        CTipDlg dialog;
        QCOMPARE(Tip(dialog), QStringLiteral("Tip A.\n"));
    }

    void aFailedSeekReportsTroubleAndShowsNoTip() {
        { CTipDlg dialog; }
        TipProfile().WriteProfileInt("Tip", "FilePos", -5);
        ModalCloser closer;
        CTipDlg dialog;
        QVERIFY(closer.seen);
        QCOMPARE(closer.seenText, QString::fromUtf8(kTipsFileTroubleString));
        QCOMPARE(closer.seenIcon, QMessageBox::Information);
        QVERIFY(Tip(dialog).isEmpty());
        dialog.show();
        QVERIFY(Control<QPushButton>(dialog, IDC_TIP_NEXT)->isEnabled());
    }

    void onlyCloseStoresTheStartUpFlag() {
        {
            CTipDlg dialog;
            dialog.show();
            Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->setChecked(false);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        }
        {
            CTipDlg dialog;
            dialog.show();
            Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->setChecked(false);
            dialog.close();
        }
        QCOMPARE(TipProfileValue("StartUp"), std::string("<missing>"));
        {
            CTipDlg dialog;
            dialog.show();
            Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->setChecked(false);
            QTest::mouseClick(Control<QPushButton>(dialog, ID_OK), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(TipProfileValue("StartUp"), std::string("1"));
        CTipDlg dialog;
        QCOMPARE(dialog.m_showAtStartup, 0);
        dialog.show();
        QVERIFY(!Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->isChecked());
        QTest::mouseClick(Control<QCheckBox>(dialog, IDC_TIP_STARTUP), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(dialog, ID_OK), Qt::LeftButton);
        QCOMPARE(TipProfileValue("StartUp"), std::string("0"));
    }

    void aMissingFileShowsString102WithNextDisabledAndStoresNothing() {
        std::remove(ProgramFile("tips.txt").c_str());
        {
            CTipDlg dialog;
            QCOMPARE(Tip(dialog), QString::fromUtf8(kTipsFileMissingString));
            dialog.show();
            QVERIFY(!Control<QPushButton>(dialog, IDC_TIP_NEXT)->isEnabled());
            QVERIFY(Control<QCheckBox>(dialog, IDC_TIP_STARTUP)->isChecked());
        }
        QCOMPARE(TipProfileValue("FilePos"), std::string("<missing>"));
        QCOMPARE(TipProfileValue("TimeStamp"), std::string("<missing>"));
    }

    void aFileWithoutTipsSaysSo() {
        WriteFile(ProgramFile("tips.txt"), "; nothing but comments\n\n");
        CTipDlg dialog;
        QVERIFY(Tip(dialog).contains(QStringLiteral("no tips")));
    }

    void theEmbeddingAndAutomationSwitchesSuppressTheStartupTip() {
        QVERIFY(StartupTipSuppressed({"tarvine", "-Embedding"}));
        QVERIFY(StartupTipSuppressed({"tarvine", "/automation"}));
        QVERIFY(StartupTipSuppressed({"tarvine", "clip.avi", "-AUTOMATION"}));
        QVERIFY(!StartupTipSuppressed({"tarvine"}));
        QVERIFY(!StartupTipSuppressed({"tarvine", "clip.avi", "Embedding", "--Embedding"}));
        QVERIFY(!StartupTipSuppressed({"/Embedding"}));
    }

    void startUpShowsTheDialogOnlyWhenSwitchedOnButAlwaysMovesOn() {
        {
            ModalCloser closer;
            RunStartupTip({"tarvine"});
            QVERIFY(closer.seen);
        }
        QCOMPARE(TipProfileValue("FilePos"), std::to_string(kTips.find("\n\nTip B") + 1));

        TipProfile().WriteProfileInt("Tip", "StartUp", 1);
        ModalCloser closer;
        RunStartupTip({"tarvine"});
        QCoreApplication::processEvents();
        QVERIFY(!closer.seen);
        QCOMPARE(TipProfileValue("FilePos"), std::to_string(kTips.find("\n  indented") + 1));

        RunStartupTip({"tarvine", "/Embedding"});
        QCOMPARE(TipProfileValue("FilePos"), std::to_string(kTips.find("\n  indented") + 1));
    }

    void tipOfTheDayShowsTheDialogWhateverTheFlag() {
        TipProfile().WriteProfileInt("Tip", "StartUp", 1);
        ModalCloser closer;
        ShowTipOfTheDay();
        QVERIFY(closer.seen);
    }
};

static RegisterTest<TipDialogTest> registration;
#include "TipDialogTest.moc"
