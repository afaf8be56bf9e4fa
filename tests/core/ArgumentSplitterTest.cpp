#include "core/ArgumentSplitter.h"

#include <gtest/gtest.h>

using Args = std::vector<std::string>;

TEST(ArgumentSplitter, FollowsTheWindowsCommandLineRules) {
    EXPECT_EQ(SplitArguments(R"("a b" -o "c d" 0 12)"), (Args{"a b", "-o", "c d", "0", "12"}));
    EXPECT_EQ(SplitArguments(R"(a\\b c\d)"), (Args{R"(a\\b)", R"(c\d)"}));  // literal backslashes
    EXPECT_EQ(SplitArguments(R"(a\\"b c" d)"), (Args{R"(a\b c)", "d"}));    // 2n + quote: n and delimiter
    EXPECT_EQ(SplitArguments(R"(a\\\"b c)"), (Args{R"(a\"b)", "c"}));       // 2n+1 + quote: literal quote
    EXPECT_EQ(SplitArguments("  x\t\ty  "), (Args{"x", "y"}));
    EXPECT_EQ(SplitArguments(R"("" x)"), (Args{"", "x"}));
    EXPECT_EQ(SplitArguments(""), Args{});
}

TEST(ArgumentSplitter, QuotingRoundTripsHostilePaths) {
    const std::string paths[] = {
        "/home/u/My Videos/clip.avi",
        R"(/tmp/say "hi".avi)",
        R"(/tmp/back\slash\"quote.avi)",
        R"(/tmp/ends with backslashes\\)",
        R"(/tmp/" -o /etc/passwd ")",
        "/tmp/vid\xC3\xA9o \xE6\x98\xA0\xE7\x94\xBB.mp4",
        "",
    };
    for (const std::string& path : paths) {
        Args split = SplitArguments(QuoteArgument(path) + " -o " + QuoteArgument(path));
        ASSERT_EQ(split.size(), 3u) << path;
        EXPECT_EQ(split[0], path);
        EXPECT_EQ(split[2], path);
    }
}

TEST(ArgumentSplitter, PlainPathsAreQuotedByteForByte) {
    EXPECT_EQ(QuoteArgument(R"(C:\clips\party.avi)"), R"("C:\clips\party.avi")");
    EXPECT_EQ(QuoteArgument("/home/u/a b.mpg"), "\"/home/u/a b.mpg\"");
}
