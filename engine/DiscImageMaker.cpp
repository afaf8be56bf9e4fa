#include "engine/DiscImageMaker.h"

#include "core/DiscMenuArtist.h"
#include "engine/DiscWorkFolder.h"
#include "protocol/RenameWithoutReplacing.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr int kNameAttempts = 100;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString Sentence(QString text) {
    text = text.trimmed();
    if (!text.isEmpty() && !text.endsWith('.')) text += '.';
    return text;
}

std::string ProgramName(const std::string& program) { return QFileInfo(Q(program)).fileName().toStdString(); }

std::string FolderOf(const std::string& path) { return std::filesystem::absolute(path).parent_path().string(); }

}  // namespace

DiscImageMaker::DiscImageMaker(std::string encoder, const DiscMenuArtist* artist, QObject* parent)
    : QObject(parent), m_encoder(std::move(encoder)), m_artist(artist) {}

DiscImageMaker::~DiscImageMaker() { DiscardWork(); }

void DiscImageMaker::Start(const DiscImagePlan& plan) {
    if (Running()) return;
    m_plan = plan;
    m_missingMenuTool.clear();
    if (!m_artist) m_plan.menu.reset();
    if (m_plan.menu && QStandardPaths::findExecutable("spumux").isEmpty()) {
        m_plan.menu.reset();
        m_missingMenuTool = "spumux";
    }
    m_steps = DiscAuthoring::Steps(m_plan, m_encoder);
    m_step = 0;
    m_lastLine.clear();
    if (!plan.skipReason.empty()) return EndLater(DiscImageResult::Skipped(plan.skipReason));
    for (const DiscAuthoringStep& step : m_steps)
        if (step.menuPage < 0 && QStandardPaths::findExecutable(Q(step.program)).isEmpty())
            return EndLater(DiscImageResult::MissingTool(ProgramName(step.program)));
    Begin();
}

void DiscImageMaker::Begin() {
    const std::string folder = FolderOf(m_plan.names.image);
    std::string failure;
    m_work = DiscWorkFolder::Make(folder, failure);
    if (!m_work)
        return EndLater(
            DiscImageResult::Failed("the output folder \"" + folder + "\" cannot be written to: " + failure + "."));
    emit Progress(QStringLiteral("Making the disc image…"));
    if (WriteFiles() && LinkTitles()) RunStep();
}

bool DiscImageMaker::LinkTitles() {
    for (const DiscAuthoringLink& link : DiscAuthoring::Links(m_plan)) {
        if (symlink(link.target.c_str(), QFile::encodeName(m_work->FilePath(link.name)).constData()) == 0) continue;
        Fail("\"" + link.target + "\" could not be linked into the disc's work folder: " + std::strerror(errno) + ".");
        return false;
    }
    return true;
}

bool DiscImageMaker::WriteFiles() {
    for (const DiscAuthoringFile& file : DiscAuthoring::Files(m_plan)) {
        QFile written(m_work->FilePath(file.name));
        if (written.open(QIODevice::WriteOnly) &&
            written.write(file.content.data(), qint64(file.content.size())) == qint64(file.content.size()) &&
            written.flush())
            continue;
        Fail("the disc's layout could not be written to \"" + written.fileName().toStdString() +
             "\": " + written.errorString().toStdString() + ".");
        return false;
    }
    return true;
}

void DiscImageMaker::RunStep() {
    if (m_step == m_steps.size()) {
        DiscImageResult result = MoveResultsOut();
        DiscardWork();
        return End(result);
    }
    const DiscAuthoringStep& step = m_steps[m_step];
    if (step.menuPage >= 0) return DrawMenuPage(step.menuPage);
    StartProgram(step);
}

void DiscImageMaker::DrawMenuPage(int page) {
    std::string failure = m_artist->DrawPage(*m_plan.menu, std::size_t(page), m_work->Path().toStdString());
    if (!failure.empty()) return Fail("the disc's menu could not be drawn: " + failure);
    ++m_step;
    RunStep();
}

void DiscImageMaker::StartProgram(const DiscAuthoringStep& step) {
    m_process = new QProcess(this);
    m_process->setWorkingDirectory(m_work->Path());
    m_process->setStandardInputFile(step.input.empty() ? QProcess::nullDevice() : m_work->FilePath(step.input));
    if (step.output.empty())
        m_process->setProcessChannelMode(QProcess::MergedChannels);
    else
        m_process->setStandardOutputFile(m_work->FilePath(step.output));
    connect(m_process, &QProcess::readyReadStandardOutput, this, &DiscImageMaker::KeepLastLine);
    connect(m_process, &QProcess::readyReadStandardError, this, &DiscImageMaker::KeepLastLine);
    connect(m_process, &QProcess::errorOccurred, this, &DiscImageMaker::ProgramError);
    connect(m_process, &QProcess::finished, this, &DiscImageMaker::StepEnded);
    QStringList arguments;
    for (const std::string& argument : step.arguments) arguments << Q(argument);
    m_lastLine.clear();
    m_process->start(QStandardPaths::findExecutable(Q(step.program)), arguments);
}

// A program that ran reports its end through StepEnded; only one that never
// started ends here.
void DiscImageMaker::ProgramError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    Fail(ProgramName(m_steps[m_step].program) + " could not be started: " + m_process->errorString().toStdString() +
         ".");
}

void DiscImageMaker::KeepLastLine() {
    // Tools rewrite their progress line with carriage returns.
    QByteArray text = m_process->readAllStandardOutput();
    if (m_process->processChannelMode() != QProcess::MergedChannels) text += m_process->readAllStandardError();
    const QStringList lines = QString::fromLocal8Bit(text).split(QRegularExpression("[\r\n]"));
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) m_lastLine = line.simplified();
}

void DiscImageMaker::StepEnded(int exitCode, QProcess::ExitStatus status) {
    KeepLastLine();
    const std::string program = ProgramName(m_steps[m_step].program);
    if (status != QProcess::NormalExit || exitCode != 0) {
        QString how = status != QProcess::NormalExit ? QStringLiteral("stopped unexpectedly")
                                                     : QStringLiteral("failed (status %1)").arg(exitCode);
        QString last = m_lastLine.isEmpty() ? QString() : ": " + Sentence(m_lastLine);
        return Fail(program + " " + how.toStdString() + (last.isEmpty() ? "." : last.toStdString()));
    }
    m_process->deleteLater();
    m_process = nullptr;
    ++m_step;
    RunStep();
}

// Another batch may have taken the planned names while this image was made
// (two batches into one folder): the image then takes the next free ones.
DiscImageResult DiscImageMaker::MoveResultsOut() {
    const std::vector<DiscAuthoringResult> made = DiscAuthoring::Results(m_plan);
    const DiscImageNames madeNames = m_plan.names;
    const std::string folder = FolderOf(m_plan.names.image);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        if (attempt > 0) {
            m_plan.names = DiscImageNames::Free(folder, m_plan.kind);
            if (!RetargetCue(madeNames))
                return DiscImageResult::Failed("\"" + m_plan.names.cue + "\" could not be written.");
        }
        const std::vector<std::string> finalPaths = m_plan.names.Paths();
        std::size_t moved = 0;
        while (moved < made.size() && RenameWithoutReplacing(WorkPath(made[moved]), finalPaths[moved])) ++moved;
        if (moved == made.size()) return DiscImageResult::Made(m_plan, finalPaths, m_missingMenuTool);
        const int error = errno;
        // Back into the work folder, which goes with everything in it.
        for (std::size_t i = 0; i < moved; ++i) RenameWithoutReplacing(finalPaths[i], WorkPath(made[i]));
        if (error != EEXIST)
            return DiscImageResult::Failed("\"" + finalPaths[moved] +
                                           "\" could not be written: " + std::strerror(error) + ".");
    }
    return DiscImageResult::Failed("no free name for the disc image could be found in \"" + folder + "\".");
}

std::string DiscImageMaker::WorkPath(const DiscAuthoringResult& result) const {
    return m_work->FilePath(result.workName).toStdString();
}

// The cue sheet, made under `madeNames`, names the image's current .bin.
bool DiscImageMaker::RetargetCue(const DiscImageNames& madeNames) {
    if (m_plan.names.cue.empty()) return true;
    QFile cue(m_work->FilePath(std::filesystem::path(madeNames.cue).filename().string()));
    if (!cue.open(QIODevice::ReadOnly)) return false;
    const std::string retargeted = DiscAuthoring::RetargetCue(cue.readAll().toStdString(), madeNames, m_plan.names);
    cue.close();
    return cue.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           cue.write(retargeted.data(), qint64(retargeted.size())) == qint64(retargeted.size()) && cue.flush();
}

void DiscImageMaker::Stop() {
    if (!Running()) return;
    DiscardWork();
    End(DiscImageResult::Stopped());
}

void DiscImageMaker::Fail(const std::string& cause) {
    DiscardWork();
    End(DiscImageResult::Failed(cause));
}

void DiscImageMaker::DiscardWork() {
    std::shared_ptr<DiscWorkFolder> work = std::move(m_work);
    QProcess* process = std::exchange(m_process, nullptr);
    if (!process) return;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) return process->deleteLater();
    // The folder goes once the tool has gone, so that nothing it still
    // writes is left behind.
    connect(process, &QProcess::finished, process, [process, work] { process->deleteLater(); });
    process->kill();
}

void DiscImageMaker::End(const DiscImageResult& result) { emit Finished(result); }

void DiscImageMaker::EndLater(const DiscImageResult& result) {
    QTimer::singleShot(0, this, [this, result] { End(result); });
}
