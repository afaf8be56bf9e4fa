#include "core/OpenAddressText.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;
const std::string kAddress = "https://www.tarvine.example/";

TEST(FallbackCommand, CutsAtThePlaceholderAndAppendsTheAddress) {
    struct Case {
        std::string registered;
        std::string text;
        Arguments arguments;
    };
    const Case cases[] = {
        // Quoted placeholder: it and everything after it go.
        {"\"/opt/web browser/run\" -nohome \"%1\" --tail",
         "\"/opt/web browser/run\" -nohome  " + kAddress,
         {"/opt/web browser/run", "-nohome", kAddress}},
        // The quoted form wins over a bare one before it.
        {"browser --a=%1 \"%1\"", "browser --a=%1  " + kAddress, {"browser", "--a=%1", kAddress}},
        {"browser %1 --tail", "browser  " + kAddress, {"browser", kAddress}},
        {"/usr/bin/firefox-esr %u", "/usr/bin/firefox-esr  " + kAddress, {"/usr/bin/firefox-esr", kAddress}},
        {"chromium --new-window %U", "chromium --new-window  " + kAddress, {"chromium", "--new-window", kAddress}},
        {"viewer %F", "viewer  " + kAddress, {"viewer", kAddress}},
        // No placeholder: the address is appended after a blank.
        {"browser --private", "browser --private " + kAddress, {"browser", "--private", kAddress}},
    };
    for (const Case& c : cases) {
        std::optional<FallbackCommand> command = BuildFallbackCommand(c.registered, kAddress);
        ASSERT_TRUE(command) << c.registered;
        EXPECT_EQ(command->text, c.text) << c.registered;
        EXPECT_EQ(command->arguments, c.arguments) << c.registered;
    }
}

TEST(FallbackCommand, AnAddressWithBlanksOrQuotesStaysOneArgument) {
    std::optional<FallbackCommand> command = BuildFallbackCommand("browser %u", "/home/me/My \"clip\" notes.html");
    ASSERT_TRUE(command);
    EXPECT_EQ(command->arguments, (Arguments{"browser", "/home/me/My \"clip\" notes.html"}));
}

TEST(FallbackCommand, ALineThatDoesNotFitIsNotRun) {
    // "b" and the blank before the cut placeholder, the appended blank, the
    // address and the terminator fill the buffer exactly.
    std::string longest(kCommandTextCapacity - 4, 'x');
    std::optional<FallbackCommand> command = BuildFallbackCommand("b %1", longest);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->text.size() + 1, kCommandTextCapacity);
    EXPECT_FALSE(BuildFallbackCommand("b %1", longest + "x"));
    EXPECT_FALSE(BuildFallbackCommand("%1", kAddress)) << "a command without program is not run";
}

TEST(SplitExecLine, FollowsTheDesktopEntryQuotingRules) {
    EXPECT_EQ(SplitExecLine(R"("/opt/My Browser/run"  --title "say \"hi\" \$HOME \\" a\b x"y z"w)"),
              (Arguments{"/opt/My Browser/run", "--title", R"(say "hi" $HOME \)", R"(a\b)", "xy zw"}));
    EXPECT_EQ(SplitExecLine("run \"\" last"), (Arguments{"run", "", "last"}));
    EXPECT_TRUE(SplitExecLine(" \t ").empty());
}

TEST(DesktopEntryExec, ReadsTheEntryGroupsExecLine) {
    const std::string entry =
        "[Desktop Action NewWindow]\n"
        "Exec=wrong --new-window\n"
        "\n"
        "[Desktop Entry]\n"
        "# Exec=commented out\n"
        "Name=Web Browser\n"
        "Exec[de]=falsch %u\n"
        "Exec = /opt/web\\sbrowser/run --flag=\\\\x %u\r\n"
        "Exec=second\n";
    EXPECT_EQ(DesktopEntryExec(entry), std::optional<std::string>("/opt/web browser/run --flag=\\x %u"));
    EXPECT_EQ(DesktopEntryExec("[Desktop Entry]\nName=No command\n"), std::nullopt);
}

TEST(DefaultEntriesFor, ReadsTheDefaultsOfTheMimeTypeInOrder) {
    const std::string mimeApps =
        "[Added Associations]\n"
        "text/html=added.desktop;\n"
        "[Default Applications]\n"
        "# text/html=commented.desktop\n"
        "text/htmlx=other.desktop\n"
        "text/html = first.desktop; second.desktop;;\n";
    EXPECT_EQ(DefaultEntriesFor(mimeApps, "text/html"), (std::vector<std::string>{"first.desktop", "second.desktop"}));
    EXPECT_EQ(DefaultEntriesFor("[MIME Cache]\ntext/html=cached.desktop;\n", "text/html"),
              std::vector<std::string>{"cached.desktop"});
    EXPECT_TRUE(DefaultEntriesFor("[Added Associations]\ntext/html=added.desktop;\n", "text/html").empty());
}

TEST(OpenErrorText, NamesTheCauseOrTheUnknownCode) {
    EXPECT_EQ(OpenErrorText(31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(OpenErrorText(99), "Unable to open hyperlink:\n\nUnknown Error (99) occurred.");
    EXPECT_EQ(OpenErrorText(0), "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.");
    EXPECT_EQ(OpenErrorText(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(OpenErrorText(-1), "Unable to open hyperlink:\n\nUnknown Error (-1) occurred.");
}

}  // namespace
