#include "core/IniFile.h"
#include "core/SettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("tarvine-settings-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "program");
        m_program = (m_root / "program").string() + "/";
        m_user = (m_root / "user").string() + "/";
    }
    void TearDown() override { fs::remove_all(m_root); }

    SettingsStore Store() const { return SettingsStore(m_program, m_user); }
    void Write(const std::string& path, const std::string& text) const { std::ofstream(path) << text; }
    std::string Read(const std::string& path) const {
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    fs::path m_root;
    std::string m_program;
    std::string m_user;
};

}  // namespace

TEST_F(SettingsStoreTest, DefaultsWithoutAnyFile) {
    ConversionSettings loaded = Store().Load();
    EXPECT_EQ(loaded, ConversionSettings{});
    EXPECT_EQ(loaded.outputFolder.substr(loaded.outputFolder.size() - 14), "/output video/");
    EXPECT_EQ(Store().LoadVersion(), "1.00");
}

TEST_F(SettingsStoreTest, SavesEveryKeyInOrderAndReadsThemBack) {
    ConversionSettings settings;
    settings.letterbox = 0;
    settings.outputFolder = "/media/my clips/";
    settings.outputFormat = 12;
    settings.volume = 33;
    settings.discImage = 1;
    settings.asfAudioCodec = 0;
    settings.mpegFrameRate = -4;
    settings.mp4Resolution = 9;
    settings.discMenu = 0;
    settings.conversionsAtOnce = 3;
    settings.audioTracks = ConversionSettings::kAllAudioTracks;
    settings.subtitles = ConversionSettings::kAllSubtitles;
    settings.discMenuTitle = "Summer 2024";
    ASSERT_TRUE(Store().Save(settings));
    EXPECT_EQ(Store().Load(), settings);

    std::string text = Read(m_program + "option.ini");
    const char* keys[] = {"Letterbox=0",
                          "Temporary folder=/media/my clips/",
                          "Output format=12",
                          "TV mode=",
                          "MPEG aspect ratio=",
                          "DVD aspect ratio=",
                          "AVI quality=",
                          "MPEG1 quality=",
                          "MPEG2 quality=",
                          "SVCD quality=",
                          "DVD quality=",
                          "WMV quality=",
                          "AVI video codec=",
                          "ASF video codec=",
                          "AVI audio codec=",
                          "Divx audio codec=",
                          "Xvid audio codec=",
                          "DVD audio codec=",
                          "WMV audio codec=",
                          "ASF audio codec=0",
                          "AVI resolution=",
                          "MPEG resolution=",
                          "AVI frame rate=",
                          "MPEG frame rate=-4",
                          "Volume=33",
                          "Disc image=1",
                          "MP4 quality=3",
                          "MP4 resolution=9",
                          "MP4 frame rate=0",
                          "Disc menu=0",
                          "Conversions at once=3",
                          "Audio tracks=1",
                          "Subtitles=2",
                          "Disc menu title=Summer 2024"};
    std::size_t at = text.find("[Destinate]");
    ASSERT_NE(at, std::string::npos);
    for (const char* key : keys) {
        std::size_t next = text.find(std::string("\n") + key, at);
        ASSERT_NE(next, std::string::npos) << key << " missing or out of order in\n" << text;
        at = next + 1;
    }
    for (const auto& entry : fs::directory_iterator(m_program))
        EXPECT_EQ(entry.path().filename(), "option.ini") << "left behind: " << entry.path();
}

TEST_F(SettingsStoreTest, ReadsLikeTheProfileFunctions) {
    std::string longFolder(300, 'f');
    Write(m_program + "option.ini",
          "; kept comment\n[other]\nkeep=me\n\n[DESTINATE]\nvolume = loud\n"
          "OUTPUT FORMAT=  7 apples\nTemporary folder=" +
              longFolder + "\nTV mode=-1\n");
    Write(m_program + "version.ini", "[general]\nversion = 2.5 \n");
    ConversionSettings loaded = Store().Load();
    EXPECT_EQ(loaded.volume, 0);
    EXPECT_EQ(loaded.outputFormat, 7);
    EXPECT_EQ(loaded.tvMode, -1);
    EXPECT_EQ(loaded.outputFolder, std::string(255, 'f'));
    EXPECT_EQ(loaded.aviQuality, 4);
    EXPECT_EQ(loaded.discImage, 0);  // written before the key existed
    EXPECT_EQ(loaded.discMenu, 1);
    EXPECT_EQ(loaded.mp4Quality, 3);  // a file from before MP4 takes the middle step
    EXPECT_EQ(loaded.conversionsAtOnce, ConversionSettings::kAutoConversions);
    EXPECT_EQ(loaded.discMenuTitle, "");
    EXPECT_EQ(Store().LoadVersion(), "2.5");

    ASSERT_TRUE(Store().Save(loaded));
    std::string text = Read(m_program + "option.ini");
    EXPECT_NE(text.find("; kept comment"), std::string::npos) << text;
    EXPECT_NE(text.find("keep=me"), std::string::npos) << text;
    EXPECT_EQ(IniFile(m_program + "option.ini").ReadString("Destinate", "Volume", "x"), "0");
}

TEST_F(SettingsStoreTest, UnwritableProgramFolderFallsBackToThePerUserFile) {
    Write((m_root / "blocker").string(), "a file, not a folder");
    SettingsStore store((m_root / "blocker").string() + "/", m_user);
    ConversionSettings settings;
    settings.dvdQuality = 1;
    ASSERT_TRUE(store.Save(settings));
    EXPECT_TRUE(fs::exists(m_user + "option.ini"));
    EXPECT_EQ(store.OptionFilePath(), m_user + "option.ini");
    EXPECT_EQ(store.Load().dvdQuality, 1);

    // A writable program folder keeps its own file, even beside a per-user
    // copy: a second copy of the program does not share another's settings.
    settings.dvdQuality = 2;
    ASSERT_TRUE(Store().Save(settings));
    EXPECT_EQ(Store().OptionFilePath(), m_program + "option.ini");
    EXPECT_EQ(Store().Load().dvdQuality, 2);
    EXPECT_EQ(store.Load().dvdQuality, 1);
}

TEST_F(SettingsStoreTest, FailedWriteKeepsTheOldFile) {
    IniFile file((m_root / "missing-folder" / "x.ini").string());
    file.WriteInt("S", "k", 1);
    EXPECT_FALSE(file.Save());
    EXPECT_FALSE(fs::exists(m_root / "missing-folder"));
}

TEST(ProfileTextToInt, ConvertsAsAtoiDoes) {
    EXPECT_EQ(ProfileTextToInt("  42x"), 42);
    EXPECT_EQ(ProfileTextToInt("-7"), -7);
    EXPECT_EQ(ProfileTextToInt("loud"), 0);
    EXPECT_EQ(ProfileTextToInt(""), 0);
    EXPECT_EQ(ProfileTextToInt("99999999999"), 2147483647);
}
