#include "core/ProgramFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Runs a shell command line (test scaffolding only) and returns its output.
std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return text;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) text += buffer.data();
    ::pclose(pipe);
    return text;
}

}  // namespace

TEST(ProgramFolder, SameFolderHoweverTheProgramIsStarted) {
    const fs::path program = PRINT_PROGRAM_FOLDER;
    const std::string expected = program.parent_path().string() + "/";
    const std::string name = program.filename().string();
    const std::string folder = program.parent_path().string();

    EXPECT_EQ(Output("'" + program.string() + "'"), expected);                   // full path
    EXPECT_EQ(Output("cd '" + folder + "' && ./" + name), expected);             // from its own folder
    EXPECT_EQ(Output("cd / && PATH='" + folder + "':$PATH " + name), expected);  // through PATH
    EXPECT_EQ(Output("cd '" + folder + "/..' && ./" + program.parent_path().filename().string() + "/" + name),
              expected);  // relative path
}

TEST(ProgramFolder, UserSettingsFolderFollowsXdg) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string restore = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(GetUserSettingsFolder(), "/tmp/xdg-test/Tarvine/");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(GetUserSettingsFolder(), GetHomeFolder() + "/.config/Tarvine/");
    if (saved)
        ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
