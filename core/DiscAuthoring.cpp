#include "core/DiscAuthoring.h"

#include "text/FormatText.h"

#include <filesystem>

namespace {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string XmlEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string ChapterMarks(double seconds) {
    std::string marks = "0:00:00";
    for (int at = DiscAuthoring::kChapterSeconds; at < seconds; at += DiscAuthoring::kChapterSeconds)
        marks += FormatText(",%d:%02d:%02d", at / 3600, at / 60 % 60, at % 60);
    return marks;
}

std::vector<std::string> VcdImagerArguments(const DiscImagePlan& plan) {
    std::vector<std::string> arguments{"--type",     plan.kind == DiscKind::Vcd ? "vcd2" : "svcd",
                                       "--cue-file", FileName(plan.names.cue),
                                       "--bin-file", FileName(plan.names.image)};
    for (const DiscTitle& title : plan.titles) arguments.push_back(title.path);
    return arguments;
}

}  // namespace

namespace DiscAuthoring {

std::vector<DiscAuthoringStep> Steps(const DiscImagePlan& plan) {
    if (plan.kind != DiscKind::Dvd) return {{"vcdimager", VcdImagerArguments(plan)}};
    // genisoimage takes an argument with "=" as a graft point; the folder's
    // own name ("Tarvine disc", "Tarvine disc_1", ...) never has one.
    std::string folder = FileName(plan.names.folder);
    return {
        {"dvdauthor", {"-o", folder, "-x", kDvdLayoutFile}},
        {"genisoimage", {"-dvd-video", "-udf", "-V", "TARVINE_DISC", "-o", FileName(plan.names.image), folder}},
    };
}

std::string DvdLayoutXml(const DiscImagePlan& plan) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dvdauthor>\n";
    const char* standard = plan.pal ? "pal" : "ntsc";
    // No menus: the player starts at the first title. dvdauthor still wants
    // the (empty) menu domain's TV standard.
    xml += FormatText(
        "  <vmgm>\n    <fpc>jump title 1;</fpc>\n    <menus>\n      <video format=\"%s\"/>\n"
        "    </menus>\n  </vmgm>\n  <titleset>\n    <titles>\n",
        standard);
    xml += FormatText("      <video format=\"%s\" aspect=\"%s\"%s/>\n", standard, plan.wide ? "16:9" : "4:3",
                      plan.wide ? " widescreen=\"nopanscan\"" : "");
    // Absolute paths: dvdauthor runs a name that starts or ends with "|" as
    // a shell command, which no converted file's path does.
    for (std::size_t i = 0; i < plan.titles.size(); ++i) {
        const DiscTitle& title = plan.titles[i];
        xml += "      <pgc>\n        <vob file=\"" + XmlEscaped(std::filesystem::absolute(title.path).string()) +
               "\" chapters=\"" + ChapterMarks(title.seconds) + "\"/>\n";
        if (i + 1 < plan.titles.size()) xml += FormatText("        <post>jump title %zu;</post>\n", i + 2);
        xml += "      </pgc>\n";
    }
    xml += "    </titles>\n  </titleset>\n</dvdauthor>\n";
    return xml;
}

std::vector<DiscAuthoringResult> Results(const DiscImagePlan& plan) {
    std::vector<DiscAuthoringResult> results;
    for (const std::string& path : plan.names.Paths()) results.push_back({FileName(path), path});
    return results;
}

}  // namespace DiscAuthoring
