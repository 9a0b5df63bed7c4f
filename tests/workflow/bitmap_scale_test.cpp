#include "workflow/bitmap_scale.h"

#include <gtest/gtest.h>

namespace lanzhou {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

Bitmap row(std::initializer_list<uint32_t> pixels) {
    Bitmap bitmap = makeBitmap(static_cast<int32_t>(pixels.size()), 1);
    bitmap.pixels = pixels;
    return bitmap;
}

TEST(ScaleBitmap, UniformColoursStayExact) {
    const Bitmap source = makeBitmap(37, 23, 0xFF336699);
    for (bool smooth : {false, true}) {
        for (auto [w, h] : {std::pair{32, 32}, {5, 80}, {128, 1}}) {
            const Bitmap scaled = scaleBitmap(source, w, h, smooth);
            ASSERT_EQ(scaled.width, w);
            ASSERT_EQ(scaled.height, h);
            for (uint32_t pixel : scaled.pixels) ASSERT_EQ(pixel, 0xFF336699u);
        }
    }
}

TEST(ScaleBitmap, PickingTakesThePixelUnderEachCentre) {
    const Bitmap source = row({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(scaleBitmap(source, 3, 1, false).pixels, (std::vector<uint32_t>{2, 4, 6}));
    EXPECT_EQ(scaleBitmap(row({1, 2}), 4, 1, false).pixels, (std::vector<uint32_t>{1, 1, 2, 2}));
}

TEST(ScaleBitmap, ShrinkingAveragesTheCoveredArea) {
    Bitmap source = makeBitmap(4, 4, kBlack);
    for (int32_t y = 0; y < 4; ++y) source.at(0, y) = source.at(1, y) = kWhite;
    const Bitmap scaled = scaleBitmap(source, 2, 2, true);
    EXPECT_EQ(scaled.pixels, (std::vector<uint32_t>{kWhite, kBlack, kWhite, kBlack}));
    const Bitmap one = scaleBitmap(source, 1, 1, true);
    EXPECT_NEAR(redOf(one.at(0, 0)), 128, 1);
}

TEST(ScaleBitmap, EnlargingInterpolates) {
    const Bitmap scaled = scaleBitmap(row({kBlack, kWhite}), 4, 1, true);
    ASSERT_EQ(scaled.width, 4);
    EXPECT_EQ(scaled.at(0, 0), kBlack);
    EXPECT_EQ(scaled.at(3, 0), kWhite);
    EXPECT_NEAR(redOf(scaled.at(1, 0)), 64, 1);
    EXPECT_NEAR(redOf(scaled.at(2, 0)), 191, 1);
}

TEST(ScaleBitmap, TransparentPixelsLeaveNoFringe) {
    // A transparent red next to an opaque blue: the mix is half transparent
    // blue, with no red in it.
    const Bitmap scaled = scaleBitmap(row({0x00FF0000, 0xFF0000FF}), 1, 1, true);
    EXPECT_NEAR(alphaOf(scaled.at(0, 0)), 128, 1);
    EXPECT_EQ(redOf(scaled.at(0, 0)), 0u);
    EXPECT_EQ(blueOf(scaled.at(0, 0)), 255u);
    EXPECT_EQ(scaleBitmap(row({0x00FF0000, 0x00FF0000}), 1, 1, true).at(0, 0), 0u);
}

TEST(ScaleBitmap, BadSizesGiveAnEmptyBitmap) {
    const Bitmap source = makeBitmap(4, 4, kWhite);
    EXPECT_TRUE(scaleBitmap(source, 0, 4, true).empty());
    EXPECT_TRUE(scaleBitmap(source, 4, -1, false).empty());
    EXPECT_TRUE(scaleBitmap(Bitmap(), 4, 4, true).empty());
    EXPECT_TRUE(scaleBitmap(source, 20000, 20000, false).empty());
}

}  // namespace
}  // namespace lanzhou
