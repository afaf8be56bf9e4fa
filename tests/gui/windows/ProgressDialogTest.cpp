// The batch's summary box as a user meets it: the keys that close it and the
// room its details get.
#include "gui/windows/CProgressDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {

QMessageBox* ShownBox() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) return box;
    return nullptr;
}

QAbstractButton* DetailsButton(QMessageBox* box) {
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::ActionRole) return button;
    return nullptr;
}

QString Lines(int count) {
    QStringList lines;
    for (int line = 1; line <= count; ++line) lines << QStringLiteral("/clips/file %1.avi: not converted").arg(line);
    return lines.join('\n');
}

}  // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT

private:
    // Shows a summary with `lines` lines of details and returns its box, active.
    QMessageBox* ShowSummary(int lines) {
        m_progress->ShowSummary(QStringLiteral("2 of 4 files were not converted."), Lines(lines), QMessageBox::Warning,
                                QStringLiteral("/out"), m_owner.get());
        QMessageBox* box = nullptr;
        [&] { QTRY_VERIFY((box = ShownBox()) != nullptr); }();
        if (box) {
            box->activateWindow();
            [&] { QVERIFY(QTest::qWaitForWindowActive(box)); }();
        }
        return box;
    }

    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<CProgressDlg> m_progress;

private slots:
    void init() {
        m_owner = std::make_unique<QWidget>();
        m_owner->show();
        m_progress = std::make_unique<CProgressDlg>(m_owner.get());
    }

    void cleanup() {
        m_progress.reset();
        m_owner.reset();
    }

    // Escape, the close box (and Alt+F4, which the window manager turns
    // into the same close) and Enter after "Show Details…" all act as OK,
    // not as Open Folder.
    void theSummaryClosesAsOk_data() {
        QTest::addColumn<QString>("way");
        for (const char* way : {"Escape", "close box", "Enter after Show Details"}) QTest::newRow(way) << way;
    }
    void theSummaryClosesAsOk() {
        QFETCH(QString, way);
        QMessageBox* box = ShowSummary(3);
        QVERIFY(box);
        QSignalSpy finished(box, &QDialog::finished);
        if (way == QLatin1String("Escape")) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (way == QLatin1String("close box")) {
            box->close();
        } else {
            QTest::mouseClick(DetailsButton(box), Qt::LeftButton);
            QTRY_VERIFY(box->findChild<QTextEdit*>()->isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(finished.first().first().toInt() != int(QMessageBox::Open));
    }

    // Long details fill the room the screen has, short ones take no more
    // than their lines.
    void theDetailsGetTheRoomTheScreenAllows() {
        for (int lines : {40, 3}) {
            QMessageBox* box = ShowSummary(lines);
            QVERIFY(box);
            QTest::mouseClick(DetailsButton(box), Qt::LeftButton);
            auto* pane = box->findChild<QTextEdit*>();
            QTRY_VERIFY(pane->isVisible());
            int lineHeight = pane->fontMetrics().lineSpacing();
            QVERIFY(box->height() <= box->screen()->availableGeometry().height());
            if (lines == 40)
                QVERIFY2(pane->height() >= 15 * lineHeight, qPrintable(QString::number(pane->height())));
            else
                QVERIFY2(pane->height() <= 6 * lineHeight, qPrintable(QString::number(pane->height())));
            box->close();
            QTRY_VERIFY(!ShownBox());
        }
    }
};

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialogTest.moc"
