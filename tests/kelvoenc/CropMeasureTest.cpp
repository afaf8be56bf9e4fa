#include "kelvoenc/CropMeasure.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 64, kHeight = 48;

// A limited-range black frame with a grey rectangle of picture in it.
std::vector<std::uint8_t> Frame(int left, int top, int right, int bottom, std::uint8_t level = 128) {
    std::vector<std::uint8_t> luma(kWidth * kHeight, 16);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) luma[std::size_t(y * kWidth + x)] = level;
    return luma;
}

std::optional<CropMeasure::Area> Measured(const std::vector<std::uint8_t>& luma) {
    return CropMeasure::PictureArea(luma.data(), kWidth, kWidth, kHeight);
}

}  // namespace

TEST(BorderScan, FindsThePictureBetweenTheBars) {
    EXPECT_EQ(Measured(Frame(0, 6, kWidth, 42)), (CropMeasure::Area{0, 6, kWidth, 42}));
    EXPECT_EQ(Measured(Frame(8, 0, 56, kHeight)), (CropMeasure::Area{8, 0, 56, kHeight}));
    EXPECT_EQ(Measured(Frame(0, 0, kWidth, kHeight)), (CropMeasure::Area{0, 0, kWidth, kHeight}));
}

TEST(BorderScan, RoundsOutwardToEvenPixels) {
    EXPECT_EQ(Measured(Frame(7, 5, 57, 41)), (CropMeasure::Area{6, 4, 58, 42}));
}

TEST(BorderScan, ABlackOrNearlyBlackFrameHasNoPicture) {
    EXPECT_FALSE(Measured(Frame(0, 0, 0, 0)));
    EXPECT_FALSE(Measured(Frame(0, 0, kWidth, kHeight, 24)));
}

// A dim line counts by its average, as the bars' noise would otherwise.
TEST(BorderScan, AThinDimLineInABarIsStillBar) {
    std::vector<std::uint8_t> luma = Frame(0, 6, kWidth, 42);
    for (int x = 0; x < 8; ++x) luma[std::size_t(2 * kWidth + x)] = 60;
    EXPECT_EQ(Measured(luma), (CropMeasure::Area{0, 6, kWidth, 42}));
}
