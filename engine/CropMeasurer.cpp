#include "engine/CropMeasurer.h"

#include <QTimer>

#include <initializer_list>
#include <utility>

CropMeasurer::CropMeasurer(const EncoderLauncher& launcher) : m_launcher(launcher) {}

CropMeasurer::~CropMeasurer() = default;

void CropMeasurer::Measure(const SourceEntry& source) {
    Cancel();
    m_source = source;
    QString failure;
    m_process = m_launcher.LaunchMeasureCrop(source.path, source.order.startSeconds, source.order.endSeconds, failure);
    if (!m_process) {
        m_pendingFailure = failure;
        QTimer::singleShot(0, this, [this] {
            if (std::optional<QString> pending = std::exchange(m_pendingFailure, std::nullopt)) Fail(*pending);
        });
        return;
    }
    connect(m_process.get(), &EncoderProcess::Reported, this, &CropMeasurer::OnReport);
    connect(m_process.get(), &EncoderProcess::Ended, this, &CropMeasurer::OnEnded);
}

void CropMeasurer::Cancel() {
    m_pendingFailure.reset();
    m_reports.clear();
    m_process.reset();  // a run let go of is stopped and reaped from the event loop
}

void CropMeasurer::OnReport(const ReportFrame& frame) {
    if (frame.code >= ReportCropWidth && frame.code <= ReportCropAgreement) m_reports[frame.code] = frame.value;
    m_process->Reply(kReplyContinue);
}

void CropMeasurer::OnEnded(const EncoderExit& exit) {
    m_process.reset();
    if (!exit.Succeeded()) {
        const std::string reason = exit.FailureReason();
        return Fail(QString::fromStdString(reason.empty() ? "the encoder ended without a measure" : reason));
    }
    MeasuredCrop crop;
    const QString problem = MeasuredProblem(crop);
    m_reports.clear();
    if (!problem.isEmpty()) return Fail(problem);
    emit Measured(crop);
}

// Turns the reported picture into edges; what is wrong with the reports, if anything.
QString CropMeasurer::MeasuredProblem(MeasuredCrop& crop) const {
    for (std::uint32_t code : {ReportCropWidth, ReportCropHeight, ReportCropLeft, ReportCropTop, ReportCropAgreement})
        if (!m_reports.contains(code)) return QStringLiteral("the encoder reported no crop");
    const int width = m_reports.at(ReportCropWidth), height = m_reports.at(ReportCropHeight);
    const int left = m_reports.at(ReportCropLeft), top = m_reports.at(ReportCropTop);
    crop.edges = {left, top, m_source.sourceWidth - width - left, m_source.sourceHeight - height - top};
    crop.agreeing = m_reports.at(ReportCropAgreement) & 0xFFFF;
    crop.points = m_reports.at(ReportCropAgreement) >> 16;
    if (width <= 0 || height <= 0 || left < 0 || top < 0 || crop.edges.right < 0 || crop.edges.bottom < 0)
        return QStringLiteral("the encoder measured a %1x%2 picture at %3,%4, which its %5x%6 frame does not hold")
            .arg(width)
            .arg(height)
            .arg(left)
            .arg(top)
            .arg(m_source.sourceWidth)
            .arg(m_source.sourceHeight);
    return {};
}

void CropMeasurer::Fail(const QString& reason) {
    emit Failed(QStringLiteral("The black borders of %1 could not be measured: %2.")
                    .arg(QString::fromStdString(m_source.path), reason),
                reason);
}
