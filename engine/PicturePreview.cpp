#include "engine/PicturePreview.h"

#include "text/ClockTime.h"

#include <QFile>

PicturePreview::PicturePreview(const EncoderLauncher& launcher)
    : m_launcher(launcher), m_folder(QDir::tempPath() + QStringLiteral("/tarvine-preview-XXXXXX")) {}

PicturePreview::~PicturePreview() = default;

void PicturePreview::Request(const EncoderRunValues& run, const ConversionSettings& settings, double seconds) {
    Order order{run, settings, seconds};
    if (m_process) {
        m_waiting = std::move(order);
        return;
    }
    Start(std::move(order));
}

void PicturePreview::Start(Order order) {
    const std::string source = order.run.sourcePath;
    if (!m_folder.isValid()) {
        emit Failed(QStringLiteral("No preview of \"%1\": no temporary folder (%2).")
                        .arg(QString::fromLocal8Bit(source.c_str()), m_folder.errorString()));
        return;
    }
    // The encoder never writes over a file: the last picture, shown by now, makes room.
    const QString picture = m_folder.filePath(QStringLiteral("preview.png"));
    QFile::remove(picture);
    order.run.outputPath = QFile::encodeName(picture).toStdString();
    QString failure;
    m_process = m_launcher.LaunchPreview(order.run, order.settings, order.seconds, failure);
    if (!m_process) {
        emit Failed(failure);
        return;
    }
    m_drawingSeconds = order.seconds;
    connect(m_process.get(), &EncoderProcess::Ended, this, &PicturePreview::OnEnded);
}

void PicturePreview::OnEnded(const EncoderExit& exit) {
    m_process.reset();
    if (exit.Succeeded())
        emit Drawn(m_folder.filePath(QStringLiteral("preview.png")), m_drawingSeconds);
    else
        emit Failed(QStringLiteral("No preview at %1: %2.")
                        .arg(QString::fromStdString(FormatClockTime(m_drawingSeconds)),
                             QString::fromStdString(exit.FailureReason())));
    if (!m_waiting) return;
    Order next = std::move(*m_waiting);
    m_waiting.reset();
    Start(std::move(next));
}
