#include "HelpTestSupport.h"
#include "gui/res/ProductAddresses.h"
#include "gui/widgets/CColorLabel.h"
#include "gui/widgets/CHyperlinkLabel.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CAboutDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include <cstdio>

class AboutBoxTest : public QObject {
    Q_OBJECT

    static QString ProductLine() {
        CAboutDlg about;
        return about.m_productLine->text();
    }

private slots:
    // The about box is seen skinned, as the program shows it.
    void initTestCase() { QVERIFY(SkinLibrary::ApplyProgramSkin(*qApp)); }
    void cleanupTestCase() { SkinLibrary::Shutdown(); }

    void cleanup() { std::remove(ProgramFile("version.ini").c_str()); }

    void theProductLineShowsTheVersionFromVersionIni_data() {
        QTest::addColumn<QString>("versionIni");
        QTest::addColumn<QString>("productLine");
        QTest::newRow("no version.ini") << QString() << "Tarvine 1.00";
        QTest::newRow("version 2.5") << "[General]\nVersion=2.5\n"
                                     << "Tarvine 2.5";
        QTest::newRow("no Version key") << "[General]\nBuild=7\n"
                                        << "Tarvine 1.00";
        QTest::newRow("cut to 63 characters") << "[General]\nVersion=" + QString(70, '9') + "\n"
                                              << "Tarvine " + QString(55, '9');
    }
    void theProductLineShowsTheVersionFromVersionIni() {
        QFETCH(QString, versionIni);
        QFETCH(QString, productLine);
        if (!versionIni.isNull()) WriteFile(ProgramFile("version.ini"), versionIni.toStdString());
        QCOMPARE(ProductLine(), productLine);
    }

    void theLinksOpenTheProductPagesUnderlinedAndWhole() {
        CAboutDlg about;
        about.show();
        const std::tuple<CHyperlinkLabel*, QString, const char*> links[] = {
            {about.m_homePage, "Home page", kHomePageAddress},
            {about.m_orderPage, "Online order", kOrderPageAddress},
            {about.m_supportPage, "Technical support", kSupportPageAddress}};
        for (const auto& [label, text, address] : links) {
            QVERIFY(label);
            QCOMPARE(label->text(), text);
            QCOMPARE(label->Address(), QString::fromLatin1(address));
            QCOMPARE(label->toolTip(), QString::fromLatin1(address));
            QVERIFY(label->font().underline());
            QVERIFY(label->width() >= QFontMetrics(label->font()).horizontalAdvance(text));
        }
    }

    // By the font's metrics every text fits its label, and no label comes
    // closer to the box's right and bottom edges than half a line.
    void everyTextFitsWithinTheBox() {
        CAboutDlg about;
        about.show();
        const int clearance = about.fontMetrics().height() / 2;
        const QRect inside = about.rect().adjusted(0, 0, -clearance, -clearance);
        for (QLabel* label : about.findChildren<QLabel*>()) {
            if (label->text().isEmpty() || label->isHidden()) continue;
            const QFontMetrics metrics(label->font());
            const QString text = label->text();
            if (label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(text));
            } else {
                for (const QString& line : text.split('\n'))
                    QVERIFY2(metrics.horizontalAdvance(line) <= label->width(), qPrintable(line));
            }
            QVERIFY2(inside.contains(label->geometry()), qPrintable(text));
        }
    }
};

static RegisterTest<AboutBoxTest> registration;
#include "AboutBoxTest.moc"
