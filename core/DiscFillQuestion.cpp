#include "core/DiscFillQuestion.h"

#include "core/DiscImagePlan.h"

std::optional<DiscFillQuestion> DiscFillQuestion::For(const ConversionSettings& settings, double listedSeconds,
                                                      int files, const DiscFillEstimate::NumberText& number) {
    std::optional<DiscFillEstimate> estimate = DiscFillEstimate::For(settings, listedSeconds, files);
    if (!DiscImagePlan::Wanted(settings) || !estimate || !estimate->OverCapacity()) return std::nullopt;
    DiscFillQuestion question;
    question.text = "The listed files would not fit on one disc: " + estimate->Text(number) +
                    ". They will be converted, but the disc image is made only if they fit.";
    std::optional<DiscFit> fit = DiscFillEstimate::Fit(settings, listedSeconds, files);
    if (fit && fit->videoKbps == 0)
        question.text += " Even at the lowest video rate that keeps the picture whole, they need " +
                         std::to_string(fit->discs) + " discs.";
    if (fit) question.fittingKbps = fit->videoKbps;
    return question;
}
