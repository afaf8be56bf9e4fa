#include "gui/runner/DiscImageMaker.h"

#include "protocol/RenameWithoutReplacing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString Sentence(QString text) {
    text = text.trimmed();
    if (!text.isEmpty() && !text.endsWith('.')) text += '.';
    return text;
}

}  // namespace

DiscImageMaker::DiscImageMaker(QObject* parent) : QObject(parent) {}

DiscImageMaker::~DiscImageMaker() { DiscardWork(); }

void DiscImageMaker::Start(const DiscImagePlan& plan) {
    if (Running()) return;
    m_plan = plan;
    m_steps = DiscAuthoring::Steps(plan);
    m_step = 0;
    m_lastLine.clear();
    if (!plan.skipReason.empty()) return EndLater(DiscImageResult::Skipped(plan.skipReason));
    for (const DiscAuthoringStep& step : m_steps)
        if (QStandardPaths::findExecutable(Q(step.program)).isEmpty())
            return EndLater(DiscImageResult::MissingTool(step.program));
    Begin();
}

void DiscImageMaker::Begin() {
    QString folder = QFileInfo(Q(m_plan.names.image)).absolutePath();
    m_work = std::make_unique<QTemporaryDir>(folder + "/.Tarvine disc-XXXXXX");
    if (!m_work->isValid()) {
        m_work.reset();
        return EndLater(
            DiscImageResult::Failed("the output folder \"" + folder.toStdString() + "\" cannot be written to."));
    }
    emit Progress(QStringLiteral("Making the disc image…"));
    if (m_plan.kind == DiscKind::Dvd && !WriteDvdLayout()) return;
    RunStep();
}

bool DiscImageMaker::WriteDvdLayout() {
    QFile layout(m_work->filePath(DiscAuthoring::kDvdLayoutFile));
    std::string xml = DiscAuthoring::DvdLayoutXml(m_plan);
    if (layout.open(QIODevice::WriteOnly) && layout.write(xml.data(), qint64(xml.size())) == qint64(xml.size()) &&
        layout.flush())
        return true;
    std::string cause = "the disc's layout could not be written to \"" + layout.fileName().toStdString() +
                        "\": " + layout.errorString().toStdString() + ".";
    DiscardWork();
    EndLater(DiscImageResult::Failed(cause));
    return false;
}

void DiscImageMaker::RunStep() {
    const DiscAuthoringStep& step = m_steps[m_step];
    m_process = new QProcess(this);
    m_process->setWorkingDirectory(m_work->path());
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::readyRead, this, &DiscImageMaker::KeepLastLine);
    connect(m_process, &QProcess::finished, this, &DiscImageMaker::StepEnded);
    QStringList arguments;
    for (const std::string& argument : step.arguments) arguments << Q(argument);
    m_lastLine.clear();
    m_process->start(QStandardPaths::findExecutable(Q(step.program)), arguments);
    if (!m_process->waitForStarted()) {
        std::string cause = step.program + " could not be started: " + m_process->errorString().toStdString() + ".";
        DiscardWork();
        EndLater(DiscImageResult::Failed(cause));
    }
}

void DiscImageMaker::KeepLastLine() {
    // Tools rewrite their progress line with carriage returns.
    const QStringList lines = QString::fromLocal8Bit(m_process->readAll()).split(QRegularExpression("[\r\n]"));
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) m_lastLine = line.simplified();
}

void DiscImageMaker::StepEnded(int exitCode, QProcess::ExitStatus status) {
    KeepLastLine();
    const std::string& program = m_steps[m_step].program;
    m_process->deleteLater();
    m_process = nullptr;
    if (status != QProcess::NormalExit || exitCode != 0) {
        QString how = status != QProcess::NormalExit ? QStringLiteral("stopped unexpectedly")
                                                     : QStringLiteral("failed (status %1)").arg(exitCode);
        QString last = m_lastLine.isEmpty() ? QString() : ": " + Sentence(m_lastLine);
        std::string cause = program + " " + how.toStdString() + (last.isEmpty() ? "." : last.toStdString());
        DiscardWork();
        return End(DiscImageResult::Failed(cause));
    }
    if (++m_step < m_steps.size()) return RunStep();
    DiscImageResult result = MoveResultsOut();
    DiscardWork();
    End(result);
}

DiscImageResult DiscImageMaker::MoveResultsOut() {
    std::vector<DiscAuthoringResult> results = DiscAuthoring::Results(m_plan);
    std::vector<std::string> moved;
    for (const DiscAuthoringResult& result : results) {
        std::string from = m_work->filePath(Q(result.workName)).toStdString();
        if (!RenameWithoutReplacing(from, result.finalPath)) {
            std::string cause = "\"" + result.finalPath + "\" could not be written: " + std::strerror(errno) + ".";
            // Back into the work folder, which goes with everything in it.
            for (std::size_t i = 0; i < moved.size(); ++i)
                RenameWithoutReplacing(moved[i], m_work->filePath(Q(results[i].workName)).toStdString());
            return DiscImageResult::Failed(cause);
        }
        moved.push_back(result.finalPath);
    }
    return DiscImageResult::Made(m_plan, moved);
}

void DiscImageMaker::Stop() {
    if (!Running()) return;
    DiscardWork();
    End(DiscImageResult::Stopped());
}

void DiscImageMaker::DiscardWork() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished();
        delete m_process;
        m_process = nullptr;
    }
    m_work.reset();
}

void DiscImageMaker::End(const DiscImageResult& result) { emit Finished(result); }

void DiscImageMaker::EndLater(const DiscImageResult& result) {
    QTimer::singleShot(0, this, [this, result] { End(result); });
}
