// A disc image's names, its layout for dvdauthor and the plan's notes.
#include "core/DiscAuthoring.h"
#include "core/DiscImagePlan.h"
#include "core/DiscImageResult.h"
#include "core/FormatCatalogue.h"

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
    plan.titles = {{"/out/Tom & \"Jerry\" <1>.vob", 12 * 60 + 30}, {"/out/b.vob", 300}};
    std::string xml = DiscAuthoring::DvdLayoutXml(plan);
    EXPECT_NE(xml.find("<video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<vob file=\"/out/Tom &amp; &quot;Jerry&quot; &lt;1&gt;.vob\" "
                       "chapters=\"0:00:00,0:05:00,0:10:00\"/>\n        <post>jump title 2;</post>"),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<vob file=\"/out/b.vob\" chapters=\"0:00:00\"/>\n      </pgc>"), std::string::npos) << xml;

    plan.pal = false;
    plan.wide = false;
    EXPECT_NE(DiscAuthoring::DvdLayoutXml(plan).find("<video format=\"ntsc\" aspect=\"4:3\"/>"), std::string::npos);
}

TEST_F(DiscPlanTest, PlanKeepsWholeFilesInOrderAndSaysWhatItLeavesOut) {
    using Outcome = ConvertedFile::Outcome;
    DiscImagePlan plan = DiscImagePlan::Make(Disc(FormatVcd),
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
    DiscImagePlan whole = DiscImagePlan::Make(standard, {Converted("a", Outcome::Whole)}, m_folder.string());
    EXPECT_EQ(DiscImageResult::Made(whole, {"/out/d.bin", "/out/d.cue"}).SummaryLine(),
              "The disc image was made: \"/out/d.bin\" and \"/out/d.cue\".");

    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatDvd), {Converted("e", Outcome::Failed)}, m_folder.string()).skipReason,
              "The disc image was not made: no file was converted whole.");
}

TEST_F(DiscPlanTest, FilesThatCannotFitSkipTheImage) {
    ConvertedFile big{"/clips/film.avi", FileOfSize("film.mpeg", 900'000'000), 5400, ConvertedFile::Outcome::Whole};
    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatSvcd), {big}, m_folder.string()).skipReason,
              "The disc image was not made: the converted files do not fit on one SVCD (about 753 MB of 700 MB). "
              "The converted files are kept.");
    EXPECT_EQ(DiscImagePlan::Make(Disc(FormatDvd), {big}, m_folder.string()).skipReason, "");
}
