#include "core/DiscImagePlan.h"

#include "core/DiscFillEstimate.h"
#include "core/FormatCatalogue.h"
#include "text/FormatText.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kDvdFrameWidth = 720;
constexpr int kDvdNtscHeight = 480;
constexpr int kDvdPalHeight = 576;
constexpr int kWhiteBookVideoKbps = 1150;
constexpr int kWhiteBookAudioKbps = 224;

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string Stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::string LeftOutNote(const ConvertedFile& file) {
    const char* why =
        file.outcome == ConvertedFile::Outcome::Partial ? "it was converted only in part" : "it was not converted";
    return "\"" + FileName(file.sourcePath) + "\" was left out of the disc image: " + why + ".";
}

std::string VcdStandardNote(const ConversionSettings& settings) {
    const Bitrates rates = ResolveBitrates(settings);
    if (rates.video == kWhiteBookVideoKbps && rates.audio == kWhiteBookAudioKbps) return {};
    return FormatText(
        "The VCD's video (%d kbit/s) and sound (%d kbit/s) differ from the VCD standard's %d and "
        "%d kbit/s: computers and most DVD players play it, but some older VCD players may refuse it.",
        rates.video, rates.audio, kWhiteBookVideoKbps, kWhiteBookAudioKbps);
}

double TotalBytes(const std::vector<DiscTitle>& titles) {
    double bytes = 0;
    for (const DiscTitle& title : titles) {
        std::error_code error;
        std::uintmax_t size = std::filesystem::file_size(title.path, error);
        if (!error) bytes += static_cast<double>(size);
    }
    return bytes;
}

std::string TooBigReason(DiscKind kind, double bytes) {
    auto number = [](double value, int decimals) { return FormatText("%.*f", decimals, value); };
    std::string fill = DiscFillEstimate::FillText(kind, DiscFillEstimate::ShareOfDisc(kind, bytes), number);
    fill[0] = 'a';  // "about ..." inside the sentence
    const char* disc = kind == DiscKind::Dvd ? "DVD" : kind == DiscKind::Vcd ? "VCD" : "SVCD";
    return std::string("The disc image was not made: the converted files do not fit on one ") + disc + " (" + fill +
           "). The converted files are kept.";
}

// The user's title, else the output folder's name ("/home/ann/Summer/" gives "Summer").
std::string MenuTitle(const ConversionSettings& settings, const std::string& outputFolder) {
    if (!settings.discMenuTitle.empty()) return settings.discMenuTitle;
    std::filesystem::path folder(outputFolder);
    if (!folder.has_filename()) folder = folder.parent_path();
    return folder.filename().string();
}

}  // namespace

bool DiscImagePlan::Wanted(const ConversionSettings& settings) {
    return settings.discImage != 0 && DiscKindOf(settings.outputFormat).has_value();
}

DiscImagePlan DiscImagePlan::Make(const ConversionSettings& settings, int fittedVideoKbps,
                                  const std::vector<ConvertedFile>& converted, const std::string& outputFolder) {
    DiscImagePlan plan;
    plan.settings = settings;
    plan.fittedVideoKbps = fittedVideoKbps;
    plan.kind = DiscKindOf(settings.outputFormat).value_or(DiscKind::Dvd);
    plan.pal = IsPal(settings);
    const AspectEntry* aspect = ChosenAspect(settings);
    plan.wide = aspect && aspect->displayWidth * 3 > aspect->displayHeight * 4;
    plan.names = DiscImageNames::Free(outputFolder, plan.kind);
    plan.listedCount = static_cast<int>(converted.size());
    for (const ConvertedFile& file : converted) {
        if (file.outcome == ConvertedFile::Outcome::Whole)
            plan.titles.push_back(
                {file.outputPath, file.seconds, Stem(file.sourcePath), file.chapterSeconds, file.soundLanguages,
                 file.subtitleLanguages});
        else
            plan.notes.push_back(LeftOutNote(file));
    }
    if (plan.kind == DiscKind::Vcd) plan.standardNote = VcdStandardNote(settings);
    if (plan.kind == DiscKind::Dvd && settings.discMenu != 0 && !plan.titles.empty()) {
        std::vector<std::string> names;
        for (const DiscTitle& title : plan.titles) names.push_back(title.name);
        plan.menu.emplace(kDvdFrameWidth, plan.pal ? kDvdPalHeight : kDvdNtscHeight, names,
                          MenuTitle(settings, outputFolder));
    }
    double bytes = TotalBytes(plan.titles);
    if (plan.titles.empty())
        plan.skipReason = "The disc image was not made: no file was converted whole.";
    else if (DiscFillEstimate::ShareOfDisc(plan.kind, bytes) > 1.0)
        plan.skipReason = TooBigReason(plan.kind, bytes);
    return plan;
}
