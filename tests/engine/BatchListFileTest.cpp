// Saved lists of files: what is written comes back the same, whatever the
// locale and whatever bytes the names hold; a newer or hand-made list is
// read as far as it is understood; what is no list is refused in a sentence.
#include "DecimalCommaLocale.h"
#include "ScratchFolder.h"

#include "engine/BatchListFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

class BatchListFileTest : public ScratchFolder {};

TEST_F(BatchListFileTest, WhatIsSavedOpensTheSame) {
    DecimalCommaLocale german;
    ASSERT_TRUE(german.Problem().empty()) << german.Problem();
    ConversionSettings settings;
    settings.outputFormat = 10;
    settings.conversionsAtOnce = 3;
    settings.outputFolder = At("sortie\xe9");
    settings.discMenuTitle = "Our \"summer\" ä";
    FileOrder every;
    every.soundTracks = std::vector{2, 1};
    every.subtitleTracks = std::vector{3};
    every.shownSubtitle = 3;
    every.burnSubtitle = true;
    every.startSeconds = 10.5;
    every.endSeconds = 1234.125;
    every.crop = CropMode::Custom;
    every.customCrop = {2, 4, 6, 8};
    every.measuredCrop = MeasuredCrop{{0, 140, 0, 138}, 9, 10};
    FileOrder automatic;
    automatic.crop = CropMode::Automatic;
    automatic.soundTracks = std::vector<int>{};
    const std::vector<BatchListFile::Listed> files = {
        {At("caf\xe9 1.avi"), every}, {At("\xc3\xa9t\xc3\xa9.mkv"), automatic}, {"/tapes/plain.mpg", {}}};

    const std::string path = At("list.json");
    ASSERT_EQ(BatchListFile::Save(path, settings, files, false), QString());
    const BatchListFile::Opened opened = BatchListFile::Open(path);

    EXPECT_EQ(opened.failure, QString());
    EXPECT_TRUE(opened.notUnderstood.isEmpty()) << opened.notUnderstood.join('\n').toStdString();
    EXPECT_EQ(opened.settings, settings);
    EXPECT_EQ(opened.files, files);
    const std::string text = Contents(path);
    for (const char* written : {"\"start\": 10.5", "\"end\": 1234.125", "\"Output format\": \"10\"",
                                "\"crop\": \"auto\"", "\"tarvineList\": 1"})
        EXPECT_NE(text.find(written), std::string::npos) << written << " not in\n" << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n') > 10, true);                       // a person can read it
    EXPECT_EQ(text.find("pathBytes"), text.rfind("pathBytes"));                             // for the Latin-1 name only
    EXPECT_EQ(std::distance(fs::directory_iterator(m_root), fs::directory_iterator()), 1);  // no temporary file
}

// A list is never saved over another file unless the user chose to replace
// it, and a folder that takes no file is said in a sentence.
TEST_F(BatchListFileTest, SavingReplacesOnlyWhenAsked) {
    const std::string path = Write("taken.json", "keep me");
    const QString refused = BatchListFile::Save(path, {}, {{"/a.avi", {}}}, false);
    EXPECT_EQ(refused.toStdString(), "The list " + path + " could not be saved: a file of that name is already there.");
    EXPECT_EQ(Contents(path), "keep me");
    EXPECT_EQ(BatchListFile::Save(path, {}, {{"/a.avi", {}}}, true), QString());
    EXPECT_EQ(BatchListFile::Open(path).files.size(), 1u);
    const QString noFolder = BatchListFile::Save(At("gone/list.json"), {}, {}, false);
    EXPECT_TRUE(noFolder.endsWith("gone/list.json could not be saved: No such file or directory."))
        << noFolder.toStdString();
    EXPECT_EQ(std::distance(fs::directory_iterator(m_root), fs::directory_iterator()), 1);
}

// A newer list, or one written by hand, is read as far as it is understood:
// a sentence for each thing left out, the rest kept, settings it lacks taken
// from the base, and a relative path found beside the list.
TEST_F(BatchListFileTest, ANewerListIsReadAsFarAsItGoes) {
    fs::create_directories(At("lists"));
    const std::string path = Write("lists/new.json", R"({
        "tarvineList": 2, "colour": "blue",
        "settings": {"output format": "7", "Sharpness": "4", "Volume": 30},
        "files": [
            {"path": "clips/one.avi", "start": 5, "end": "soon", "stereo3d": true, "crop": "auto"},
            {"path": "/two.avi", "pathBytes": "%%%", "soundTracks": [1, 0], "subtitleTracks": [2]},
            {"start": 1},
            {"path": "/four\u0000.avi"},
            "three.avi"
        ]})");
    ConversionSettings base;
    base.volume = 12;
    base.outputFolder = "/converted";
    const BatchListFile::Opened opened = BatchListFile::Open(path, base);

    ASSERT_EQ(opened.failure, QString());
    ASSERT_EQ(opened.files.size(), 2u);
    EXPECT_EQ(opened.files[0].path, At("lists/clips/one.avi"));
    EXPECT_EQ(opened.files[0].order.startSeconds, 5.0);
    EXPECT_FALSE(opened.files[0].order.endSeconds);
    EXPECT_EQ(opened.files[0].order.crop, CropMode::Automatic);
    EXPECT_EQ(opened.files[1].path, "/two.avi");
    EXPECT_FALSE(opened.files[1].order.soundTracks);
    EXPECT_EQ(opened.files[1].order.subtitleTracks, std::vector{2});
    EXPECT_EQ(opened.settings.outputFormat, 7);
    EXPECT_EQ(opened.settings.volume, 12);
    EXPECT_EQ(opened.settings.outputFolder, "/converted");
    const QString in = "In " + QString::fromStdString(path) + ", ";
    const QStringList expected = {
        QString::fromStdString(path) +
            " is a list of version 2, and this Tarvine reads version 1: what it does not understand is left out.",
        in + "\"colour\" is not understood and is left out.",
        in + "the setting \"Sharpness\" is not understood and is left out.",
        in + "the setting \"Volume\" is not understood and is left out.",
        in + "\"end\" of " + QString::fromStdString(At("lists/clips/one.avi")) + " is not understood and is left out.",
        in + "\"stereo3d\" of " + QString::fromStdString(At("lists/clips/one.avi")) +
            " is not understood and is left out.",
        in + "the \"pathBytes\" of file 2 is not understood and is left out.",
        in + "\"soundTracks\" of /two.avi is not understood and is left out.",
        in + "file 3, which names no file, is not understood and is left out.",
        in + "file 4, which names no file, is not understood and is left out.",
        in + "file 5, which names no file, is not understood and is left out.",
    };
    EXPECT_EQ(opened.notUnderstood, expected) << opened.notUnderstood.join('\n').toStdString();
}

TEST_F(BatchListFileTest, WhatIsNoListIsRefusedInASentence) {
    fs::create_directories(At("folder.json"));
    const struct {
        std::string path;
        std::string failure;  // after the path
    } cases[] = {
        {At("missing.json"), "cannot be read: No such file or directory."},
        {At("folder.json"), "cannot be read: Is a directory."},
        {Write("half.json", R"({"tarvineList": 1, "files": [)"), "is no list of files: it is not JSON ("},
        {Write("array.json", R"([{"tarvineList": 1}])"), "is no Tarvine list of files."},
        {Write("other.json", R"({"name": "x", "files": []})"), "is no Tarvine list of files."},
        {Write("nofiles.json", R"({"tarvineList": 1, "files": {}})"), "is no Tarvine list of files."},
        {Write("huge.json", std::string(BatchListFile::kLargestList + 1, ' ')),
         "is far too large for a list of files."},
    };
    for (const auto& c : cases) {
        const BatchListFile::Opened opened = BatchListFile::Open(c.path);
        EXPECT_NE(opened.failure.toStdString().find(c.path + " " + c.failure), std::string::npos)
            << opened.failure.toStdString();
        EXPECT_TRUE(opened.files.empty());
    }
}
