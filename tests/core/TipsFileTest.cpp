// tips.txt read tip by tip.
#include "ScratchFolder.h"
#include "core/TipsFile.h"

#include <regex>

namespace {

class TipsFileTest : public ScratchFolder {
protected:
    std::string Write(const std::string& content) const { return ScratchFolder::Write("tips.txt", content); }

    static std::vector<std::string> ReadTips(TipsFile& file, int count) {
        std::vector<std::string> tips;
        for (int i = 0; i < count; ++i) {
            std::string tip;
            if (file.ReadNextTip(tip) != TipsFile::ReadResult::Tip) break;
            tips.push_back(tip);
        }
        return tips;
    }
};

TEST_F(TipsFileTest, SkipsCommentsIndentedAndEmptyLinesAndWrapsToTheFirstTip) {
    TipsFile file(
        Write("; comment\n"
              "First tip.\n"
              "\n"
              " indented\n"
              "\tindented by a tab\n"
              "Second tip.\r\n"
              "\r\n"
              ";another comment\n"
              "Third tip, last line without an end"));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(ReadTips(file, 5),
              (std::vector<std::string>{"First tip.\n", "Second tip.\n", "Third tip, last line without an end",
                                        "First tip.\n", "Second tip.\n"}));
}

TEST_F(TipsFileTest, SplitsALongLineInto999CharactersAndTheRest) {
    std::string line = std::string(999, 'a') + std::string(501, 'b');
    TipsFile file(Write(line + "\nShort tip.\n" + std::string(999, 'c') + " rest starts with a space\n"));
    EXPECT_EQ(ReadTips(file, 5),
              (std::vector<std::string>{std::string(999, 'a'), std::string(501, 'b') + "\n", "Short tip.\n",
                                        std::string(999, 'c'), std::string(999, 'a')}));
}

TEST_F(TipsFileTest, AnOffsetPastTheEndWrapsToTheFirstTip) {
    TipsFile file(Write("One.\nTwo.\n"));
    ASSERT_TRUE(file.Seek(100000));
    EXPECT_EQ(ReadTips(file, 1), std::vector<std::string>{"One.\n"});
    EXPECT_EQ(file.Position(), 5L);
}

TEST_F(TipsFileTest, AFileWithoutTipsStopsAfterOnePass) {
    struct Row {
        const char* name;
        const char* content;
        long start;
    };
    for (const Row& row : {Row{"empty", "", 0L}, Row{"only skipped lines", "; a\n\n  b\n\tc\n", 0L},
                           Row{"only skipped lines, read from the middle", "; a\n\n  b\n\tc\n", 5L}}) {
        TipsFile file(Write(row.content));
        ASSERT_TRUE(file.Seek(row.start)) << row.name;
        std::string tip = "unchanged";
        EXPECT_EQ(file.ReadNextTip(tip), TipsFile::ReadResult::NoTips) << row.name;
        EXPECT_EQ(tip, "unchanged") << row.name;
    }
}

TEST_F(TipsFileTest, ATipBeforeTheStartIsFoundAfterTheRewind) {
    TipsFile file(Write("Only tip.\n; trailing comment\n\n"));
    ASSERT_TRUE(file.Seek(10));
    EXPECT_EQ(ReadTips(file, 2), (std::vector<std::string>{"Only tip.\n", "Only tip.\n"}));
}

TEST_F(TipsFileTest, CreationTimeIsWrittenAsCtimeDoes) {
    const std::string path = Write("Tip.\n");
    TipsFile first(path);
    const std::string text = first.CreationTimeText();
    EXPECT_TRUE(std::regex_match(
        text, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}")))
        << text;
    EXPECT_EQ(TipsFile(path).CreationTimeText(), text);
    EXPECT_FALSE(TipsFile(At("missing.txt")).IsOpen());
}

}  // namespace
