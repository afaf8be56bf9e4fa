#include "core/SourceList.h"

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
