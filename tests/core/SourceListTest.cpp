#include "core/SourceList.h"

#include "core/KeptPart.h"

#include <gtest/gtest.h>

namespace {

SourceList FourRows() {
    SourceList list;
    for (int i = 1; i <= 4; ++i)
        list.Append({"/clips/" + std::to_string(i) + ".avi", i * 10.0, i * 100, i * 10, 20.0 + i});
    return list;
}

TEST(SourceListTest, RowsKeepTheirOwnValuesThroughRemoveAndSwap) {
    SourceList list = FourRows();
    ASSERT_EQ(list.fileCount(), 4);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 100.0);

    list.Remove(1);
    ASSERT_EQ(list.fileCount(), 3);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 80.0);
    EXPECT_EQ(list.Entry(1).path, "/clips/3.avi");
    EXPECT_EQ(list.Entry(1).sourceWidth, 300);
    EXPECT_EQ(list.Entry(2).path, "/clips/4.avi");
    EXPECT_DOUBLE_EQ(list.Entry(2).sourceFrameRate, 24.0);

    list.Swap(2, 1);
    EXPECT_EQ(list.Entry(1).path, "/clips/4.avi");
    EXPECT_EQ(list.Entry(1).sourceHeight, 40);
    EXPECT_DOUBLE_EQ(list.Entry(2).durationSeconds, 30.0);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 80.0);

    list.Remove(2);  // the last row
    EXPECT_EQ(list.fileCount(), 2);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 50.0);
}

// The total counts what each row keeps: min(length, end) - start, also
// when a row's order changes what it keeps and when it goes.
TEST(SourceListTest, TheTotalCountsTheKeptParts) {
    SourceList list = FourRows();  // 10, 20, 30 and 40 s
    FileOrder order;
    order.startSeconds = 5;
    list.SetOrder(0, order);  // 5 s kept
    order.endSeconds = 100;
    list.SetOrder(1, order);  // past its end: 15 s
    order.startSeconds.reset();
    order.endSeconds = 12;
    list.SetOrder(2, order);  // 12 s
    EXPECT_DOUBLE_EQ(list.totalDuration(), 5 + 15 + 12 + 40);
    EXPECT_DOUBLE_EQ(list.Entry(2).durationSeconds, 30.0);  // the source's own length stays

    list.SetOrder(2, FileOrder{});
    EXPECT_DOUBLE_EQ(list.totalDuration(), 5 + 15 + 30 + 40);
    list.Swap(0, 3);
    list.Remove(3);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 15 + 30 + 40);

    const struct {
        double duration;
        std::optional<double> start, end;
        double kept;
    } rows[] = {
        {60, 70, std::nullopt, 0},  // a start past the end keeps nothing, never less
        {0, 10, 25, 15},            // an unknown length runs to the end chosen
        {0, 10, std::nullopt, 0},
    };
    for (const auto& row : rows) {
        SourceEntry entry{"/clips/a.avi", row.duration};
        entry.order.startSeconds = row.start;
        entry.order.endSeconds = row.end;
        EXPECT_DOUBLE_EQ(KeptSeconds(entry), row.kept) << row.duration;
    }
}

// Chapters as the kept part has them: those outside it dropped, the rest
// moved by the start, the one running across the start beginning at 0.
TEST(SourceListTest, KeptChaptersFollowTheStartAndEnd) {
    SourceEntry film{"/clips/film.mkv", 100};
    film.chapterSeconds = {0, 20, 40, 60, 80};
    EXPECT_EQ(KeptChapters(film), film.chapterSeconds);
    film.order.startSeconds = 30;
    film.order.endSeconds = 60;
    EXPECT_EQ(KeptChapters(film), (std::vector<double>{0, 10}));
    film.order.startSeconds = 40;
    EXPECT_EQ(KeptChapters(film), (std::vector<double>{0}));
}

// The crop in use and what it keeps, in even pixels; edges that leave
// nothing are refused.
TEST(SourceListTest, TheCropInUse) {
    SourceEntry clip{"/clips/a.avi", 10, 720, 576};
    EXPECT_FALSE(KeptPicture(clip));
    clip.order.crop = CropMode::Automatic;
    clip.order.customCrop = {8, 8, 8, 8};
    EXPECT_FALSE(KeptPicture(clip));  // not measured yet
    clip.order.measuredCrop = MeasuredCrop{{0, 72, 0, 72}, 10, 10};
    EXPECT_EQ(KeptPicture(clip), (PictureCrop{720, 432, 0, 72}));
    clip.order.crop = CropMode::Custom;
    clip.order.customCrop = {7, 3, 8, 0};
    EXPECT_EQ(KeptPicture(clip), (PictureCrop{706, 574, 6, 2}));
    EXPECT_EQ(KeptPictureSize(clip).width, 706);
    clip.order.customCrop = {400, 0, 320, 0};
    EXPECT_FALSE(KeptPicture(clip));
    EXPECT_EQ(CropProblem(clip.order.customCrop, 720, 576),
              "the crop (left 400, top 0, right 320, bottom 0) leaves no picture of its 720x576 frame");
    EXPECT_NE(CropProblem({-2, 0, 0, 0}, 720, 576), "");
    EXPECT_EQ(KeptPictureSize(clip).width, 720);
}

TEST(SourceListTest, HoldsNinetyNineRowsAndNoMore) {
    SourceList list;
    for (int i = 0; i < SourceList::kCapacity; ++i) ASSERT_TRUE(list.Append({"/clips/f" + std::to_string(i), 1.0}));
    EXPECT_TRUE(list.IsFull());
    EXPECT_FALSE(list.Append({"/clips/one-too-many", 1.0}));
    EXPECT_EQ(list.fileCount(), 99);
    EXPECT_DOUBLE_EQ(list.totalDuration(), 99.0);
    EXPECT_THROW(list.Entry(99), std::out_of_range);

    list.Remove(0);
    EXPECT_FALSE(list.IsFull());
}

}  // namespace
