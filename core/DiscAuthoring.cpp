#include "core/DiscAuthoring.h"

#include "core/EncoderArguments.h"
#include "protocol/SubpicturePalette.h"
#include "text/FormatText.h"
#include "text/LanguageCodes.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string ChapterTime(double seconds) {
    const auto milliseconds = static_cast<long long>(std::llround(seconds * 1000));
    const long long whole = milliseconds / 1000;
    const std::string time = FormatText("%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return milliseconds % 1000 == 0 ? time : time + FormatText(".%03lld", milliseconds % 1000);
}

// The source's chapters within the title, else a mark every five minutes;
// the first always at its start.
std::string ChapterMarks(const DiscTitle& title) {
    std::vector<double> starts = title.chapterSeconds;
    if (starts.empty())
        for (int at = DiscAuthoring::kChapterSeconds; at < title.seconds; at += DiscAuthoring::kChapterSeconds)
            starts.push_back(at);
    std::string marks = ChapterTime(0);
    for (double start : starts)
        if (start >= DiscAuthoring::kShortestChapterSeconds && start < title.seconds) marks += "," + ChapterTime(start);
    return marks;
}

std::string ButtonsFile(std::size_t page) { return FormatText("buttons-%zu.xml", page + 1); }
std::string EncodedPage(std::size_t page) { return FormatText("menu-%zu.mpg", page + 1); }
std::string MenuVob(std::size_t page) { return FormatText("menu-%zu-buttons.mpg", page + 1); }

// The stills, a tenth of the way into each title; the pages drawn, encoded
// as stills of the disc's format, and given their buttons.
std::vector<DiscAuthoringStep> MenuSteps(const DiscImagePlan& plan, const std::string& encoder) {
    std::vector<DiscAuthoringStep> steps;
    for (std::size_t i = 0; i < plan.titles.size(); ++i)
        steps.push_back({encoder, StillArguments(DiscAuthoring::TitleLink(i), DiscAuthoring::StillFile(i),
                                                 plan.titles[i].seconds / 10)});
    const std::size_t pages = plan.menu->Pages().size();
    for (std::size_t page = 0; page < pages; ++page) {
        DiscAuthoringStep drawing;
        drawing.menuPage = static_cast<int>(page);
        steps.push_back(drawing);
    }
    for (std::size_t page = 0; page < pages; ++page) {
        steps.push_back({encoder, MenuPageArguments(DiscAuthoring::BackgroundFile(page), EncodedPage(page),
                                                    plan.settings, plan.fittedVideoKbps)});
        steps.push_back({"spumux", {"-m", "dvd", "-s", "0", ButtonsFile(page)}, EncodedPage(page), MenuVob(page)});
    }
    return steps;
}

// The commands of a page's buttons. g1 keeps the page to come back to, g2
// whether "Play all" is on.
std::string ButtonCommand(const DiscMenuButton& button, std::size_t page) {
    switch (button.kind) {
    case DiscMenuButton::Kind::Title: return FormatText("g1 = %zu; g2 = 0; jump title %d;", page + 1, button.title);
    case DiscMenuButton::Kind::PlayAll: return FormatText("g1 = %zu; g2 = 1; jump title 1;", page + 1);
    case DiscMenuButton::Kind::Previous: return FormatText("g1 = %zu; jump menu %zu;", page, page);
    case DiscMenuButton::Kind::Next: return FormatText("g1 = %zu; jump menu %zu;", page + 2, page + 2);
    }
    return {};
}

// The menu's pages, the first one the root that a title comes back to; it
// passes on to the page the title was chosen on.
std::string MenuPages(const DiscMenuLayout& menu) {
    std::string xml;
    for (std::size_t page = 0; page < menu.Pages().size(); ++page) {
        xml += page == 0 ? "      <pgc entry=\"root\">\n" : "      <pgc>\n";
        if (page == 0 && menu.Pages().size() > 1) {
            xml += "        <pre>";
            for (std::size_t other = 1; other < menu.Pages().size(); ++other)
                xml += FormatText("if (g1 == %zu) jump menu %zu; ", other + 1, other + 1);
            xml += "</pre>\n";
        }
        xml += "        <vob file=\"" + MenuVob(page) + "\" pause=\"inf\"/>\n";
        const std::vector<DiscMenuButton>& buttons = menu.Pages()[page].buttons;
        for (std::size_t i = 0; i < buttons.size(); ++i)
            xml += FormatText("        <button name=\"b%zu\">%s</button>\n", i + 1,
                              ButtonCommand(buttons[i], page).c_str());
        xml += "      </pgc>\n";
    }
    return xml;
}

std::vector<std::string> VcdImagerArguments(const DiscImagePlan& plan) {
    std::vector<std::string> arguments{"--type",     plan.kind == DiscKind::Vcd ? "vcd2" : "svcd",
                                       "--cue-file", FileName(plan.names.cue),
                                       "--bin-file", FileName(plan.names.image)};
    for (std::size_t i = 0; i < plan.titles.size(); ++i) arguments.push_back(DiscAuthoring::TitleLink(i));
    return arguments;
}

// The languages of the titleset's streams of one kind, which its titles
// share: each stream's from the first title that has one for it.
std::vector<std::string> SharedLanguages(const std::vector<DiscTitle>& titles,
                                         std::vector<std::string> DiscTitle::*languagesOf) {
    std::vector<std::string> languages;
    for (const DiscTitle& title : titles) {
        const std::vector<std::string>& own = title.*languagesOf;
        for (std::size_t i = 0; i < own.size(); ++i) {
            if (languages.size() <= i) languages.resize(i + 1);
            if (languages[i].empty()) languages[i] = LanguageCodes::TwoLetter(own[i]);
        }
    }
    return languages;
}

// The titleset's sound streams. Nothing when no language is known, so that
// dvdauthor reads the streams from the titles.
std::string AudioLanguages(const std::vector<DiscTitle>& titles) {
    const std::vector<std::string> languages = SharedLanguages(titles, &DiscTitle::soundLanguages);
    if (std::all_of(languages.begin(), languages.end(), [](const std::string& code) { return code.empty(); }))
        return "";
    std::string xml;
    for (const std::string& code : languages) xml += code.empty() ? "<audio/>" : "<audio lang=\"" + code + "\"/>";
    return xml + "\n";
}

// The titleset's subpicture streams, so that a player's subtitle button
// names them.
std::string SubtitleLanguages(const std::vector<DiscTitle>& titles) {
    const std::vector<std::string> languages = SharedLanguages(titles, &DiscTitle::subtitleLanguages);
    if (languages.empty()) return "";
    std::string xml = "      ";
    for (const std::string& code : languages)
        xml += code.empty() ? "<subpicture/>" : "<subpicture lang=\"" + code + "\"/>";
    return xml + "\n";
}

bool HasSubpictures(const DiscImagePlan& plan) {
    return std::any_of(plan.titles.begin(), plan.titles.end(),
                       [](const DiscTitle& title) { return !title.subtitleLanguages.empty(); });
}

}  // namespace

namespace DiscAuthoring {

std::vector<DiscAuthoringStep> Steps(const DiscImagePlan& plan, const std::string& encoder) {
    if (plan.kind != DiscKind::Dvd) return {{"vcdimager", VcdImagerArguments(plan)}};
    std::vector<DiscAuthoringStep> steps;
    if (plan.menu) steps = MenuSteps(plan, encoder);
    // genisoimage takes an argument with "=" as a graft point; the folder's
    // own name ("Tarvine disc", "Tarvine disc_1", ...) never has one.
    std::string folder = FileName(plan.names.folder);
    steps.push_back({"dvdauthor", {"-o", folder, "-x", kDvdLayoutFile}});
    steps.push_back(
        {"genisoimage", {"-dvd-video", "-udf", "-V", "TARVINE_DISC", "-o", FileName(plan.names.image), folder}});
    return steps;
}

std::vector<DiscAuthoringFile> Files(const DiscImagePlan& plan) {
    if (plan.kind != DiscKind::Dvd) return {};
    std::vector<DiscAuthoringFile> files{{kDvdLayoutFile, DvdLayoutXml(plan)}};
    if (HasSubpictures(plan)) files.push_back({kSubpictureColoursFile, SubpicturePaletteText("\n") + "\n"});
    if (plan.menu)
        for (std::size_t page = 0; page < plan.menu->Pages().size(); ++page)
            files.push_back({ButtonsFile(page), ButtonsXml(*plan.menu, page)});
    return files;
}

std::string DvdLayoutXml(const DiscImagePlan& plan) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dvdauthor>\n";
    const char* standard = plan.pal ? "pal" : "ntsc";
    std::string video = FormatText("<video format=\"%s\" aspect=\"%s\"%s/>\n", standard, plan.wide ? "16:9" : "4:3",
                                   plan.wide ? " widescreen=\"nopanscan\"" : "");
    // Without a menu the player starts at the first title. dvdauthor still
    // wants the (empty) menu domain's TV standard.
    xml +=
        FormatText("  <vmgm>\n    <fpc>%s</fpc>\n    <menus>\n      <video format=\"%s\"/>\n    </menus>\n  </vmgm>\n",
                   plan.menu ? "jump titleset 1 menu;" : "jump title 1;", standard);
    xml += "  <titleset>\n";
    if (plan.menu) xml += "    <menus>\n      " + video + MenuPages(*plan.menu) + "    </menus>\n";
    xml += "    <titles>\n      " + video + AudioLanguages(plan.titles) + SubtitleLanguages(plan.titles);
    // The colours kelvoenc drew the subpictures in.
    const std::string pgc = HasSubpictures(plan) ? FormatText("<pgc palette=\"%s\">", kSubpictureColoursFile) : "<pgc>";
    for (std::size_t i = 0; i < plan.titles.size(); ++i) {
        xml += "      " + pgc + "\n        <vob file=\"" + TitleLink(i) + "\" chapters=\"" + ChapterMarks(plan.titles[i]) +
               "\"/>\n";
        std::string next = FormatText("jump title %zu;", i + 2);
        if (!plan.menu && i + 1 < plan.titles.size()) xml += "        <post>" + next + "</post>\n";
        // g2 says "Play all" is on: then on to the next title, else back.
        if (plan.menu)
            xml += "        <post>" + (i + 1 < plan.titles.size() ? "if (g2 == 1) " + next + " " : "") +
                   "call menu;</post>\n";
        xml += "      </pgc>\n";
    }
    xml += "    </titles>\n  </titleset>\n</dvdauthor>\n";
    return xml;
}

std::string ButtonsXml(const DiscMenuLayout& menu, std::size_t page) {
    std::string xml = FormatText(
        "<subpictures>\n  <stream>\n    <spu force=\"yes\" start=\"00:00:00.00\" highlight=\"%s\" select=\"%s\">\n",
        HighlightFile(page).c_str(), SelectFile(page).c_str());
    const std::vector<DiscMenuButton>& buttons = menu.Pages()[page].buttons;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const DiscMenuButton& b = buttons[i];
        xml += FormatText(
            "      <button name=\"b%zu\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\" up=\"b%d\" down=\"b%d\" left=\"b%d\" "
            "right=\"b%d\"/>\n",
            i + 1, b.frame.x, b.frame.y, b.frame.x + b.frame.width, b.frame.y + b.frame.height, b.up, b.down, b.left,
            b.right);
    }
    return xml + "    </spu>\n  </stream>\n</subpictures>\n";
}

std::vector<DiscAuthoringLink> Links(const DiscImagePlan& plan) {
    std::vector<DiscAuthoringLink> links;
    for (std::size_t i = 0; i < plan.titles.size(); ++i)
        links.push_back({TitleLink(i), std::filesystem::absolute(plan.titles[i].path).string()});
    return links;
}

std::string TitleLink(std::size_t title) { return FormatText("title-%zu.mpg", title + 1); }
std::string StillFile(std::size_t title) { return FormatText("still-%zu.png", title + 1); }
std::string BackgroundFile(std::size_t page) { return FormatText("menu-%zu.png", page + 1); }
std::string HighlightFile(std::size_t page) { return FormatText("highlight-%zu.png", page + 1); }
std::string SelectFile(std::size_t page) { return FormatText("select-%zu.png", page + 1); }

std::vector<DiscAuthoringResult> Results(const DiscImagePlan& plan) {
    std::vector<DiscAuthoringResult> results;
    for (const std::string& path : plan.names.Paths()) results.push_back({FileName(path), path});
    return results;
}

std::string RetargetCue(const std::string& cue, const DiscImageNames& made, const DiscImageNames& final) {
    const std::string from = "\"" + FileName(made.image) + "\"";
    const std::string to = "\"" + FileName(final.image) + "\"";
    std::string retargeted = cue;
    for (auto at = retargeted.find(from); at != std::string::npos; at = retargeted.find(from, at + to.size()))
        retargeted.replace(at, from.size(), to);
    return retargeted;
}

}  // namespace DiscAuthoring
