#include "gui/windows/PicturePage.h"

#include "core/ConversionBatch.h"
#include "core/KeptPart.h"
#include "engine/CropMeasurer.h"
#include "engine/PicturePreview.h"
#include "gui/res/CommandIds.h"
#include "gui/widgets/DialogLayout.h"
#include "text/ClockTime.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace {

enum CropIndex { CropNone = 0, CropAutomatic = 1, CropCustom = 2 };

// The slider counts hundredths of a second, as the times are written.
constexpr double kSliderUnitsPerSecond = 100;
constexpr int kSettleMs = 250;

QString ClockText(double seconds) { return QString::fromStdString(FormatClockTime(seconds)); }

std::optional<double> TimeOf(const QLineEdit& edit) {
    const QString text = edit.text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    return ParseClockTime(text.toStdString());
}

// "16:9", "4:3", else the width to a height of 1: "2.39:1".
QString ShapeName(double across, double down) {
    const double ratio = across / down;
    const struct { int across, down; } named[] = {{16, 9}, {4, 3}, {9, 16}, {3, 4}, {1, 1}};
    for (const auto& shape : named)
        if (std::fabs(ratio - double(shape.across) / shape.down) < 0.01)
            return QStringLiteral("%1:%2").arg(shape.across).arg(shape.down);
    return QStringLiteral("%1:1").arg(ratio, 0, 'f', 2);
}

QString AgreementText(const MeasuredCrop& crop) {
    if (crop.points > 0 && crop.agreeing == crop.points) return QStringLiteral("all %1 points agree").arg(crop.points);
    return QStringLiteral("%1 of %2 agree: check the preview").arg(crop.agreeing).arg(crop.points);
}

}  // namespace

PicturePage::PicturePage(const DialogLayout& layout, const SourceEntry& source, const ConversionSettings& settings,
                         const EncoderLauncher* launcher, QObject* parent)
    : QObject(parent),
      m_source(source),
      m_settings(settings),
      m_measured(source.order.measuredCrop),
      m_measuredStart(source.order.startSeconds),
      m_measuredEnd(source.order.endSeconds) {
    Bind(layout);
    if (launcher) {
        m_preview = std::make_unique<PicturePreview>(*launcher);
        m_measurer = std::make_unique<CropMeasurer>(*launcher);
        connect(m_preview.get(), &PicturePreview::Drawn, this, &PicturePage::OnPictureDrawn);
        connect(m_preview.get(), &PicturePreview::Failed, m_picture, &QLabel::setText);
        connect(m_measurer.get(), &CropMeasurer::Measured, this, &PicturePage::OnMeasured);
        connect(m_measurer.get(), &CropMeasurer::Failed, this, [this](const QString&, const QString& reason) {
            m_measuring = false;
            m_cropResult->setText(QStringLiteral("Not measured: %1").arg(reason));
        });
    }
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PicturePage::RequestPicture);
    ShowOrder();
}

PicturePage::~PicturePage() = default;

void PicturePage::Bind(const DialogLayout& layout) {
    m_picture = layout.Bind<QLabel>(IDC_FILE_PREVIEW);
    m_shape = layout.Bind<QLabel>(IDC_FILE_OUTPUT_SHAPE);
    m_position = layout.Bind<QSlider>(IDC_FILE_POSITION);
    m_positionText = layout.Bind<QLabel>(IDC_FILE_POSITION_TEXT);
    m_start = layout.Bind<QLineEdit>(IDC_FILE_START);
    m_end = layout.Bind<QLineEdit>(IDC_FILE_END);
    m_crop = layout.Bind<QComboBox>(IDC_FILE_CROP);
    m_cropResult = layout.Bind<QLabel>(IDC_FILE_CROP_RESULT);
    const int edgeIds[] = {IDC_FILE_CROP_LEFT, IDC_FILE_CROP_TOP, IDC_FILE_CROP_RIGHT, IDC_FILE_CROP_BOTTOM};
    for (int i = 0; i < 4; ++i) {
        m_edges[i] = layout.Bind<QLineEdit>(edgeIds[i]);
        m_edges[i]->setValidator(new QIntValidator(0, 99999, m_edges[i]));
        connect(m_edges[i], &QLineEdit::editingFinished, this, [this] {
            ShowShape();
            m_settle.start();
        });
    }
    connect(m_position, &QSlider::valueChanged, this, &PicturePage::OnPositionMoved);
    connect(layout.Bind<QPushButton>(IDC_FILE_SET_START), &QPushButton::clicked, this,
            [this] { SetPositionText(*m_start); });
    connect(layout.Bind<QPushButton>(IDC_FILE_SET_END), &QPushButton::clicked, this,
            [this] { SetPositionText(*m_end); });
    for (QLineEdit* edit : {m_start, m_end})
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (m_crop->currentIndex() == CropAutomatic) OnCropChosen();
        });
    connect(m_crop, &QComboBox::currentIndexChanged, this, &PicturePage::OnCropChosen);
}

void PicturePage::ShowOrder() {
    const FileOrder& order = m_source.order;
    m_position->setRange(0, static_cast<int>(std::lround(m_source.durationSeconds * kSliderUnitsPerSecond)));
    const double frame = m_source.sourceFrameRate > 0 ? 1 / m_source.sourceFrameRate : 0.04;
    m_position->setSingleStep(std::max(1, static_cast<int>(std::lround(frame * kSliderUnitsPerSecond))));
    m_position->setPageStep(static_cast<int>(10 * kSliderUnitsPerSecond));
    m_start->setPlaceholderText(ClockText(0));
    m_end->setPlaceholderText(ClockText(m_source.durationSeconds));
    if (order.startSeconds) m_start->setText(ClockText(*order.startSeconds));
    if (order.endSeconds) m_end->setText(ClockText(*order.endSeconds));
    const CropEdges& custom = order.crop == CropMode::Custom || !m_measured ? order.customCrop : m_measured->edges;
    const int values[] = {custom.left, custom.top, custom.right, custom.bottom};
    for (int i = 0; i < 4; ++i) m_edges[i]->setText(QString::number(values[i]));
    const QSignalBlocker quiet(m_crop);
    m_crop->setCurrentIndex(order.crop == CropMode::Automatic ? CropAutomatic
                            : order.crop == CropMode::Custom  ? CropCustom
                                                              : CropNone);
    OnCropChosen();
    m_position->setValue(static_cast<int>(std::lround(order.startSeconds.value_or(0) * kSliderUnitsPerSecond)));
    OnPositionMoved();
}

void PicturePage::OnCropChosen() {
    const int chosen = m_crop->currentIndex();
    for (QLineEdit* edge : m_edges) edge->setEnabled(chosen == CropCustom);
    const bool wanted = chosen == CropAutomatic;
    const bool sameKeptPart = m_measuredStart == TimeOf(*m_start) && m_measuredEnd == TimeOf(*m_end);
    if (wanted && m_measurer && !m_measuring && (!m_measured || !sameKeptPart)) {
        m_measuring = true;
        m_measuredStart = TimeOf(*m_start);
        m_measuredEnd = TimeOf(*m_end);
        m_measurer->Measure(Chosen());
    }
    ShowMeasure();
    ShowShape();
    m_settle.start();
}

void PicturePage::OnMeasured(const MeasuredCrop& crop) {
    m_measuring = false;
    m_measured = crop;
    ShowMeasure();
    ShowShape();
    m_settle.start();
}

// "Automatic: 1920×800 (all 10 points agree)"; the custom crop's size.
void PicturePage::ShowMeasure() {
    const int chosen = m_crop->currentIndex();
    if (chosen == CropNone) return m_cropResult->clear();
    if (chosen == CropAutomatic && m_measuring) return m_cropResult->setText(QStringLiteral("Measuring the borders…"));
    if (chosen == CropAutomatic && !m_measured) return m_cropResult->clear();
    const CropEdges edges = chosen == CropCustom ? CustomEdges() : m_measured->edges;
    const QString size = QStringLiteral("%1\u00d7%2")
                             .arg(m_source.sourceWidth - edges.left - edges.right)
                             .arg(m_source.sourceHeight - edges.top - edges.bottom);
    m_cropResult->setText(chosen == CropCustom
                              ? QStringLiteral("Custom: %1").arg(size)
                              : QStringLiteral("Automatic: %1 (%2)").arg(size, AgreementText(*m_measured)));
}

void PicturePage::OnPositionMoved() {
    m_positionText->setText(QStringLiteral("%1 of %2").arg(ClockText(Position()), ClockText(m_source.durationSeconds)));
    m_settle.start();
}

void PicturePage::RequestPicture() {
    if (!m_preview || !Problem().isEmpty()) return;
    EncoderRunValues run = ConversionBatch::RunValuesFor(Chosen(), m_settings);
    run.mode = EncoderPreview;
    run.handle = -1;
    m_preview->Request(run, m_settings, Position());
}

void PicturePage::OnPictureDrawn(const QString& path, double) {
    const QPixmap picture(path);
    if (picture.isNull()) return;
    m_picture->setPixmap(
        picture.scaled(m_picture->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// "720×480, 16:9, letterboxed"
void PicturePage::ShowShape() {
    const SourceEntry chosen = Chosen();
    const FramePlan plan = ConversionBatch::RunValuesFor(chosen, m_settings).frame;
    const FrameSize shown = KeptPictureSize(chosen);
    const int width = plan.size.width > 0 ? plan.size.width : shown.width;
    const int height = plan.size.height > 0 ? plan.size.height : shown.height;
    const AspectEntry* flagged = ChosenAspect(m_settings);
    QString shape = flagged && flagged->displayWidth > 0 ? ShapeName(flagged->displayWidth, flagged->displayHeight)
                    : plan.size.width > 0                ? ShapeName(width, height)
                                          : ShapeName(shown.width * m_source.sourceSampleAspect, shown.height);
    QStringList words{QStringLiteral("%1\u00d7%2").arg(width).arg(height), shape};
    if (plan.pads.vertical > 0) words << QStringLiteral("letterboxed");
    if (plan.pads.horizontal > 0) words << QStringLiteral("pillarboxed");
    m_shape->setText(words.join(QStringLiteral(", ")));
}

SourceEntry PicturePage::Chosen() const {
    SourceEntry chosen = m_source;
    Fill(chosen.order);
    return chosen;
}

CropEdges PicturePage::CustomEdges() const {
    return {m_edges[0]->text().toInt(), m_edges[1]->text().toInt(), m_edges[2]->text().toInt(),
            m_edges[3]->text().toInt()};
}

double PicturePage::Position() const { return m_position->value() / kSliderUnitsPerSecond; }

void PicturePage::SetPositionText(QLineEdit& edit) {
    edit.setText(ClockText(Position()));
    emit edit.editingFinished();
}

QString PicturePage::Problem() const {
    const std::optional<double> start = TimeOf(*m_start), end = TimeOf(*m_end);
    for (const QLineEdit* edit : {m_start, m_end})
        if (!edit->text().trimmed().isEmpty() && !TimeOf(*edit))
            return QStringLiteral("\"%1\" is not a time such as 00:01:30.00.").arg(edit->text().trimmed());
    if (start && m_source.durationSeconds > 0 && *start >= m_source.durationSeconds)
        return QStringLiteral("The start lies beyond the file's end (%1).").arg(ClockText(m_source.durationSeconds));
    if (end && *end <= start.value_or(0)) return QStringLiteral("The end must come after the start.");
    if (m_crop->currentIndex() != CropCustom) return {};
    const std::string problem = CropProblem(CustomEdges(), m_source.sourceWidth, m_source.sourceHeight);
    return problem.empty() ? QString()
                           : QStringLiteral("The crop cannot be used: %1").arg(QString::fromStdString(problem));
}

void PicturePage::Fill(FileOrder& order) const {
    order.startSeconds = TimeOf(*m_start);
    if (order.startSeconds && *order.startSeconds <= 0) order.startSeconds.reset();
    order.endSeconds = TimeOf(*m_end);
    const int chosen = m_crop->currentIndex();
    order.crop = chosen == CropAutomatic ? CropMode::Automatic
                 : chosen == CropCustom  ? CropMode::Custom
                                         : CropMode::None;
    order.customCrop = chosen == CropCustom ? CustomEdges() : CropEdges{};
    order.measuredCrop = chosen == CropAutomatic && !m_measuring ? m_measured : std::nullopt;
}
