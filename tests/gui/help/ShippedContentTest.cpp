#include "HelpTestSupport.h"
#include "core/FormatCatalogue.h"
#include "core/SettingsStore.h"
#include "core/TipsFile.h"
#include "core/VideoFileFilter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace {

const QString kProgramFolder = QStringLiteral(TARVINE_BIN_DIR);

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The name a preset goes by in the help: its text up to the padding.
QString PresetName(const QualityPreset& preset) {
    QString text = QString::fromLatin1(preset.text);
    return text.left(text.indexOf(QRegularExpression(QStringLiteral("\\s*\\("))));
}

// What a preset asks of the picture: a rate, or a constant quality.
QString VideoColumn(const QualityPreset& preset) {
    return preset.crf ? QStringLiteral("quality factor %1").arg(preset.crf)
                      : QStringLiteral("%1 kbps").arg(preset.videoKbps);
}

std::span<const QualityPreset> Presets(const QString& table) {
    if (table == QLatin1String("avi")) return FormatCatalogue::AviQualities();
    if (table == QLatin1String("mpeg1")) return FormatCatalogue::Mpeg1Qualities();
    if (table == QLatin1String("mpeg2")) return FormatCatalogue::Mpeg2Qualities();
    if (table == QLatin1String("svcd")) return FormatCatalogue::SvcdQualities();
    if (table == QLatin1String("dvd")) return FormatCatalogue::DvdQualities();
    if (table == QLatin1String("mp4")) return FormatCatalogue::Format(FormatMp4H264).qualities;
    if (table == QLatin1String("mp4h265")) return FormatCatalogue::Format(FormatMp4H265).qualities;
    if (table == QLatin1String("webm")) return FormatCatalogue::Format(FormatWebm).qualities;
    return FormatCatalogue::WmvQualities();
}

}  // namespace

class ShippedContentTest : public QObject {
    Q_OBJECT

private slots:
    void everyLinkAndPictureOfTheHelpLeadsToAFile() {
        QDir help(kProgramFolder + QStringLiteral("/help"));
        QSet<QString> pages;
        QDirIterator it(help.path(), {QStringLiteral("*.htm")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) pages.insert(QFileInfo(it.next()).canonicalFilePath());
        QVERIFY(pages.size() >= 9);

        QSet<QString> reached;
        for (const QString& page : pages) {
            QString html = ReadText(page);
            QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#]+)(#[^\"]*)?\""));
            for (auto match = reference.globalMatch(html); match.hasNext();) {
                QString target = match.next().captured(1);
                if (target.contains(QStringLiteral("://"))) continue;
                QString path = QFileInfo(QFileInfo(page).dir(), target).canonicalFilePath();
                QVERIFY2(!path.isEmpty(), qPrintable(page + " refers to the missing " + target));
                reached.insert(path);
            }
        }
        for (const QString& line : ReadText(help.filePath(QStringLiteral("contents.txt"))).split('\n')) {
            if (line.isEmpty() || line.startsWith('#')) continue;
            QString path = QFileInfo(help, line.section('|', 1).trimmed()).canonicalFilePath();
            QVERIFY2(!path.isEmpty(), qPrintable("contents.txt names a missing page: " + line));
            reached.insert(path);
        }
        for (const QString& page : pages) QVERIFY2(reached.contains(page), qPrintable(page + " is never linked"));
    }

    void theQualityPageShowsTheCataloguesPresets_data() {
        QTest::addColumn<QString>("table");
        for (const char* table : {"avi", "mpeg1", "mpeg2", "svcd", "dvd", "wmv", "mp4", "mp4h265", "webm"})
            QTest::newRow(table) << table;
    }
    void theQualityPageShowsTheCataloguesPresets() {
        QFETCH(QString, table);
        std::span<const QualityPreset> presets = Presets(table);
        QString html = ReadText(kProgramFolder + QStringLiteral("/help/formats/quality-presets.htm"));
        qsizetype start = html.indexOf(QStringLiteral("<table id=\"%1\">").arg(table));
        QVERIFY(start >= 0);
        QString rows = html.mid(start, html.indexOf(QStringLiteral("</table>"), start) - start);
        QCOMPARE(rows.count(QStringLiteral("<tr><td>")), qsizetype(presets.size()));
        for (const QualityPreset& preset : presets) {
            QString row = QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3 kbps</td>")
                              .arg(PresetName(preset), VideoColumn(preset))
                              .arg(preset.audioKbps);
            QVERIFY2(rows.contains(row), qPrintable(row));
        }
    }

    // The file type table names each ending the import dialog's first
    // entry offers, and no other.
    void theFileTypeTableListsWhatTheDialogTakes() {
        QString html = ReadText(kProgramFolder + QStringLiteral("/help/adding/adding-files.htm"));
        qsizetype start = html.indexOf(QStringLiteral("<table id=\"types\">"));
        QVERIFY(start >= 0);
        QString table = html.mid(start, html.indexOf(QStringLiteral("</table>"), start) - start);
        QSet<QString> listed;
        QRegularExpression endings(QStringLiteral("<tr><td>[^<]*</td><td>([^<]*)</td>"));
        for (auto match = endings.globalMatch(table); match.hasNext();)
            for (const QString& ending : match.next().captured(1).split(QStringLiteral(", ")))
                listed.insert(QStringLiteral("*") + ending);
        QSet<QString> offered;
        for (const QString& pattern :
             QString::fromLatin1(VideoFileFilter::Entries().front().patterns).split(QLatin1Char(';')))
            offered.insert(pattern);
        QCOMPARE(listed, offered);
    }

    // Each output format has its section under the name its box shows.
    void theFormatPageDescribesEveryFormat() {
        QString html = ReadText(kProgramFolder + QStringLiteral("/help/formats/output-formats.htm"));
        for (const FormatEntry& format : FormatCatalogue::Formats()) {
            QString heading = QStringLiteral("</a>%1</h2>").arg(QString::fromLatin1(format.comboText));
            QVERIFY2(html.contains(heading), qPrintable(heading));
        }
    }

    void theShippedTipsAreManyAndFitOneRead() {
        TipsFile tips(kProgramFolder.toStdString() + "/tips.txt");
        QVERIFY(tips.IsOpen());
        std::string first, tip;
        QCOMPARE(tips.ReadNextTip(first), TipsFile::ReadResult::Tip);
        int count = 1;
        while (tips.ReadNextTip(tip) == TipsFile::ReadResult::Tip && tip != first) {
            QVERIFY2(tip.size() < TipsFile::kMaxTipLength && tip.back() == '\n', tip.c_str());
            ++count;
        }
        QVERIFY2(count >= 25, qPrintable(QString::number(count)));
    }

    void theShippedVersionIsTheProgramsVersion() {
        SettingsStore store(kProgramFolder.toStdString() + "/", "/nonexistent/");
        QCOMPARE(store.LoadVersion(), std::string(TARVINE_VERSION));
    }
};

static RegisterTest<ShippedContentTest> registration;
#include "ShippedContentTest.moc"
