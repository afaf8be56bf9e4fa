#include "HelpTestSupport.h"
#include "core/TipsFile.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TipsFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    std::string Write(const std::string& content) {
        std::string path = m_folder.filePath("tips.txt").toStdString();
        WriteFile(path, content);
        return path;
    }

    static std::vector<std::string> ReadTips(TipsFile& file, int count) {
        std::vector<std::string> tips;
        for (int i = 0; i < count; ++i) {
            std::string tip;
            if (file.ReadNextTip(tip) != TipsFile::ReadResult::Tip) break;
            tips.push_back(tip);
        }
        return tips;
    }

private slots:
    void skipsCommentsIndentedAndEmptyLinesAndWrapsToTheFirstTip() {
        TipsFile file(
            Write("; comment\n"
                  "First tip.\n"
                  "\n"
                  " indented\n"
                  "\tindented by a tab\n"
                  "Second tip.\r\n"
                  "\r\n"
                  ";another comment\n"
                  "Third tip, last line without an end"));
        QVERIFY(file.IsOpen());
        std::vector<std::string> expected{"First tip.\n", "Second tip.\n", "Third tip, last line without an end",
                                          "First tip.\n", "Second tip.\n"};
        QCOMPARE(ReadTips(file, 5), expected);
    }

    void splitsALongLineInto999CharactersAndTheRest() {
        std::string line = std::string(999, 'a') + std::string(501, 'b');
        TipsFile file(Write(line + "\nShort tip.\n" + std::string(999, 'c') + " rest starts with a space\n"));
        std::vector<std::string> expected{std::string(999, 'a'), std::string(501, 'b') + "\n", "Short tip.\n",
                                          std::string(999, 'c'), std::string(999, 'a')};
        QCOMPARE(ReadTips(file, 5), expected);
    }

    void anOffsetPastTheEndWrapsToTheFirstTip() {
        TipsFile file(Write("One.\nTwo.\n"));
        QVERIFY(file.Seek(100000));
        QCOMPARE(ReadTips(file, 1), std::vector<std::string>{"One.\n"});
        QCOMPARE(file.Position(), 5L);
    }

    void aFileWithoutTipsStopsAfterOnePass_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<long>("start");
        QTest::newRow("empty") << "" << 0L;
        QTest::newRow("only skipped lines") << "; a\n\n  b\n\tc\n" << 0L;
        QTest::newRow("only skipped lines, read from the middle") << "; a\n\n  b\n\tc\n" << 5L;
    }
    void aFileWithoutTipsStopsAfterOnePass() {
        QFETCH(QString, content);
        QFETCH(long, start);
        TipsFile file(Write(content.toStdString()));
        QVERIFY(file.Seek(start));
        std::string tip = "unchanged";
        QCOMPARE(file.ReadNextTip(tip), TipsFile::ReadResult::NoTips);
        QCOMPARE(tip, std::string("unchanged"));
    }

    void aTipBeforeTheStartIsFoundAfterTheRewind() {
        TipsFile file(Write("Only tip.\n; trailing comment\n\n"));
        QVERIFY(file.Seek(10));
        QCOMPARE(ReadTips(file, 2), (std::vector<std::string>{"Only tip.\n", "Only tip.\n"}));
    }

    void creationTimeIsWrittenAsCtimeDoes() {
        std::string path = Write("Tip.\n");
        TipsFile first(path);
        QString text = QString::fromStdString(first.CreationTimeText());
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] "
                                                   "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}$"))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
        QCOMPARE(TipsFile(path).CreationTimeText(), first.CreationTimeText());
        QVERIFY(!TipsFile(m_folder.filePath("missing.txt").toStdString()).IsOpen());
    }
};

static RegisterTest<TipsFileTest> registration;
#include "TipsFileTest.moc"
