#include "ClipMaker.h"

#include "core/ArgumentSplitter.h"
#include "core/DiscFillEstimate.h"
#include "core/EncoderArguments.h"
#include "core/FormatCatalogue.h"
#include "core/Padding.h"
#include "gui/runner/DiscImageMaker.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

struct Clip {
    QString name;
    int seconds;
};
// The first is long enough for the encoder's rate control to settle.
const Clip kClips[] = {{"holiday.avi", 10}, {"party.avi", 4}};

QString Run(const QString& program, const QStringList& arguments, int* status = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (status) *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

ConversionSettings DiscSettings(int format, int tvMode, int aspect) {
    ConversionSettings settings;
    settings.outputFormat = format;
    settings.tvMode = tvMode;
    settings.dvdAspect = aspect;
    settings.discImage = 1;
    return settings;
}

// With noise, so the encoder spends what the preset asks.
bool MakeNoisyClip(const QString& path, int seconds) {
    const QString duration = QString::number(seconds);
    return RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i",
                      "testsrc=size=640x480:rate=25:duration=" + duration + ",noise=alls=25:allf=t", "-f", "lavfi",
                      "-i", "sine=frequency=440:sample_rate=44100:duration=" + duration, "-c:v", "mpeg4", "-q:v", "2",
                      path});
}

// Converts each clip as the front-end would, into `folder`; the clips are
// made there first.
std::vector<ConvertedFile> ConvertClips(const QString& folder, const ConversionSettings& settings) {
    std::vector<ConvertedFile> converted;
    for (const Clip& clip : kClips) {
        QString source = folder + "/" + clip.name;
        if (!QFileInfo::exists(source) && !MakeNoisyClip(source, clip.seconds)) return {};
        EncodeTargets targets;
        Padding pads = ComputePadding(settings, targets, 640, 480, 1.0);
        std::string output = (folder + "/" + QFileInfo(clip.name).completeBaseName() + "." +
                              QString::fromStdString(OutputExtension(settings.outputFormat)))
                                 .toStdString();
        EncoderRunValues run{source.toStdString(), output, pads.horizontal, pads.vertical, 0, -1, 25.0};
        QStringList arguments;
        for (const std::string& argument : SplitArguments(BuildEncoderArguments(run, settings, targets)))
            arguments << QString::fromStdString(argument);
        int status = -1;
        QString errors = Run(KELVOENC_PATH, arguments, &status);
        if (status != 0) qWarning() << "kelvoenc" << arguments << errors;
        converted.push_back({source.toStdString(), output, double(clip.seconds),
                             status == 0 ? ConvertedFile::Outcome::Whole : ConvertedFile::Outcome::Failed});
    }
    return converted;
}

DiscImageResult Make(DiscImageMaker& maker, const DiscImagePlan& plan) {
    QSignalSpy finished(&maker, &DiscImageMaker::Finished);
    maker.Start(plan);
    if (!finished.wait(300000)) return DiscImageResult::Failed("no end reported");
    return finished.first().first().value<DiscImageResult>();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// lsdvd's titles as "seconds standard aspect sound-rate", e.g. "10 PAL 16/9 48000".
QStringList DvdTitles(const QString& path) {
    QString listing = Run("lsdvd", {"-v", "-a", path});
    QStringList titles;
    const QRegularExpression length(R"(^\d+, Length: (\d\d):(\d\d):(\d\d))"),
        video(R"(Format: (\w+), Aspect ratio: ([\d/]+))"), sound(R"(Frequency: (\d+))");
    for (const QString& block :
         listing.split(QRegularExpression("^Title: ", QRegularExpression::MultilineOption)).mid(1)) {
        auto l = length.match(block), v = video.match(block), a = sound.match(block);
        int seconds = l.captured(1).toInt() * 3600 + l.captured(2).toInt() * 60 + l.captured(3).toInt();
        titles << QStringLiteral("%1 %2 %3 %4").arg(seconds).arg(v.captured(1), v.captured(2), a.captured(1));
    }
    if (titles.isEmpty()) qWarning().noquote() << listing;
    return titles;
}

}  // namespace

class DiscImageTest : public QObject {
    Q_OBJECT
private slots:
    void makesADiscThatReadsBack_data();
    void makesADiscThatReadsBack();
    void stopFailureAndMissingToolLeaveNothing();
};

void DiscImageTest::makesADiscThatReadsBack_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("tvMode");
    QTest::addColumn<int>("aspect");
    // DVD: lsdvd's titles; CD: vcd-info's track count (the data track, then one per file)
    QTest::addColumn<QString>("expected");
    QTest::newRow("DVD PAL 16:9") << int(FormatDvd) << 1 << 1 << "10 PAL 16/9 48000,4 PAL 16/9 48000";
    QTest::newRow("DVD NTSC 4:3") << int(FormatDvd) << 0 << 0 << "10 NTSC 4/3 48000,4 NTSC 4/3 48000";
    QTest::newRow("VCD NTSC") << int(FormatVcd) << 0 << 0 << "3";
    QTest::newRow("SVCD PAL") << int(FormatSvcd) << 1 << 1 << "3";
}

void DiscImageTest::makesADiscThatReadsBack() {
    QFETCH(int, format);
    QFETCH(int, tvMode);
    QFETCH(int, aspect);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    ConversionSettings settings = DiscSettings(format, tvMode, aspect);
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings);
    QCOMPARE(converted.size(), std::size(kClips));
    for (const ConvertedFile& file : converted) QVERIFY(file.outcome == ConvertedFile::Outcome::Whole);

    // The estimate the window shows, against what the encoder wrote.
    double estimated = DiscFillEstimate::For(settings, kClips[0].seconds)->FileBytes();
    double written = double(QFileInfo(QString::fromStdString(converted[0].outputPath)).size());
    QVERIFY2(std::abs(estimated - written) <= 0.15 * written,
             qPrintable(QStringLiteral("estimated %1 bytes, written %2").arg(estimated).arg(written)));

    // A name already taken is kept; the image takes the next.
    QFile taken(folder.filePath(format == FormatDvd ? "Tarvine disc.iso" : "Tarvine disc.cue"));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    converted.push_back({"/clips/broken.avi", "", 3, ConvertedFile::Outcome::Failed});
    DiscImagePlan plan = DiscImagePlan::Make(settings, converted, folder.path().toStdString());
    QVERIFY(!plan.notes.empty());
    QCOMPARE(QString::fromStdString(plan.notes.front()),
             QStringLiteral("\"broken.avi\" was left out of the disc image: it was not converted."));

    DiscImageMaker maker;
    DiscImageResult result = Make(maker, plan);
    QString image = QString::fromStdString(plan.names.image);
    QString line = QString::fromStdString(result.SummaryLine());
    QVERIFY2(line.startsWith("The disc image was made with 2 of 3 files: \"" + image + "\" and \""), qPrintable(line));
    QCOMPARE(line.contains("\nThe VCD's video"), format == FormatVcd);
    QCOMPARE(QFileInfo(image).fileName(), format == FormatDvd ? "Tarvine disc_1.iso" : "Tarvine disc_1.bin");
    QCOMPARE(taken.size(), 0);

    if (format == FormatDvd) {
        QCOMPARE(DvdTitles(QString::fromStdString(plan.names.folder)).join(','), expected);
        QCOMPARE(DvdTitles(image).join(','), expected);
        QVERIFY(Run("isoinfo", {"-l", "-i", image}).contains("VIDEO_TS.IFO"));
    } else {
        QString info = Run("vcd-info", {"--no-banner", "--show-tracks", "--bin-file=" + image});
        QRegularExpression tracks(R"(CD-ROM TRACKS \(1 - (\d+)\))");
        QVERIFY2(tracks.match(info).captured(1) == expected, qPrintable(info));
    }
    // Only the sources, the converted files, the image and the taken name.
    QCOMPARE(Entries(folder.path()).size(), 2 * qsizetype(std::size(kClips)) + 3);
}

void DiscImageTest::stopFailureAndMissingToolLeaveNothing() {
    QTemporaryDir folder;
    ConversionSettings settings = DiscSettings(FormatDvd, 1, 1);
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings);
    DiscImagePlan plan = DiscImagePlan::Make(settings, converted, folder.path().toStdString());
    const QStringList before = Entries(folder.path());

    DiscImageMaker maker;
    QSignalSpy progress(&maker, &DiscImageMaker::Progress);
    QSignalSpy finished(&maker, &DiscImageMaker::Finished);
    maker.Start(plan);
    QVERIFY(maker.Running());
    QCOMPARE(progress.first().first().toString(), QStringLiteral("Making the disc image…"));
    maker.Stop();
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished.first().first().value<DiscImageResult>().outcome == DiscImageResult::Outcome::Stopped);
    QCOMPARE(Entries(folder.path()), before);

    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    DiscImageResult missing = Make(maker, plan);
    qputenv("PATH", path);
    QCOMPARE(QString::fromStdString(missing.SummaryLine()),
             QStringLiteral("The disc image was not made: the program \"dvdauthor\" is not installed (Debian package "
                            "dvdauthor). The converted files are kept."));
    QCOMPARE(Entries(folder.path()), before);

    // A tool that fails is named with its last words.
    QFile notVideo(folder.filePath("notes.vob"));
    QVERIFY(notVideo.open(QIODevice::WriteOnly) && notVideo.write("not a video\n") > 0);
    notVideo.close();
    plan.titles = {{notVideo.fileName().toStdString(), 10}};
    QString failure = QString::fromStdString(Make(maker, plan).SummaryLine());
    QVERIFY2(failure.startsWith("The disc image was not made: dvdauthor failed (status 1): ") &&
                 failure.endsWith(". The converted files are kept."),
             qPrintable(failure));
    QCOMPARE(Entries(folder.path()).size(), before.size() + 1);
}

QTEST_MAIN(DiscImageTest)
#include "DiscImageTest.moc"
