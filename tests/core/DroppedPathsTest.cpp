// Dropped folders turned into the videos inside them.
#include "ScratchFolder.h"
#include "core/DroppedPaths.h"

#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class DroppedPathsTest : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        fs::create_directories(m_root / "videos" / "sub.avi");
        fs::create_directories(m_root / "empty");
    }
    void TearDown() override {
        fs::permissions(m_root / "empty", fs::perms::owner_all);
        ScratchFolder::TearDown();
    }
};

TEST_F(DroppedPathsTest, AFolderGivesItsVideosInNameOrderInItsPlace) {
    for (const char* name : {"clip 10.mp4", "clip 2.AVI", "Clip 1.mkv", "b.flv", "notes.txt", ".hidden.avi",
                             "sub.avi/inner.avi", "clip 02b.mov"})
        Write(std::string("videos/") + name);
    fs::create_symlink(m_root / "videos" / "b.flv", m_root / "videos" / "a-link.wmv");

    EXPECT_EQ(DroppedPaths::Expand({At("first.txt"), At("videos"), At("last.avi")}),
              (std::vector<std::string>{At("first.txt"), At("videos/a-link.wmv"), At("videos/b.flv"),
                                        At("videos/Clip 1.mkv"), At("videos/clip 2.AVI"), At("videos/clip 02b.mov"),
                                        At("videos/clip 10.mp4"), At("last.avi")}));
}

// Adding them then tells the user that nothing could be read from them.
TEST_F(DroppedPathsTest, AFolderWithoutVideosOrUnreadableStaysItself) {
    Write("videos/notes.txt");
    EXPECT_EQ(DroppedPaths::Expand({At("videos"), At("empty")}), (std::vector<std::string>{At("videos"), At("empty")}));
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any folder";
    Write("empty/clip.avi");
    fs::permissions(m_root / "empty", fs::perms::none);
    EXPECT_EQ(DroppedPaths::Expand({At("empty")}), std::vector<std::string>{At("empty")});
}

}  // namespace
