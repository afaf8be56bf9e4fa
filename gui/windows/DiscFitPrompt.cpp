#include "gui/windows/DiscFitPrompt.h"

#include "core/DiscFillEstimate.h"
#include "core/DiscFillQuestion.h"
#include "gui/widgets/AppMessageBox.h"

#include <QLocale>

namespace {

// The window's numbers follow the user's locale.
std::string LocaleNumber(double value, int decimals) { return QLocale().toString(value, 'f', decimals).toStdString(); }

}  // namespace

std::optional<QString> DiscFitPrompt::FillText(const ConversionSettings& settings, const SourceList& sources) {
    std::optional<DiscFillEstimate> estimate =
        DiscFillEstimate::For(settings, sources.totalDuration(), sources.fileCount());
    if (!estimate) return std::nullopt;
    return QString::fromStdString(estimate->Text(LocaleNumber));
}

bool DiscFitPrompt::Ask(QWidget* owner, ConversionSettings& settings, const SourceList& sources) {
    std::optional<DiscFillQuestion> question =
        DiscFillQuestion::For(settings, sources.totalDuration(), sources.fileCount(), LocaleNumber);
    if (!question) return true;
    QString text = QString::fromStdString(question->text);
    if (question->fittingKbps == 0)
        return AppMessageBoxAsking(owner, text + QStringLiteral(" Convert them all the same?"));
    text += QStringLiteral(
                " \"Fit to the disc\" lowers the video rate of this batch to %1 kbit/s. Convert them all "
                "the same?")
                .arg(QString::fromStdString(LocaleNumber(question->fittingKbps, 0)));
    QMessageBox::StandardButton answer = AppMessageBoxAsking(owner, text, QStringLiteral("Fit to the disc"));
    if (answer == QMessageBox::Open) settings.fittedVideoKbps = question->fittingKbps;
    return answer != QMessageBox::No;
}
