// The exit statuses are listed once, in protocol/: the README's table and the
// encoder's help show that list and nothing else.

#include "kelvoenc/OptionParser.h"
#include "protocol/ExitStatus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct ListedStatus {
    int status;
    std::string meaning;
};

// The rows of the README's "| Status | Meaning |" table.
std::vector<ListedStatus> ReadmeStatuses() {
    std::ifstream readme(README_PATH);
    std::vector<ListedStatus> rows;
    bool inTable = false;
    const std::regex row(R"(^\| (\d+) \| (.*) \|$)");
    for (std::string line; std::getline(readme, line);) {
        if (line == "| Status | Meaning |") inTable = true;
        std::smatch match;
        if (inTable && std::regex_match(line, match, row)) rows.push_back({std::stoi(match[1]), match[2]});
        if (inTable && line.empty()) break;
    }
    return rows;
}

std::string Unwrapped(std::string text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n') {
            while (at + 1 < text.size() && text[at + 1] == ' ') ++at;
            plain += ' ';
        } else {
            plain += text[at];
        }
    }
    return plain;
}

TEST(ExitStatuses, ReadmeListsExactlyTheProtocolsTable) {
    std::vector<ListedStatus> listed = ReadmeStatuses();
    ASSERT_EQ(listed.size(), std::size(kExitStatuses)) << "the README's table of exit statuses";
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].status, static_cast<int>(kExitStatuses[i].status));
        EXPECT_EQ(listed[i].meaning, kExitStatuses[i].meaning) << "status " << listed[i].status;
    }
}

TEST(ExitStatuses, HelpListsEveryMeaning) {
    const std::string help = Unwrapped(OptionParser::UsageText());
    for (const ExitStatusFacts& facts : kExitStatuses)
        EXPECT_NE(help.find(std::to_string(static_cast<int>(facts.status)) + "  " + facts.meaning), std::string::npos)
            << facts.meaning;
}

}  // namespace
