#include "cli/ConvertCommand.h"

#include "core/DiscFillEstimate.h"
#include "core/DiscFillQuestion.h"
#include "core/TrackWords.h"
#include "text/FormatText.h"
#include "text/ProgressText.h"

#include <QTimer>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstring>

namespace {

// A file that is there and opens, yet was refused, holds no video the
// encoder can read.
std::string WhyUnreadable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return "the file cannot be read as video";
    }
    if (errno == ENOENT) return "the file does not exist";
    return std::string("the file cannot be opened: ") + std::strerror(errno);
}

}  // namespace

ConvertCommand::ConvertCommand(ConversionSettings settings, std::string encoderProgram, ProgressPrinter& printer,
                               const DiscMenuArtist* menuArtist, bool fitToDisc, TrackRequests tracks, PartRequest part)
    : m_order{std::move(settings), {}},
      m_printer(printer),
      m_engine(std::move(encoderProgram), menuArtist),
      m_prober(m_engine.Launcher()),
      m_fitToDisc(fitToDisc),
      m_tracks(std::move(tracks)),
      m_part(part) {
    connect(&m_prober, &SourceProber::SourceRead, this, &ConvertCommand::List);
    connect(&m_prober, &SourceProber::Finished, this, &ConvertCommand::OnReadingFinished);
    connect(&m_prober, &SourceProber::Told, this,
            [](const EngineMessage& message) { ProgressPrinter::Problem(message.text); });
    connect(&m_engine, &ConversionEngine::Told, this,
            [](const EngineMessage& message) { ProgressPrinter::Problem(message.text); });
    connect(&m_engine, &ConversionEngine::FileStarted, this, [this](const BatchEntry& entry) {
        m_started[entry.row] = entry;
        m_printer.FileStarted(Report(entry));
    });
    connect(&m_engine, &ConversionEngine::Progressed, this, &ConvertCommand::OnProgress);
    connect(&m_engine, &ConversionEngine::FileEnded, this, &ConvertCommand::OnFileEnded);
    connect(&m_engine, &ConversionEngine::Asked, this, &ConvertCommand::OnAsked);
    connect(&m_engine, &ConversionEngine::CropNotMeasured, this, &ProgressPrinter::Problem);
    connect(&m_engine, &ConversionEngine::Summarised, this, [this](const EngineMessage& summary) {
        m_summary = summary.text;
        m_summarySeverity = summary.severity;
    });
    // The summary follows BatchFinished at once: the end waits for it.
    connect(&m_engine, &ConversionEngine::BatchFinished, this, &ConvertCommand::OnBatchFinished, Qt::QueuedConnection);
    connect(&m_stopSignals, &StopSignalNotifier::Received, this, &ConvertCommand::OnStopSignal);
}

void ConvertCommand::Start(const std::vector<std::string>& files) { m_prober.Add(files, m_order.files.fileCount()); }

void ConvertCommand::StartListed(const std::vector<BatchListFile::Listed>& files) {
    std::vector<std::string> paths;
    for (const BatchListFile::Listed& file : files) {
        m_listedOrders[file.path].push_back(file.order);
        paths.push_back(file.path);
    }
    Start(paths);
}

// The files are read in the order given, so a path listed twice takes its
// choices in the list's order.
FileOrder ConvertCommand::TakeListedOrder(const std::string& path) {
    FileOrder order;
    const auto listed = m_listedOrders.find(path);
    if (listed != m_listedOrders.end() && !listed->second.empty()) {
        order = listed->second.front();
        listed->second.pop_front();
    }
    return order;
}

namespace {

// The tracks the words name; none, said, when they name none of the file's.
template <typename Track>
std::optional<std::vector<int>> Named(const std::vector<std::string>& words, const std::vector<Track>& tracks,
                                      const std::string& path, const char* option, const char* kind,
                                      const char* otherwise) {
    if (words.empty()) return std::nullopt;
    std::vector<int> numbers = TrackWords::Matching(words, tracks);
    if (!numbers.empty()) return numbers;
    std::string list;
    for (const std::string& word : words) list += (list.empty() ? "" : ",") + word;
    ProgressPrinter::Problem(QStringLiteral("%1=%2 names no %3 of %4; %5")
                                 .arg(QString::fromLatin1(option), QString::fromStdString(list),
                                      QString::fromLatin1(kind), QString::fromStdString(path),
                                      QString::fromLatin1(otherwise)));
    return std::nullopt;
}

}  // namespace

// A file keeps the tracks --audio and --subtitles name, over those a saved
// list chose for it; one where they name none keeps the choice it had (the
// list's or the settings'), and the user is told.
void ConvertCommand::List(SourceEntry source) {
    source.order = TakeListedOrder(source.path);
    if (auto sound = Named(m_tracks.sound, source.soundTracks, source.path, "--audio", "sound track",
                           "it keeps its default track."))
        source.order.soundTracks = std::move(sound);
    if (auto subtitles = Named(m_tracks.subtitles, source.subtitleTracks, source.path, "--subtitles", "subtitle track",
                               "it keeps the subtitles the settings choose."))
        source.order.subtitleTracks = std::move(subtitles);
    if (m_tracks.burnSubtitle) source.order.burnSubtitle = true;
    const std::string unfit = KeepPart(source);
    if (!unfit.empty()) {
        m_printer.SourceUnreadable(source.path, unfit);
        ++m_unfit;
        return;
    }
    m_order.files.Append(source);
}

// Puts --start, --end and --crop into the file's order; why they do not fit
// the file, or nothing.
std::string ConvertCommand::KeepPart(SourceEntry& source) const {
    FileOrder& order = source.order;
    if (m_part.start) order.startSeconds = m_part.start;
    if (m_part.end) order.endSeconds = m_part.end;
    if (m_part.crop) order.crop = *m_part.crop;
    if (m_part.rectangle) {
        const PictureCrop& kept = *m_part.rectangle;
        order.customCrop = {kept.x, kept.y, source.sourceWidth - kept.width - kept.x,
                            source.sourceHeight - kept.height - kept.y};
    }
    if (order.startSeconds && source.durationSeconds > 0 && *order.startSeconds > source.durationSeconds)
        return FormatText("it ends at %s, before the start asked for",
                          FormatClock(static_cast<std::int64_t>(source.durationSeconds)).c_str());
    if (order.startSeconds && order.endSeconds && *order.endSeconds <= *order.startSeconds)
        return "its end comes before its start";
    if (order.crop != CropMode::Custom ||
        CropProblem(order.customCrop, source.sourceWidth, source.sourceHeight).empty())
        return "";
    if (!m_part.rectangle) return CropProblem(order.customCrop, source.sourceWidth, source.sourceHeight);
    const PictureCrop& kept = *m_part.rectangle;
    return FormatText("the crop %d:%d:%d:%d does not fit its %dx%d picture", kept.width, kept.height, kept.x, kept.y,
                      source.sourceWidth, source.sourceHeight);
}

void ConvertCommand::OnReadingFinished(const std::vector<std::string>& unreadable, int refusedForRoom) {
    for (const std::string& path : unreadable) m_printer.SourceUnreadable(path, WhyUnreadable(path));
    if (refusedForRoom > 0)
        ProgressPrinter::Problem(QStringLiteral("%1 of the files were left out: a batch holds at most %2 files.")
                                     .arg(refusedForRoom)
                                     .arg(SourceList::kCapacity));
    m_unlisted = static_cast<int>(unreadable.size()) + refusedForRoom + m_unfit;
    if (m_stopped) return End(kExitStopped);
    if (m_order.files.fileCount() == 0) return End(kExitNotConverted);
    if (m_fitToDisc) FitToDisc();
    TellWhenOverCapacity();
    m_engine.ConvertAll(m_order);
    // A refusal (a folder that takes no file) was told; nothing started.
    if (!m_engine.IsConverting() && !m_engine.Batch()) End(kExitNotConverted);
}

// As the window's "Fit to the disc": the video rate of this batch only. A
// list that needs more than one disc even at the lowest rate is converted
// as the window converts it after its question: at the preset's rate.
void ConvertCommand::FitToDisc() {
    const SourceList& sources = m_order.files;
    std::optional<DiscFit> fit = DiscFillEstimate::Fit(m_order.settings, sources.totalDuration(), sources.fileCount());
    if (!fit)
        ProgressPrinter::Problem(
            QStringLiteral("Only a DVD or SVCD batch can be fitted to the disc; the files are "
                           "converted at their preset's rate."));
    else if (fit->videoKbps == 0)
        ProgressPrinter::Problem(QStringLiteral("The listed files need %1 discs, even at the lowest video rate that "
                                                "keeps the picture whole; they are converted at their preset's rate.")
                                     .arg(fit->discs));
    else
        m_order.fittedVideoKbps = fit->videoKbps;
}

// Where the window asks, the command line says what the question says and
// goes on as after "Yes": the files are converted, the image only if they fit.
void ConvertCommand::TellWhenOverCapacity() {
    const SourceList& sources = m_order.files;
    std::optional<DiscFillQuestion> question =
        DiscFillQuestion::For(m_order.settings, sources.totalDuration(), sources.fileCount(),
                              [](double value, int decimals) { return FormatText("%.*f", decimals, value); });
    if (!question) return;
    std::string text = question->text;
    if (question->fittingKbps > 0)
        text += " --fit-disc would lower the video rate of this batch to " + std::to_string(question->fittingKbps) +
                " kbit/s.";
    ProgressPrinter::Problem(QString::fromStdString(text));
}

// Like a confirmed Cancel: the files converted stay, the unfinished one goes.
void ConvertCommand::OnStopSignal() {
    if (m_stopped) return;
    m_stopped = true;
    if (m_prober.IsReading()) {
        m_prober.Abort();
        End(kExitStopped);
    } else {
        m_engine.StopWithoutAsking();
    }
}

// Nobody is there to answer: a full disk ends the batch, leaving the rest for later.
void ConvertCommand::OnAsked(EngineQuestion question) { m_engine.Answer(question, question == EngineQuestion::Stop); }

void ConvertCommand::OnProgress(const RunProgress& progress) {
    const double percent = std::clamp(100.0 * progress.share, 0.0, 100.0);
    std::optional<int> secondsLeft;
    const double done = progress.doneSeconds + progress.seconds;
    if (done > 0 && progress.totalSeconds >= done)
        secondsLeft = static_cast<int>(progress.elapsedMs / 1000.0 * (progress.totalSeconds - done) / done + 0.5);
    m_printer.FileProgress(Report(m_started.at(progress.row)), percent, secondsLeft);
}

void ConvertCommand::OnFileEnded(const BatchEntry& entry) {
    m_ended.insert(entry.row);
    m_printer.FileEnded(Report(entry));
}

void ConvertCommand::OnBatchFinished(const std::vector<BatchEntry>& entries) {
    // Every file is accounted for: those that had no run, and those a stop or a full disk left for later.
    for (const BatchEntry& entry : entries)
        if (!m_ended.contains(entry.row)) OnFileEnded(entry);
    if (m_stopped) return End(kExitStopped, m_summary);
    const bool whole = !m_summary.isEmpty() && m_summarySeverity == MessageSeverity::Information && m_unlisted == 0;
    End(whole ? kExitConverted : kExitNotConverted, CountingUnlisted(m_summary));
}

void ConvertCommand::End(int exitStatus, const QString& summary) {
    m_printer.BatchEnded(exitStatus, summary);
    // Out of the engine's own signal: the program may end with it.
    QTimer::singleShot(0, this, [this, exitStatus] { emit Finished(exitStatus); });
}

// The engine's summary knows only the listed files; the files that could not
// be listed were not converted either.
QString ConvertCommand::CountingUnlisted(const QString& summary) const {
    const ConversionBatch& batch = *m_engine.Batch();
    if (m_unlisted == 0 || summary.isEmpty()) return summary;
    const std::uint32_t elapsedSeconds = (SteadyTickCount() - batch.StartTick()) / 1000;
    const qsizetype headEnd = summary.indexOf('\n');
    return QString::fromStdString(batch.SummaryHead(elapsedSeconds, m_unlisted)) +
           (headEnd < 0 ? QString() : summary.mid(headEnd));
}

FileReport ConvertCommand::Report(const BatchEntry& entry) const {
    return {entry.row, m_order.files.fileCount(), &entry};
}
