#include "ClipMaker.h"

#include "core/ArgumentSplitter.h"
#include "core/DiscAuthoring.h"
#include "core/DiscFillEstimate.h"
#include "core/EncoderArguments.h"
#include "core/FormatCatalogue.h"
#include "core/Padding.h"
#include "discmenu/DiscMenuPainter.h"
#include "engine/DiscImageMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <dvdnav/dvdnav.h>

#include <cmath>
#include <span>

namespace {

struct Clip {
    QString name;
    double seconds;
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
bool MakeNoisyClip(const QString& path, double seconds) {
    const QString duration = QString::number(seconds);
    return RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i",
                      "testsrc=size=640x480:rate=25:duration=" + duration + ",noise=alls=25:allf=t", "-f", "lavfi",
                      "-i", "sine=frequency=440:sample_rate=44100:duration=" + duration, "-c:v", "mpeg4", "-q:v", "2",
                      path});
}

// Converts each clip as the front-end would, into `folder`; the clips are
// made there first.
std::vector<ConvertedFile> ConvertClips(const QString& folder, const ConversionSettings& settings,
                                        std::span<const Clip> clips = kClips, int fitted = 0,
                                        const SubtitlePick& subtitles = {}) {
    std::vector<ConvertedFile> converted;
    for (const Clip& clip : clips) {
        QString source = folder + "/" + clip.name;
        if (!QFileInfo::exists(source) && !MakeNoisyClip(source, clip.seconds)) return {};
        std::string output = (folder + "/" + QFileInfo(clip.name).completeBaseName() + "." +
                              QString::fromStdString(OutputExtension(settings.outputFormat)))
                                 .toStdString();
        EncoderRunValues run{source.toStdString(), output, PlanFrame(settings, 640, 480, 1.0), 0, -1, 25.0, fitted};
        run.subtitles = subtitles;
        QStringList arguments;
        for (const std::string& argument : ConversionArguments(run, settings))
            arguments << QString::fromStdString(argument);
        int status = -1;
        QString errors = Run(KELVOENC_PATH, arguments, &status);
        if (status != 0) qWarning() << "kelvoenc" << arguments << errors;
        converted.push_back({source.toStdString(), output, clip.seconds,
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

// A disc played as a player plays it: block by block through libdvdnav,
// stills and waits skipped unless the menu is up.
class DiscPlayer {
public:
    explicit DiscPlayer(const QString& image) {
        if (dvdnav_open(&m_nav, image.toLocal8Bit().constData()) != DVDNAV_STATUS_OK) m_nav = nullptr;
    }
    ~DiscPlayer() {
        if (m_nav) dvdnav_close(m_nav);
    }
    bool Opened() const { return m_nav != nullptr; }

    // Plays on until the menu shows (its still, in the menu domain), and
    // gives its buttons' count; 0 when the disc ends or plays too long first.
    int PlayToMenu() {
        for (int block = 0; block < kBlockLimit; ++block) {
            int event = Next();
            if (event == DVDNAV_STOP || event < 0) return 0;
            if (event == DVDNAV_STILL_FRAME && dvdnav_is_domain_vtsm(m_nav))
                return dvdnav_get_current_nav_pci(m_nav)->hli.hl_gi.btn_ns;
            if (event == DVDNAV_STILL_FRAME) dvdnav_still_skip(m_nav);
        }
        return 0;
    }
    // Plays on until a title other than `after` plays, and gives its number (0: none).
    int PlayToTitle(int after = 0) {
        for (int block = 0; block < kBlockLimit; ++block) {
            int event = Next();
            if (event == DVDNAV_STOP || event < 0) return 0;
            int32_t title = 0, part = 0;
            if (dvdnav_is_domain_vts(m_nav) && dvdnav_current_title_info(m_nav, &title, &part) == DVDNAV_STATUS_OK &&
                title > 0 && title != after)
                return title;
            if (event == DVDNAV_STILL_FRAME) dvdnav_still_skip(m_nav);
        }
        return 0;
    }
    void Press(dvdnav_status_t (*key)(dvdnav_t*, pci_t*)) { key(m_nav, dvdnav_get_current_nav_pci(m_nav)); }
    void Activate(int button) { dvdnav_button_select_and_activate(m_nav, dvdnav_get_current_nav_pci(m_nav), button); }
    // The languages of the playing title's subpicture streams, as a
    // player's subtitle button names them.
    QStringList SubtitleLanguages() {
        QStringList languages;
        for (uint8_t stream = 0; stream < 32; ++stream) {
            const uint16_t code = dvdnav_spu_stream_to_lang(m_nav, stream);
            if (code == 0xffff) break;
            languages << QString(QChar(code >> 8)) + QChar(code & 0xff);
        }
        return languages;
    }
    int Highlighted() {
        int32_t button = 0;
        dvdnav_get_current_highlight(m_nav, &button);
        return button;
    }

private:
    static constexpr int kBlockLimit = 200000;
    int Next() {
        int event = 0, length = 0;
        if (dvdnav_get_next_block(m_nav, m_block, &event, &length) != DVDNAV_STATUS_OK) return -1;
        if (event == DVDNAV_WAIT) dvdnav_wait_skip(m_nav);
        return event;
    }
    dvdnav_t* m_nav = nullptr;
    uint8_t m_block[DVD_VIDEO_LB_LEN];
};

// The mean brightness of a part of a picture, 0 to 255.
double Brightness(const QImage& picture, const MenuRect& area) {
    double sum = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) sum += qGray(picture.pixel(x, y));
    return sum / (area.width * area.height);
}

// The columns and lines of `area` that hold a letter (light on the dark page).
QRect Ink(const QImage& picture, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(picture.pixel(x, y)) > 128) ink |= QRect(x, y, 1, 1);
    return ink;
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
    void menuNamesStandWholeApart_data();
    void menuNamesStandWholeApart();
    void opensOnAMenuThatPlaysAndReturns_data();
    void opensOnAMenuThatPlaysAndReturns();
    void aListFittedToTheDiscFillsIt();
    void oddTitlesMakeADisc();
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
    DiscImagePlan plan = DiscImagePlan::Make(settings, 0, converted, folder.path().toStdString());
    QVERIFY(!plan.notes.empty());
    QCOMPARE(QString::fromStdString(plan.notes.front()),
             QStringLiteral("\"broken.avi\" was left out of the disc image: it was not converted."));

    // Another batch takes the planned image's name while it is made: it takes the next.
    QFile takenMeanwhile(QString::fromStdString(plan.names.image));
    QVERIFY(takenMeanwhile.open(QIODevice::WriteOnly));
    takenMeanwhile.close();

    DiscImageMaker maker;
    DiscImageResult result = Make(maker, plan);
    QString image = QString::fromStdString(result.paths.front());
    QString line = QString::fromStdString(result.SummaryLine());
    QVERIFY2(line.startsWith("The disc image was made with 2 of 3 files: \"" + image + "\" and \""), qPrintable(line));
    QCOMPARE(line.contains("\nThe VCD's video"), format == FormatVcd);
    QCOMPARE(QFileInfo(image).fileName(), format == FormatDvd ? "Tarvine disc_2.iso" : "Tarvine disc_2.bin");
    QCOMPARE(taken.size(), 0);
    QCOMPARE(takenMeanwhile.size(), 0);

    if (format == FormatDvd) {
        QCOMPARE(DvdTitles(QString::fromStdString(result.paths.back())).join(','), expected);
        QCOMPARE(DvdTitles(image).join(','), expected);
        QVERIFY(Run("isoinfo", {"-l", "-i", image}).contains("VIDEO_TS.IFO"));
    } else {
        QString info =
            Run("vcd-info", {"--no-banner", "--show-tracks", "--cue-file=" + folder.filePath("Tarvine disc_2.cue")});
        QRegularExpression tracks(R"(CD-ROM TRACKS \(1 - (\d+)\))");
        QVERIFY2(tracks.match(info).captured(1) == expected, qPrintable(info));
    }
    // Only the sources, the converted files, the image and the two taken names.
    QCOMPARE(Entries(folder.path()).size(), 2 * qsizetype(std::size(kClips)) + 4);
}

void DiscImageTest::stopFailureAndMissingToolLeaveNothing() {
    QTemporaryDir folder;
    ConversionSettings settings = DiscSettings(FormatDvd, 1, 1);
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings);
    DiscImagePlan plan = DiscImagePlan::Make(settings, 0, converted, folder.path().toStdString());
    const QStringList before = Entries(folder.path());

    DiscMenuPainter painter;
    DiscImageMaker maker(KELVOENC_PATH, &painter);
    QSignalSpy progress(&maker, &DiscImageMaker::Progress);
    QSignalSpy finished(&maker, &DiscImageMaker::Finished);
    maker.Start(plan);
    QVERIFY(maker.Running());
    QCOMPARE(progress.first().first().toString(), QStringLiteral("Making the disc image…"));
    maker.Stop();
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished.first().first().value<DiscImageResult>().outcome == DiscImageResult::Outcome::Stopped);
    // The work folder goes as soon as the stopped tool has gone.
    QTRY_COMPARE(Entries(folder.path()), before);

    // Without spumux the disc is made without its menu; without dvdauthor not at all.
    QTemporaryDir tools;
    for (const char* tool : {"dvdauthor", "genisoimage"})
        QVERIFY(QFile::link(QStandardPaths::findExecutable(tool), tools.filePath(tool)));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit());
    DiscImageResult withoutMenu = Make(maker, plan);
    QFile::remove(tools.filePath("dvdauthor"));
    DiscImageResult missing = Make(maker, plan);
    qputenv("PATH", path);
    QCOMPARE(QString::fromStdString(withoutMenu.SummaryLine()),
             QString::fromStdString(DiscImageResult::Made(plan, plan.names.Paths()).SummaryLine()).chopped(1) +
                 ", without a menu: the program \"spumux\" is not installed (Debian package dvdauthor).");
    QCOMPARE(QString::fromStdString(missing.SummaryLine()),
             QStringLiteral("The disc image was not made: the program \"dvdauthor\" is not installed (Debian package "
                            "dvdauthor). The converted files are kept."));
    QCOMPARE(Entries(folder.path()).size(), before.size() + 2);  // the image and its folder

    // A tool that fails is named with its last words, the menu's first.
    QFile notVideo(folder.filePath("notes.vob"));
    QVERIFY(notVideo.open(QIODevice::WriteOnly) && notVideo.write("not a video\n") > 0);
    notVideo.close();
    plan.titles = {{notVideo.fileName().toStdString(), 10, "notes"}};
    QString failure = QString::fromStdString(Make(maker, plan).SummaryLine());
    QVERIFY2(failure.startsWith("The disc image was not made: kelvoenc failed (status 2): kelvoenc: ") &&
                 failure.endsWith(". The converted files are kept."),
             qPrintable(failure));
    QCOMPARE(Entries(folder.path()).size(), before.size() + 3);
}

void DiscImageTest::menuNamesStandWholeApart_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("pixelAspect");  // how wide a TV shows a stored pixel
    QTest::newRow("PAL 4:3") << 576 << 12.0 / 11;
    QTest::newRow("PAL 16:9") << 576 << 16.0 / 11;
    QTest::newRow("NTSC 4:3") << 480 << 10.0 / 11;
    QTest::newRow("NTSC 16:9") << 480 << 40.0 / 33;
}

void DiscImageTest::menuNamesStandWholeApart() {
    QFETCH(int, height);
    QFETCH(double, pixelAspect);
    // Twenty characters each, one without a space.
    const std::vector<std::string> names = {"Holiday 2024 - Day 1", "Wedding of Mia & Max", "First day at school!",
                                            "PXL_20240612_1930451", "Grandma's 80th party", "Kindergarten concert"};
    const DiscMenuLayout menu(720, height, names, "Summer holidays 2024");
    QTemporaryDir folder;
    QCOMPARE(QString::fromStdString(DiscMenuPainter().DrawPage(menu, 0, folder.path().toStdString())), QString());
    const QImage page(folder.filePath(QString::fromStdString(DiscAuthoring::BackgroundFile(0))));
    const QImage outlines(folder.filePath(QString::fromStdString(DiscAuthoring::HighlightFile(0))));
    auto rect = [](const MenuRect& r) { return QRect(r.x, r.y, r.width, r.height); };

    QVERIFY(!Ink(page, rect(menu.TitleArea())).isEmpty());
    const std::vector<DiscMenuButton>& buttons = menu.Pages().front().buttons;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString name = QString::fromStdString(names[i]);
        const QStringList lines = DiscMenuPainter::LabelLines(name, buttons[i].text.width);
        QVERIFY2(lines.size() <= 2 && lines.join("").remove(' ') == QString(name).remove(' '),
                 qPrintable(lines.join('|')));
        // Measured between the still and the next row: the letters keep to
        // their own label's box, and a neighbour's letters and highlight
        // stand clear of it on the TV.
        const QRect box = rect(buttons[i].text);
        const QRect band(0, box.top(), page.width(), box.height());
        const QRect ink = Ink(page, band.intersected(QRect(box.left() - 8, 0, box.width() + 16, page.height())));
        QVERIFY2(box.contains(ink), qPrintable(name));
        if (i % 3 == 0) continue;
        const QRect before = rect(buttons[i - 1].text);
        const QRect between(before.right() + 1, box.top(), box.left() - before.right() - 1, box.height());
        QVERIFY(between.width() * pixelAspect >= 12);
        QVERIFY2(Ink(page, between).isEmpty(), qPrintable(name));
        for (int x = between.left(); x <= between.right(); ++x) QCOMPARE(qAlpha(outlines.pixel(x, box.top())), 0);
    }
    // Only what two lines cannot hold is shortened, in the middle.
    const QStringList wide = DiscMenuPainter::LabelLines("MMMMMM WWWWWW MMMMMM WWWWWW", buttons[0].text.width);
    QCOMPARE(wide.size(), 2);
    QVERIFY2(wide[0].startsWith("MMMMMM") && wide.join(' ').contains(QChar(0x2026)) && wide[1].endsWith("WWWWWW"),
             qPrintable(wide.join('|')));
}

void DiscImageTest::opensOnAMenuThatPlaysAndReturns_data() {
    QTest::addColumn<int>("tvMode");
    QTest::addColumn<int>("aspect");
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("buttons");  // on the first page
    QTest::newRow("PAL 16:9, 3 files") << 1 << 1 << 3 << 4;
    QTest::newRow("NTSC 4:3, 8 files on two pages") << 0 << 0 << 8 << 8;
}

void DiscImageTest::opensOnAMenuThatPlaysAndReturns() {
    QFETCH(int, tvMode);
    QFETCH(int, aspect);
    QFETCH(int, files);
    QFETCH(int, buttons);
    QTemporaryDir folder;
    std::vector<Clip> clips;
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("Day %1 at the lake with the whole family").arg(i + 1);
        clips.push_back({name + ".avi", 1});
        // Its subtitles beside it, German and English.
        for (const char* language : {"de", "en"}) {
            QFile subtitles(folder.filePath(name + "." + language + ".srt"));
            QVERIFY(subtitles.open(QIODevice::WriteOnly));
            subtitles.write("1\n00:00:00,200 --> 00:00:00,800\nHallo\n\n");
        }
    }
    ConversionSettings settings = DiscSettings(FormatDvd, tvMode, aspect);
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings, clips, 0, {{1, 2}});
    for (ConvertedFile& file : converted) file.subtitleLanguages = {"deu", "eng"};
    DiscImagePlan plan = DiscImagePlan::Make(settings, 0, converted, folder.path().toStdString());
    QVERIFY(plan.menu.has_value());
    DiscMenuPainter painter;
    DiscImageMaker maker(KELVOENC_PATH, &painter);
    DiscImageResult result = Make(maker, plan);
    QVERIFY2(result.outcome == DiscImageResult::Outcome::Made, result.SummaryLine().c_str());

    DiscPlayer player(QString::fromStdString(plan.names.image));
    QVERIFY(player.Opened());
    QCOMPARE(player.PlayToMenu(), buttons);
    // The arrows step through the buttons in reading order.
    QCOMPARE(player.Highlighted(), 1);
    player.Press(dvdnav_right_button_select);
    QCOMPARE(player.Highlighted(), 2);
    player.Press(dvdnav_lower_button_select);
    QCOMPARE(player.Highlighted(), files > 3 ? 5 : buttons);
    player.Activate(2);
    QCOMPARE(player.PlayToTitle(), 2);
    // The player's subtitle button names the languages.
    QCOMPARE(player.SubtitleLanguages(), QStringList({"de", "en"}));
    QCOMPARE(player.PlayToMenu(), buttons);
    // Play all: every title in turn, then the menu.
    player.Activate(std::min(files, DiscMenuLayout::kButtonsPerPage) + 1);
    for (int title = 1; title <= files; ++title) QCOMPARE(player.PlayToTitle(title - 1), title);
    QCOMPARE(player.PlayToMenu(), buttons);

    // The menu's first picture: each still shows its file, each name differs from the next.
    // It has silent sound, as some players want.
    const QString menuVob = QString::fromStdString(plan.names.folder) + "/VIDEO_TS/VTS_01_0.VOB";
    QVERIFY(Run(FFPROBE_PATH, {"-v", "error", "-show_entries", "stream=codec_name", menuVob}).contains("ac3"));
    QString frame = folder.filePath("menu.png");
    QVERIFY(RunFfmpeg({"-loglevel", "error", "-i", menuVob, "-frames:v", "1", frame}));
    QImage picture(frame);
    QCOMPARE(picture.size(), QSize(720, tvMode == 1 ? 576 : 480));
    const std::vector<DiscMenuButton>& shown = plan.menu->Pages().front().buttons;
    for (int i = 0; i < std::min(files, DiscMenuLayout::kButtonsPerPage); ++i) {
        QVERIFY2(Brightness(picture, shown[i].still) > 40, qPrintable(QString::number(i)));
        if (i > 0) {
            const MenuRect& a = shown[i - 1].text;
            const MenuRect& b = shown[i].text;
            QVERIFY(picture.copy(a.x, a.y, a.width, a.height) != picture.copy(b.x, b.y, b.width, b.height));
        }
    }
}

void DiscImageTest::aListFittedToTheDiscFillsIt() {
    // Two minutes on a disc of 25 MB: the rate comes out at about 1300 kbit/s.
    const Clip clips[] = {{"one.avi", 40}, {"two.avi", 40}, {"three.avi", 40}};
    const double capacity = 25e6;
    ConversionSettings settings = DiscSettings(FormatDvd, 1, 1);
    std::optional<DiscFit> fit = DiscFillEstimate::Fit(settings, 120, 3, capacity);
    QVERIFY(fit && fit->videoKbps > 1000 && fit->videoKbps < 2000);
    QTemporaryDir folder;
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings, clips, fit->videoKbps);
    DiscImagePlan plan = DiscImagePlan::Make(settings, fit->videoKbps, converted, folder.path().toStdString());
    DiscMenuPainter painter;
    DiscImageMaker maker(KELVOENC_PATH, &painter);
    DiscImageResult result = Make(maker, plan);
    QVERIFY2(result.outcome == DiscImageResult::Outcome::Made, result.SummaryLine().c_str());
    const QString image = QString::fromStdString(plan.names.image);
    const double size = double(QFileInfo(image).size());
    QVERIFY2(size <= capacity && size >= 0.9 * capacity,
             qPrintable(QStringLiteral("%1 bytes at %2 kbit/s").arg(size).arg(fit->videoKbps)));
    QCOMPARE(DvdTitles(image).join(','), QStringLiteral("40 PAL 16/9 48000,40 PAL 16/9 48000,40 PAL 16/9 48000"));
}

// A newline or a tab in a name reaches dvdauthor as itself, not as a space
// that names no file; a clip too short for a picture at a tenth of its
// length gets its menu still all the same.
void DiscImageTest::oddTitlesMakeADisc() {
    QTemporaryDir folder;
    const Clip clips[] = {{"line\nbreak.avi", 2}, {"tab\tstop.avi", 2}, {"blink.avi", 0.4}};
    ConversionSettings settings = DiscSettings(FormatDvd, 1, 1);
    std::vector<ConvertedFile> converted = ConvertClips(folder.path(), settings, clips);
    DiscImagePlan plan = DiscImagePlan::Make(settings, 0, converted, folder.path().toStdString());
    QCOMPARE(plan.titles.size(), std::size(clips));

    DiscMenuPainter painter;
    DiscImageMaker maker(KELVOENC_PATH, &painter);
    DiscImageResult result = Make(maker, plan);
    QVERIFY2(result.outcome == DiscImageResult::Outcome::Made, result.SummaryLine().c_str());
    QCOMPARE(DvdTitles(QString::fromStdString(plan.names.image)).size(), qsizetype(std::size(clips)));
}

QTEST_MAIN(DiscImageTest)
#include "DiscImageTest.moc"
