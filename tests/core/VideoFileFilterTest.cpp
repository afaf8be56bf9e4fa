#include "core/VideoFileFilter.h"

#include <gtest/gtest.h>

#include <regex>

TEST(VideoFileFilter, TextListsTheTenEntriesInOrder) {
    std::string text = VideoFileFilter::FilterText();
    EXPECT_EQ(text.rfind("All support files|*.avi;*.divx;*.div;*.xvid;*.mpeg;", 0), 0u);
    EXPECT_NE(text.find("|AVI file (*.AVI,*.DivX,*.div,*.Xvid)|*.avi;*.divx;*.div;*.xvid|MPEG file"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 21), "All files (*.*)|*.*||");
    EXPECT_EQ(VideoFileFilter::Entries().size(), 10u);
    EXPECT_STREQ(VideoFileFilter::Entries()[8].displayText, "Flash video file (*.FLV)");
    // Beyond the classic list, the containers the encoder reads today.
    EXPECT_NE(text.find(";*.flv;*.mkv;*.webm;*.ts;*.m2ts;*.mts;*.vob;*.ogv|AVI file"), std::string::npos);
}

TEST(VideoFileFilter, DialogPatternsMatchAnyLetterCase) {
    std::vector<std::string> filters = VideoFileFilter::DialogNameFilters();
    ASSERT_EQ(filters.size(), 10u);
    EXPECT_EQ(filters[4], "RealMedia file (*.RM,*.RMVB) (*.[rR][mM] *.[rR][mM][vV][bB])");
    EXPECT_EQ(filters[6], "3GP file (*.3GP,*.3G2) (*.3[gG][pP] *.3[gG]2)");
    EXPECT_EQ(filters.back(), "All files (*.*) (*)");

    // The patterns are shell globs; check them as a file dialog would.
    auto matches = [](const std::string& glob, const std::string& name) {
        std::string expression;
        for (char c : glob)
            expression += c == '*' ? std::string(".*") : c == '.' ? std::string("\\.") : std::string(1, c);
        return std::regex_match(name, std::regex(expression));
    };
    std::string avi = VideoFileFilter::CaseInsensitivePattern("*.avi");
    EXPECT_TRUE(matches(avi, "CLIP.AVI"));
    EXPECT_TRUE(matches(avi, "clip.Avi"));
    EXPECT_FALSE(matches(avi, "clip.avi.txt"));
}
