// tarvine-convert through the real kelvoenc, with no display: its exit
// statuses, its JSON lines, its stops and its names, checked with ffprobe.
#include "ClipMaker.h"
#include "ScratchFolder.h"

#include "cli/JsonPrinter.h"
#include "engine/BatchListFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitStatus = -1;
    QList<QJsonObject> lines;  // the standard output's JSON objects
    QString err;

    // The "file-ended" object of this source.
    QJsonObject EndOf(const std::string& source) const {
        for (const QJsonObject& line : lines)
            if (line["event"] == "file-ended" && line["source"].toString().toStdString() == source) return line;
        return {};
    }
};

// The program with no display to find: no DISPLAY, no WAYLAND_DISPLAY, no Qt platform.
void StartConverter(QProcess& process, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(TARVINE_CONVERT_PATH, arguments);
}

Outcome Finish(QProcess& process) {
    Outcome outcome;
    if (!process.waitForFinished(120000)) process.kill();
    outcome.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
        if (!line.isEmpty()) outcome.lines << QJsonDocument::fromJson(line).object();
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

Outcome Convert(const QStringList& arguments) {
    QProcess process;
    StartConverter(process, arguments);
    return Finish(process);
}

double DurationOf(const std::string& path) {
    QProcess probe;
    probe.start(FFPROBE_PATH,
                {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", QString::fromStdString(path)});
    probe.waitForFinished(30000);
    return probe.readAllStandardOutput().trimmed().toDouble();
}

// "WIDTHxHEIGHT" of the first video stream.
std::string SizeOf(const std::string& path) {
    QProcess probe;
    probe.start(FFPROBE_PATH, {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height", "-of",
                               "csv=s=x:p=0", QString::fromStdString(path)});
    probe.waitForFinished(30000);
    return probe.readAllStandardOutput().trimmed().toStdString();
}

QStringList Paths(std::initializer_list<std::string> paths) {
    QStringList list;
    for (const std::string& path : paths) list << QString::fromStdString(path);
    return list;
}

}  // namespace

class ConvertCommandTest : public ScratchFolder {
protected:
    std::string Clip(const std::string& relative, int seconds, const QString& size = "160x120") {
        fs::create_directories(fs::path(At(relative)).parent_path());
        EXPECT_TRUE(
            MakeClip(QString::fromStdString(At(relative)), size, 10, seconds, {"-c:v", "mpeg4", "-c:a", "mp2"}));
        return At(relative);
    }
    QStringList Into(const std::string& folder) const {
        return {"--format", "0", "--output", QString::fromStdString(At(folder))};
    }
};

// Files of one name from two folders, and one that is no video, converted
// side by side: every good file is converted whole under its own name, the
// bad one is named, and the exit status says not all were converted.
TEST_F(ConvertCommandTest, ReportsEachFileAsJsonAndNeverTakesANameTwice) {
    const std::string first = Clip("one/party.avi", 2);
    const std::string second = Clip("two/party.avi", 2);
    const std::string broken = Write("broken.avi", "not a video");
    const std::string missing = At("missing.avi");
    Outcome outcome =
        Convert(QStringList{"--json", "--jobs=3"} + Into("out") + Paths({first, broken, missing, second}));

    EXPECT_EQ(outcome.exitStatus, 1) << outcome.err.toStdString();
    const std::pair<std::string, std::string> converted[] = {{first, At("out/party.avi")},
                                                             {second, At("out/party_avi.avi")}};
    for (const auto& [source, output] : converted) {
        QJsonObject end = outcome.EndOf(source);
        EXPECT_EQ(end["status"], "converted") << source;
        EXPECT_EQ(end["output"].toString().toStdString(), output);
        EXPECT_NEAR(DurationOf(output), 2.0, 0.25) << output;
    }
    EXPECT_EQ(outcome.EndOf(broken)["status"], "failed");
    EXPECT_EQ(outcome.EndOf(broken)["reason"], "the file cannot be read as video");
    EXPECT_EQ(outcome.EndOf(missing)["reason"], "the file does not exist");
    ASSERT_FALSE(outcome.lines.isEmpty());
    EXPECT_EQ(outcome.lines.first()["event"], "file-ended");  // the unreadable file, once all were read
    EXPECT_EQ(outcome.lines.last()["event"], "batch-ended");
    EXPECT_EQ(outcome.lines.last()["exit-status"], 1);
    EXPECT_TRUE(outcome.lines.last()["summary"].toString().startsWith("2 of 4 files were not converted. Total Time:"));
    EXPECT_TRUE(std::any_of(outcome.lines.begin(), outcome.lines.end(),
                            [](const QJsonObject& line) { return line["event"] == "progress"; }));
}

TEST_F(ConvertCommandTest, ExitStatusesSayWhatBecameOfTheBatch) {
    const std::string clip = Clip("clip.avi", 1);
    const QString list = QString::fromStdString(At("list.json"));
    ASSERT_EQ(BatchListFile::Save(At("list.json"), {}, {{At("other.avi"), {}}}, false), QString());
    Write("notes.json", "[\"clip.avi\"]");
    Write("format10.ini", "[Destinate]\nOutput format=10\n");
    Write("random.ini", std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0 [x] y=z",
                                    18));
    const std::string longFolder = At(std::string(300, 'd'));
    Write("long.ini", "[Destinate]\nTemporary folder=" + longFolder + "\n");
    const struct {
        QStringList arguments;
        int exitStatus;
        const char* said;  // on standard error
    } cases[] = {
        {Into("out") + Paths({clip}), 0, ""},
        {QStringList{"--settings", QString::fromStdString(At("format10.ini")), "--output",
                     QString::fromStdString(At("mp4"))} +
             Paths({clip}),
         0, ""},
        {Into("out") + QStringList{"--bogus"} + Paths({clip}), 2, "Unknown option \"--bogus\"."},
        {Into("out"), 2, "No file to convert was given."},
        {QStringList{"--output="} + Paths({clip}), 2, "The option --output needs a value, not an empty one."},
        {QStringList{"--settings", ""} + Paths({clip}), 2, "The option --settings needs a value"},
        {Into("out") + QStringList{""}, 2, "An empty argument was given as a file to convert."},
        {QStringList{"--settings", QString::fromStdString(At("random.ini"))} + Paths({clip}), 2,
         "random.ini holds no Tarvine setting."},
        {QStringList{"--settings", QString::fromStdString(At("long.ini"))} + Paths({clip}), 2,
         "names an output folder longer than 255 characters."},
        {QStringList{"--format", "XviD", "--output", QString::fromStdString(At("xvid"))} + Paths({clip}), 0, ""},
        {QStringList{"--disc-image"} + Into("out") + Paths({clip}), 0,
         "Only a VCD, SVCD or DVD batch ends in a disc image; the files are converted without one."},
        {QStringList{"--format", "15"} + Paths({clip}), 2, "\"15\" is no output format"},
        {QStringList{"--jobs", "0"} + Paths({clip}), 2, "\"0\" is no number of conversions at once"},
        {QStringList{"--audio=en,x1"} + Paths({clip}), 2, "\"en,x1\" is no choice of sound tracks"},
        {QStringList{"--audio=ja"} + Into("out") + Paths({clip}), 0, "--audio=ja names no sound track of"},
        {QStringList{"--settings", QString::fromStdString(At("missing.ini"))} + Paths({clip}), 2, "missing.ini"},
        {QStringList{"--output", "/sys/kernel"} + Paths({clip}), 1,
         "No file can be written into the output folder /sys/kernel"},
        {QStringList{"--format", "7", "--disc-image", "--fit-disc", "--disc-title=Our summer", "--output",
                     QString::fromStdString(At("dvd"))} +
             Paths({clip}),
         0, ""},
        {QStringList{"--format", "5", "--fit-disc", "--output", QString::fromStdString(At("vcd"))} + Paths({clip}), 0,
         "Only a DVD or SVCD batch can be fitted to the disc"},
        {QStringList{"--batch", QString::fromStdString(At("notes.json"))}, 2,
         "notes.json is no Tarvine list of files."},
        {QStringList{"--batch", QString::fromStdString(At("gone.json"))}, 2,
         "gone.json cannot be read: No such file or directory."},
        {QStringList{"--batch", list} + Paths({clip}), 2, "clip.avi is not among the files of the list"},
        {QStringList{"--print-files"} + Paths({clip}), 2, "--print-files prints the files of a --batch list."},
        {QStringList{"--start=1:75"} + Paths({clip}), 2, "--start=1:75 is no time; give seconds or h:mm:ss"},
        {QStringList{"--end", "1:2:3:4"} + Paths({clip}), 2, "--end=1:2:3:4 is no time"},
        {QStringList{"--start=-5"} + Paths({clip}), 2, "--start=-5 is no time"},
        {QStringList{"--start=0.5s"} + Paths({clip}), 2, "--start=0.5s is no time"},
        {QStringList{"--end=1:30", "--start=90.0"} + Paths({clip}), 2,
         "--end must come after --start, but 90 seconds is not after 90."},
        {QStringList{"--start=0:00.0", "--crop=wide"} + Paths({clip}), 2, "--crop=wide is no crop; give auto, none"},
        {QStringList{"--crop=0:120:0:0"} + Paths({clip}), 2, "--crop=0:120:0:0 is no crop"},
        {QStringList{"--crop=160:120:0"} + Paths({clip}), 2, "is no crop"},
        {QStringList{"--crop=NONE"} + Into("none") + Paths({clip}), 0, ""},
        {QStringList{"--crop=auto"} + Into("auto") + Paths({clip}), 0, ""},
    };
    for (const auto& c : cases) {
        Outcome outcome = Convert(c.arguments);
        EXPECT_EQ(outcome.exitStatus, c.exitStatus) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(c.said)) << outcome.err.toStdString();
        EXPECT_FALSE(outcome.err.contains("QStandardPaths") || outcome.err.contains("QProcess"))
            << outcome.err.toStdString();
    }
    EXPECT_FALSE(fs::exists(longFolder.substr(0, 255)));
    EXPECT_NEAR(DurationOf(At("xvid/clip.avi")), 1.0, 0.25);
    EXPECT_NEAR(DurationOf(At("out/clip.avi")), 1.0, 0.25);
    EXPECT_NEAR(DurationOf(At("mp4/clip.mp4")), 1.0, 0.25);                 // the settings file's format
    EXPECT_NEAR(DurationOf(At("none/clip.avi")), 1.0, 0.25);
    EXPECT_TRUE(fs::exists(At("dvd/Tarvine disc/VIDEO_TS/VTS_01_0.VOB")));  // its menu, drawn with no display
}

// A film in three languages (English played first, German, a French
// commentary) with three chapters: MP4 keeps the tracks asked for with their
// languages and title, and a DVD's tables carry the languages and the
// chapters, so that a player's audio and chapter buttons work.
TEST_F(ConvertCommandTest, TracksAndChaptersAsAsked) {
    Write("chapters.txt",
          ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=2000\n[CHAPTER]\nTIMEBASE=1/1000\n"
          "START=2000\nEND=4000\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=4000\nEND=6000\n");
    const QString film = QString::fromStdString(At("film.mkv"));
    QStringList tracks{"-f", "lavfi",
                       "-i", "sine=frequency=660:duration=6",
                       "-f", "lavfi",
                       "-i", "sine=frequency=880:duration=6",
                       "-i", QString::fromStdString(At("chapters.txt"))};
    tracks << "-map"
           << "0:v"
           << "-map"
           << "1:a"
           << "-map"
           << "2:a"
           << "-map"
           << "3:a"
           << "-map_chapters"
           << "4";
    tracks << "-metadata:s:a:0"
           << "language=eng"
           << "-metadata:s:a:1"
           << "language=deu"
           << "-metadata:s:a:2"
           << "language=fra"
           << "-metadata:s:a:2"
           << "title=Kommentar"
           << "-c:v"
           << "mpeg4"
           << "-c:a"
           << "mp2";
    ASSERT_TRUE(MakeClip(film, "160x120", 10, 6, tracks));
    for (const char* language : {"de", "en", "fr"})
        Write(std::string("film.") + language + ".srt", "1\n00:00:01,000 --> 00:00:02,000\nHallo\n\n");
    const struct {
        QStringList arguments;
        const char* output;
        const char* tracks;     // the output's sound tracks: default flag, language, title
        const char* subtitles;  // its subtitle tracks: language, default flag
        const char* said;       // on standard error
    } cases[] = {
        {{"--format", "mp4", "--audio=all"},
         "all/film.mp4",
         "1,eng,SoundHandler|0,deu,SoundHandler|0,fra,Kommentar",
         "",
         ""},
        {{"--format", "mp4", "--audio=de", "--subtitles=2,de"},
         "de/film.mp4",
         "1,deu,SoundHandler",
         "1,eng,SubtitleHandler|0,deu,SubtitleHandler",
         ""},
        {{"--format", "mp4", "--subtitles=en,de", "--burn-subtitles"},
         "burn/film.mp4",
         "1,eng,SoundHandler",
         "1,deu,SubtitleHandler",
         ""},
        {{"--format", "mp4", "--subtitles=en", "--subtitles=ja"},
         "ja/film.mp4",
         "1,eng,SoundHandler",
         "",
         "--subtitles=ja names no subtitle track of"},
    };
    for (const auto& c : cases) {
        const QString folder = QString::fromStdString(At(c.output)).section('/', 0, -2);
        Outcome outcome = Convert(c.arguments + QStringList{"--output", folder, film});
        ASSERT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(QString::fromLatin1(c.said))) << outcome.err.toStdString();
        for (const auto& [kind, expected] : {std::pair{"a", c.tracks}, std::pair{"s", c.subtitles}}) {
            QProcess probe;
            probe.start(FFPROBE_PATH, {"-v", "error", "-select_streams", kind, "-show_entries",
                                       "stream_tags=language,handler_name:stream_disposition=default", "-of",
                                       "csv=p=0", QString::fromStdString(At(c.output))});
            ASSERT_TRUE(probe.waitForFinished(30000));
            EXPECT_EQ(QString::fromUtf8(probe.readAllStandardOutput()).trimmed().replace('\n', '|').toStdString(),
                      expected);
        }
    }

    Outcome outcome = Convert(
        {"--format", "dvd", "--disc-image", "--audio=all", "--subtitles=all", "--output", QString::fromStdString(At("dvd")), film});
    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    QProcess lsdvd;
    lsdvd.start("lsdvd", {"-a", "-c", "-s", "-t", "1", QString::fromStdString(At("dvd/Tarvine disc.iso"))});
    ASSERT_TRUE(lsdvd.waitForFinished(30000));
    const QString listing = QString::fromLocal8Bit(lsdvd.readAllStandardOutput());
    EXPECT_EQ(listing.count("Chapter: "), 3) << listing.toStdString();
    for (const char* language :
         {"Audio: 1, Language: en", "Audio: 2, Language: de", "Audio: 3, Language: fr", "Subtitle: 01, Language: de",
          "Subtitle: 02, Language: en", "Subtitle: 03, Language: fr"})
        EXPECT_TRUE(listing.contains(language)) << language << " not in\n" << listing.toStdString();
}

// A start or a crop that a file cannot have fails that file alone, in one
// sentence; the other files are converted.
TEST_F(ConvertCommandTest, APartThatDoesNotFitAFileFailsThatFile) {
    const std::string shortClip = Clip("short.avi", 1);
    Outcome outcome = Convert(QStringList{"--json", "--start=2"} + Into("out") + Paths({shortClip}));
    EXPECT_EQ(outcome.exitStatus, 1) << outcome.err.toStdString();
    EXPECT_EQ(outcome.EndOf(shortClip)["status"], "failed");
    EXPECT_EQ(outcome.EndOf(shortClip)["reason"], "it ends at 00:00:01, before the start asked for");

    const std::string clip = Clip("clip.avi", 1, "320x240");
    outcome = Convert(QStringList{"--json", "--crop=240:180:80:61"} + Into("out") + Paths({clip, shortClip}));
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.EndOf(clip)["reason"], "the crop 240:180:80:61 does not fit its 320x240 picture");
    EXPECT_EQ(outcome.EndOf(shortClip)["reason"], "the crop 240:180:80:61 does not fit its 160x120 picture");
}

namespace {

// The part of a file's frames that is not black, as "w:h:x:y" (ffmpeg's
// cropdetect over the whole file).
std::string PictureArea(const std::string& path) {
    QString said;
    if (!RunFfmpeg(
            {"-i", QString::fromStdString(path), "-vf", "cropdetect=limit=24:round=2:reset=0", "-f", "null", "-"},
            &said))
        return "unreadable";
    const qsizetype last = said.lastIndexOf("crop=");
    return last < 0 ? "" : said.mid(last + 5).section(QRegularExpression("\\s"), 0, 0).toStdString();
}

}  // namespace

// The kept part through the real encoder: a stretch of the clip, its
// picture cropped to the rectangle asked for; a letterboxed clip cropped to
// its picture by measuring it; and a 4:3 picture stored between bars in a
// 16:9 frame, measured, fills a 4:3 DVD from edge to edge.
TEST_F(ConvertCommandTest, TheKeptPartIsWhatIsConverted) {
    const std::string clip = Clip("clip.avi", 4, "320x240");
    Outcome outcome =
        Convert(QStringList{"--start=1", "--end=0:03", "--crop=240:180:40:30"} + Into("part") + Paths({clip}));
    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    EXPECT_NEAR(DurationOf(At("part/clip.avi")), 2.0, 0.25);
    EXPECT_EQ(SizeOf(At("part/clip.avi")), "240x180");

    const QString boxed = QString::fromStdString(At("boxed.mkv"));
    ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=640x272:rate=10:duration=3", "-vf",
                           "pad=640:360:0:44:black", "-c:v", "mpeg4", "-q:v", "2", boxed}));
    outcome = Convert({"--crop=auto", "--format=mp4", "--output", QString::fromStdString(At("auto")), boxed});
    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    EXPECT_EQ(SizeOf(At("auto/boxed.mp4")), "640x272");
    EXPECT_EQ(PictureArea(At("auto/boxed.mp4")), "640:272:0:0");

    const QString pillarboxed = QString::fromStdString(At("pillarboxed.mkv"));
    ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=480x360:rate=25:duration=2", "-vf",
                           "pad=640:360:80:0:black", "-c:v", "mpeg4", "-q:v", "2", pillarboxed}));
    Write("dvd43.ini", "[Destinate]\nDVD aspect ratio=0\n");
    outcome = Convert(QStringList{"--settings", QString::fromStdString(At("dvd43.ini")), "--crop=auto", "--format=dvd",
                                  "--output", QString::fromStdString(At("dvd")), pillarboxed});
    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    EXPECT_EQ(PictureArea(At("dvd/pillarboxed.vob")), "720:480:0:0");
}

// SIGTERM stops like a confirmed Cancel: the finished file stays, the
// unfinished one goes, and nothing else is left in the folder.
TEST_F(ConvertCommandTest, AStopSignalKeepsWhatWasFinished) {
    const std::string first = Clip("first.avi", 1);
    const std::string longer = Clip("longer.avi", 30, "320x240");
    QProcess process;
    StartConverter(process, QStringList{"--json"} + Into("out") + Paths({first, longer}));
    QByteArray seen;
    // Side by side, the longer file may report before the first has ended.
    while (!(seen.contains("\"file-ended\",\"index\":0") && seen.contains("\"progress\",\"index\":1")) &&
           process.waitForReadyRead(60000))
        seen += process.readAllStandardOutput();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    Outcome outcome = Finish(process);

    EXPECT_EQ(outcome.exitStatus, 4) << outcome.err.toStdString();
    EXPECT_NEAR(DurationOf(At("out/first.avi")), 1.0, 0.25);
    EXPECT_EQ(std::distance(fs::directory_iterator(At("out")), fs::directory_iterator()), 1);
}

// Where the window asks before a list over one disc's capacity, the command
// line says so before it converts, and goes on.
TEST_F(ConvertCommandTest, AnOverfullDiscIsToldBeforeConverting) {
    const std::string film = At("film.mkv");
    // Three hours, small in bytes: a picture every 20 seconds.
    ASSERT_TRUE(RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", "color=black:size=64x64:rate=1/20:duration=10800",
                           "-c:v", "mpeg4", QString::fromStdString(film)}));
    QProcess process;
    StartConverter(
        process,
        QStringList{"--format", "dvd", "--disc-image", "--output", QString::fromStdString(At("dvd"))} + Paths({film}));
    process.setReadChannel(QProcess::StandardError);
    QByteArray told;
    while (!told.contains("kbit/s.") && process.waitForReadyRead(60000)) told += process.readAllStandardError();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    Outcome outcome = Finish(process);

    EXPECT_EQ(outcome.exitStatus, 4);
    EXPECT_TRUE(told.contains("The listed files would not fit on one disc: About ")) << told.toStdString();
    EXPECT_TRUE(told.contains("--fit-disc would lower the video rate of this batch to ")) << told.toStdString();
}

// Two processes into one folder at once, with sources of one name: each
// output has a name of its own, and both are whole.
TEST_F(ConvertCommandTest, TwoProcessesIntoOneFolderTakeNamesOfTheirOwn) {
    const std::string sources[] = {Clip("x/clip.avi", 2), Clip("y/clip.avi", 2)};
    QProcess processes[2];
    for (int i = 0; i < 2; ++i) StartConverter(processes[i], Into("out") + Paths({sources[i]}));
    for (QProcess& process : processes) EXPECT_EQ(Finish(process).exitStatus, 0);
    for (const char* name : {"clip.avi", "clip_avi.avi"})
        EXPECT_NEAR(DurationOf(At(std::string("out/") + name)), 2.0, 0.25) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(At("out")), fs::directory_iterator()), 2);
}

// Names are bytes: a Latin-1 source and a Latin-1 output folder, as old
// disks and archives have them, are read and written exactly where they
// are, also into a disc image with its menu, and the JSON gives their bytes
// beside a readable text. QProcess hands its arguments over as UTF-8, so the
// shell makes the bytes from escapes.
TEST_F(ConvertCommandTest, NamesThatAreNotUtf8AreReadAndWrittenWhereTheyAre) {
    const std::string source = At("caf\xe9.avi");
    fs::rename(Clip("cafe.avi", 1), source);
    const struct {
        const char* format;
        const char* folder;
        const char* output;
        const char* image;  // made beside the output, if any
    } cases[] = {
        {"avi", "sortie\\xe9", "caf\xe9.avi", nullptr},
        {"dvd --disc-image", "disque\\xe9", "caf\xe9.vob", "Tarvine disc.iso"},
    };
    for (const auto& c : cases) {
        const std::string escaped = At(c.folder);
        const std::string folder = escaped.substr(0, escaped.size() - 4) + "\xe9";
        QProcess process;
        process.start("bash", {"-c",
                               QStringLiteral("exec \"$0\" --json --format %1 --output \"$(printf '%b' \"$1\")\" "
                                              "\"$(printf '%b' \"$2\")\"")
                                   .arg(c.format),
                               TARVINE_CONVERT_PATH, QString::fromStdString(escaped),
                               QString::fromStdString(At("caf\\xe9.avi"))});
        Outcome outcome = Finish(process);

        EXPECT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
        const std::string output = folder + "/" + c.output;
        ASSERT_TRUE(fs::exists(output)) << c.format;
        if (c.image) {
            EXPECT_GT(fs::file_size(folder + "/" + c.image), 0u);
        }
        fs::copy_file(output, At("check"), fs::copy_options::overwrite_existing);
        EXPECT_NEAR(DurationOf(At("check")), 1.0, 0.25);
        const QJsonObject end = outcome.EndOf(QString::fromUtf8(source.c_str()).toStdString());
        EXPECT_EQ(end["status"], "converted");
        EXPECT_EQ(QByteArray::fromHex(end["source-bytes"].toString().toLatin1()).toStdString(), source);
        EXPECT_EQ(QByteArray::fromHex(end["output-bytes"].toString().toLatin1()).toStdString(), output);
        EXPECT_EQ(end["output"].toString(), QString::fromStdString(output));  // readable, the odd bytes replaced
    }
    // No look-alike folder: the source, the check copy and the two folders.
    EXPECT_EQ(std::distance(fs::directory_iterator(At("")), fs::directory_iterator()), 4);
}

// A list saved by the window: converted with each file's own choices and
// the list's settings, a file that has gone is a failure of its own, the
// options beside --batch override the list's settings, and files named
// beside it choose which of the list's to convert.
TEST_F(ConvertCommandTest, ASavedListConvertsWithItsOwnChoices) {
    const std::string film = At("film.mkv");
    ASSERT_TRUE(MakeClip(
        QString::fromStdString(film), "160x120", 10, 1,
        {"-f", "lavfi", "-i", "sine=frequency=660:duration=1", "-map", "0:v", "-map", "1:a", "-map", "2:a",
         "-metadata:s:a:0", "language=eng", "-metadata:s:a:1", "language=deu", "-c:v", "mpeg4", "-c:a", "mp2"}));
    const std::string gone = Clip("gone.avi", 1);
    ConversionSettings settings;
    settings.outputFormat = 10;  // MP4, which keeps the tracks chosen
    settings.outputFolder = At("listed");
    FileOrder german;
    german.soundTracks = std::vector{2};
    const std::string list = At("list.json");
    ASSERT_EQ(BatchListFile::Save(list, settings, {{film, german}, {gone, {}}}, false), QString());
    fs::remove(gone);

    Outcome outcome = Convert({"--json", "--batch=" + QString::fromStdString(list)});
    EXPECT_EQ(outcome.exitStatus, 1) << outcome.err.toStdString();
    EXPECT_EQ(outcome.EndOf(gone)["status"], "failed");
    EXPECT_EQ(outcome.EndOf(gone)["reason"], "the file does not exist");
    EXPECT_EQ(outcome.EndOf(film)["output"].toString().toStdString(), At("listed/film.mp4"));
    QProcess probe;
    probe.start(FFPROBE_PATH, {"-v", "error", "-select_streams", "a", "-show_entries", "stream_tags=language", "-of",
                               "csv=p=0", QString::fromStdString(At("listed/film.mp4"))});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), "deu");

    outcome = Convert({"--batch", QString::fromStdString(list), "--output", QString::fromStdString(At("chosen")),
                       QString::fromStdString(film)});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    EXPECT_NEAR(DurationOf(At("chosen/film.mp4")), 1.0, 0.25);
    EXPECT_EQ(std::distance(fs::directory_iterator(At("listed")), fs::directory_iterator()), 1);
}

// The paths a list holds are printed as their bytes, one a line, for GNU
// parallel to hand back one at a time.
TEST_F(ConvertCommandTest, AListPrintsItsFilesAsBytes) {
    const std::vector<BatchListFile::Listed> files = {{"/tapes/caf\xe9.avi", {}}, {"/tapes/\xc3\xa9t\xc3\xa9.avi", {}}};
    ASSERT_EQ(BatchListFile::Save(At("list.json"), {}, files, false), QString());
    QProcess process;
    StartConverter(process, {"--batch", QString::fromStdString(At("list.json")), "--print-files"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), files[0].path + "\n" + files[1].path + "\n");
}

TEST(JsonPrinterTest, QuotesWhatJsonCannotHoldBare) {
    EXPECT_EQ(JsonPrinter::Quoted("a \"b\" c\\d\ne\x01"), "\"a \\\"b\\\" c\\\\d\\ne\\u0001\"");
}
