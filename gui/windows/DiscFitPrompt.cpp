#include "gui/windows/DiscFitPrompt.h"

#include "core/DiscFillEstimate.h"
#include "core/DiscFillQuestion.h"
#include "gui/widgets/AppMessageBox.h"

#include <QLocale>

namespace {

// The window's numbers follow the user's locale.
std::string LocaleNumber(double value, int decimals) { return QLocale().toString(value, 'f', decimals).toStdString(); }

}  // namespace

std::optional<QString> DiscFitPrompt::FillText(const ConversionSettings& settings, const SourceList& sources,
                                               int fittedVideoKbps) {
    std::optional<DiscFillEstimate> estimate =
        DiscFillEstimate::For(settings, sources.totalDuration(), sources.fileCount(), fittedVideoKbps);
    if (!estimate) return std::nullopt;
    return QString::fromStdString(estimate->Text(LocaleNumber));
}

std::optional<int> DiscFitPrompt::Ask(QWidget* owner, const ConversionSettings& settings, const SourceList& sources) {
    std::optional<DiscFillQuestion> question =
        DiscFillQuestion::For(settings, sources.totalDuration(), sources.fileCount(), LocaleNumber);
    if (!question) return 0;
    QString text = QString::fromStdString(question->text);
    if (question->fittingKbps == 0) {
        if (AppMessageBoxAsking(owner, text + QStringLiteral(" Convert them all the same?"))) return 0;
        return std::nullopt;
    }
    text += QStringLiteral(
                " \"Fit to the disc\" lowers the video rate of this batch to %1 kbit/s. Convert them all "
                "the same?")
                .arg(QString::fromStdString(LocaleNumber(question->fittingKbps, 0)));
    QMessageBox::StandardButton answer = AppMessageBoxAsking(owner, text, QStringLiteral("Fit to the disc"));
    if (answer == QMessageBox::No) return std::nullopt;
    return answer == QMessageBox::Open ? question->fittingKbps : 0;
}
