// A disc image's names, its layout for dvdauthor and the plan's notes.
#include "core/DiscAuthoring.h"
#include "core/DiscFillEstimate.h"
#include "core/DiscImagePlan.h"
#include "core/DiscImageResult.h"
#include "core/DiscMenuLayout.h"
#include "core/FormatCatalogue.h"
#include "text/FormatText.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class DiscPlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() / ("tarvine-disc-" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string At(const std::string& name) const { return (m_folder / name).string(); }
    // A file of this size that takes no room (sparse).
    std::string FileOfSize(const std::string& name, std::uintmax_t bytes) const {
        std::ofstream(At(name)).put('x');
        fs::resize_file(At(name), bytes);
        return At(name);
    }
    ConvertedFile Converted(const std::string& name, ConvertedFile::Outcome outcome, double seconds = 60) const {
        return {"/clips/" + name + ".avi", outcome == ConvertedFile::Outcome::Failed ? "" : FileOfSize(name, 1000),
                seconds, outcome};
    }

    fs::path m_folder;
};

ConversionSettings Disc(int format) {
    ConversionSettings settings;
    settings.outputFormat = format;
    settings.discImage = 1;
    return settings;
}

}  // namespace

TEST_F(DiscPlanTest, AnImageTakesTheFirstSuffixFreeForAllItsNames) {
    const struct {
        DiscKind kind;
        std::vector<std::string> existing;
        std::string image;
        std::string companion;  // the DVD's folder, a CD's cue sheet
    } cases[] = {
        {DiscKind::Dvd, {}, "Tarvine disc.iso", "Tarvine disc"},
        {DiscKind::Dvd, {"Tarvine disc"}, "Tarvine disc_1.iso", "Tarvine disc_1"},
        {DiscKind::Vcd, {"Tarvine disc.cue"}, "Tarvine disc_1.bin", "Tarvine disc_1.cue"},
        {DiscKind::Svcd, {"Tarvine disc.bin", "Tarvine disc_1.cue"}, "Tarvine disc_2.bin", "Tarvine disc_2.cue"},
    };
    for (const auto& c : cases) {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        for (const std::string& name : c.existing) std::ofstream(At(name)) << "kept";
        DiscImageNames names = DiscImageNames::Free(m_folder.string(), c.kind);  // no separator at the end
        EXPECT_EQ(names.image, At(c.image));
        EXPECT_EQ(c.kind == DiscKind::Dvd ? names.folder : names.cue, At(c.companion));
    }
}

TEST_F(DiscPlanTest, DvdLayoutPlaysEveryTitleInTurnWithChaptersEveryFiveMinutes) {
    DiscImagePlan plan;
    plan.pal = true;
    plan.wide = true;
    plan.titles = {{"/out/Tom & \"Jerry\" <1>.vob", 12 * 60 + 30, "Tom"},
                   {"/out/b.vob", 300, "b", {}, {"eng", "ger"}, {"fra", ""}},
                   // The source's own chapters: one at the very start, or past the end, adds none.
                   {"/out/c.vob", 600, "c", {0, 0.3, 61.5, 700}, {"", "fra", "xyz"}}};
    std::string xml = DiscAuthoring::DvdLayoutXml(plan);
    // The titles share the sound streams' languages, in the two letters the disc's tables take.
    EXPECT_NE(xml.find("<video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\"/>\n<audio lang=\"en\"/>"
                       "<audio lang=\"de\"/><audio/>\n      <subpicture lang=\"fr\"/><subpicture/>\n"),
              std::string::npos)
        << xml;
    // Their colours are the ones the subpictures were drawn in.
    EXPECT_NE(xml.find("<pgc palette=\"subpictures.rgb\">\n        <vob file=\"title-1.mpg\""), std::string::npos);
    EXPECT_EQ(DiscAuthoring::Files(plan).back().content.substr(0, 14), "000000\nffffff\n");
    // The tools read each title through a link of plain letters, whatever its own name holds.
    EXPECT_NE(xml.find("<vob file=\"title-1.mpg\" chapters=\"0:00:00,0:05:00,0:10:00\"/>\n        "
                       "<post>jump title 2;</post>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<vob file=\"title-2.mpg\" chapters=\"0:00:00\"/>\n        <post>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<vob file=\"title-3.mpg\" chapters=\"0:00:00,0:01:01.500\"/>\n      </pgc>"), std::string::npos)
        << xml;
    const std::vector<DiscAuthoringLink> links = DiscAuthoring::Links(plan);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].name, "title-1.mpg");
    EXPECT_EQ(links[0].target, plan.titles[0].path);

    plan.pal = false;
    plan.wide = false;
    EXPECT_NE(DiscAuthoring::DvdLayoutXml(plan).find("<video format=\"ntsc\" aspect=\"4:3\"/>"), std::string::npos);

    // With a menu the disc opens on it, and each title returns to it; "Play all" (g2) goes on first.
    plan.menu.emplace(720, 480, std::vector<std::string>{"Tom", "b"}, "Summer");
    xml = DiscAuthoring::DvdLayoutXml(plan);
    for (const char* part : {"<fpc>jump titleset 1 menu;</fpc>", "<vob file=\"menu-1-buttons.mpg\" pause=\"inf\"/>",
                             "<button name=\"b2\">g1 = 1; g2 = 0; jump title 2;</button>",
                             "<button name=\"b3\">g1 = 1; g2 = 1; jump title 1;</button>",
                             "<post>if (g2 == 1) jump title 2; call menu;</post>", "<post>call menu;</post>"})
        EXPECT_NE(xml.find(part), std::string::npos) << part << " not in\n" << xml;
}

TEST(DiscMenuLayout, PagesOfSixInsideTheSafeAreaWithArrowsInReadingOrder) {
    const struct {
        int height;
        int names;
        std::vector<std::size_t> buttonsPerPage;
    } cases[] = {{576, 3, {4}}, {480, 8, {8, 4}}, {480, 12, {8, 8}}};
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (int i = 0; i < c.names; ++i) names.push_back("file " + std::to_string(i + 1));
        DiscMenuLayout menu(720, c.height, names, "Summer");
        ASSERT_EQ(menu.Pages().size(), c.buttonsPerPage.size());
        const MenuRect title = menu.TitleArea();
        EXPECT_GE(title.y, c.height / 10 - 1);
        for (std::size_t p = 0; p < menu.Pages().size(); ++p) {
            const std::vector<DiscMenuButton>& buttons = menu.Pages()[p].buttons;
            ASSERT_EQ(buttons.size(), c.buttonsPerPage[p]);
            EXPECT_EQ(buttons.front().title, int(p) * 6 + 1);
            EXPECT_EQ(buttons.front().label, names[p * 6]);
            EXPECT_EQ(buttons.back().label, p + 1 < menu.Pages().size() ? "Next" : "Play all");
            for (const DiscMenuButton& b : buttons) {
                SCOPED_TRACE(b.label);
                EXPECT_GE(b.frame.x, 72);
                EXPECT_LE(b.frame.x + b.frame.width, 648);
                EXPECT_GE(b.frame.y, c.height / 10 - 1);
                EXPECT_LE(b.frame.y + b.frame.height, c.height - c.height / 10 + 1);
                EXPECT_EQ(b.frame.y % 2 + b.frame.height % 2, 0);
                EXPECT_GE(b.text.height, DiscMenuLayout::kTextPixels);
                EXPECT_GT(b.frame.y, title.y + title.height);
            }
        }
    }
    // The first page of eight: three stills a row, then Play all and Next.
    DiscMenuLayout menu(720, 480, std::vector<std::string>(8, "f"), "");
    const std::vector<DiscMenuButton>& buttons = menu.Pages()[0].buttons;
    std::string arrows;
    for (const DiscMenuButton& b : buttons)
        arrows +=
            std::to_string(b.left) + std::to_string(b.right) + std::to_string(b.up) + std::to_string(b.down) + " ";
    EXPECT_EQ(arrows, "8214 1325 2436 3517 4627 5738 6857 7168 ");
}

TEST_F(DiscPlanTest, PlanKeepsWholeFilesInOrderAndSaysWhatItLeavesOut) {
    using Outcome = ConvertedFile::Outcome;
    DiscImagePlan plan = DiscImagePlan::Make(Disc(FormatVcd), 0,
                                             {Converted("a", Outcome::Whole), Converted("b", Outcome::Partial),
                                              Converted("c", Outcome::Failed), Converted("d", Outcome::Whole)},
                                             m_folder.string());
    ASSERT_EQ(plan.titles.size(), 2u);
    EXPECT_EQ(plan.titles[0].path, At("a"));
    EXPECT_EQ(plan.titles[1].path, At("d"));
    EXPECT_EQ(plan.skipReason, "");
    ASSERT_EQ(plan.notes.size(), 2u);
    EXPECT_EQ(plan.notes[0], "\"b.avi\" was left out of the disc image: it was converted only in part.");
    EXPECT_EQ(plan.notes[1], "\"c.avi\" was left out of the disc image: it was not converted.");
    // The visible line says how many files the disc holds and, for the
    // default VCD quality's 1000 + 192 kbit/s, that old players may refuse it.
    EXPECT_EQ(DiscImageResult::Made(plan, {"/out/d.bin", "/out/d.cue"}).SummaryLine(),
              "The disc image was made with 2 of 4 files: \"/out/d.bin\" and \"/out/d.cue\".\n"
              "The VCD's video (1000 kbit/s) and sound (192 kbit/s) differ from the VCD standard's "
              "1150 and 224 kbit/s: computers and most DVD players play it, but some older VCD "
              "players may refuse it.");
    ConversionSettings standard = Disc(FormatVcd);
    standard.mpeg1Quality = 5;
    DiscImagePlan whole = DiscImagePlan::Make(standard, 0, {Converted("a", Outcome::Whole)}, m_folder.string());
    EXPECT_EQ(DiscImageResult::Made(whole, {"/out/d.bin", "/out/d.cue"}).SummaryLine(),
              "The disc image was made: \"/out/d.bin\" and \"/out/d.cue\".");

    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatDvd), 0, {Converted("e", Outcome::Failed)}, m_folder.string()).skipReason,
              "The disc image was not made: no file was converted whole.");

    // A DVD's menu is titled with the output folder's name, or with the user's title.
    ConversionSettings dvd = Disc(FormatDvd);
    DiscImagePlan named = DiscImagePlan::Make(dvd, 0, {Converted("a", Outcome::Whole)}, m_folder.string() + "/");
    ASSERT_TRUE(named.menu.has_value());
    EXPECT_EQ(named.menu->Title(), m_folder.filename().string());
    dvd.discMenuTitle = "Our summer";
    EXPECT_EQ(DiscImagePlan::Make(dvd, 0, {Converted("a", Outcome::Whole)}, m_folder.string()).menu->Title(),
              "Our summer");
}

TEST_F(DiscPlanTest, FilesThatCannotFitSkipTheImage) {
    ConvertedFile big{"/clips/film.avi", FileOfSize("film.mpeg", 900'000'000), 5400, ConvertedFile::Outcome::Whole};
    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatSvcd), 0, {big}, m_folder.string()).skipReason,
              "The disc image was not made: the converted files do not fit on one SVCD (about 753 MB of 700 MB). "
              "The converted files are kept.");
    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatDvd), 0, {big}, m_folder.string()).skipReason, "");
}

TEST(DiscFit, LowersTheVideoRateToFillTheDiscWithinThePresetAndTheFloor) {
    ConversionSettings dvd = Disc(FormatDvd);  // 5000 + 224 kbit/s, menu on
    // 2 h 30 min: (4.7 GB * 0.98 - 1 MB of tables - one menu page of 200 kB) / 9000 s / 1.045 mux overhead
    // = 3916.9 kbit/s, 224 of them sound.
    std::optional<DiscFit> fit = DiscFillEstimate::Fit(dvd, 9000, 3);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->videoKbps, 3692);
    EXPECT_EQ(fit->discs, 1);
    auto number = [](double value, int decimals) { return FormatText("%.*f", decimals, value); };
    EXPECT_EQ(DiscFillEstimate::For(dvd, 9000, 3, fit->videoKbps)->Text(number),
              "About 4.6 GB of 4.7 GB, video fitted to 3692 kbit/s");

    EXPECT_EQ(DiscFillEstimate::Fit(dvd, 3600, 3)->videoKbps, 5000);  // an hour fits at the preset's rate
    // Eight hours fit a DVD at 1000 kbit/s; twenty need three discs.
    EXPECT_EQ(DiscFillEstimate::Fit(dvd, 20 * 3600, 30)->videoKbps, 0);
    EXPECT_EQ(DiscFillEstimate::Fit(dvd, 20 * 3600, 30)->discs, 3);
    // A disc the size given: 20 MB for 90 s.
    EXPECT_EQ(DiscFillEstimate::Fit(dvd, 90, 3, 20e6)->videoKbps, 1341);
    EXPECT_FALSE(DiscFillEstimate::Fit(Disc(FormatVcd), 9000, 3));
    EXPECT_FALSE(DiscFillEstimate::Fit(Disc(FormatAvi), 9000, 3));
    // SVCD, 2500 + 224 kbit/s: 80 minutes of CD payload over 2 h.
    EXPECT_EQ(DiscFillEstimate::Fit(Disc(FormatSvcd), 7200, 3)->discs, 2);
}
