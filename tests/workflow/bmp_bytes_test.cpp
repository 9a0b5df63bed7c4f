#include "workflow/bmp_bytes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/workflow/bmp_reader.h"

namespace lanzhou {
namespace {

// A picture whose every pixel tells where it came from.
Bitmap pattern(int32_t width, int32_t height) {
    Bitmap bitmap = makeBitmap(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            bitmap.at(x, y) = makeArgb(255, x & 0xFF, y & 0xFF, (x * 7 + y * 13) & 0xFF);
    return bitmap;
}

struct SizeCase {
    int32_t width, height;
    int32_t expectedWidth, expectedHeight;
    std::size_t expectedBytes;
};

TEST(BitmapToBmpBytes, TargetSizeAndFileLength) {
    const Bitmap window = pattern(208, 96);
    const SizeCase cases[] = {
        {32, 32, 32, 32, 3126},
        {64, 64, 64, 64, 12342},
        {128, 128, 128, 128, 49206},
        {0, 0, 208, 96, 54 + 624 * 96},
        {-50, 0, 104, 96, 54 + 312 * 96},
        {-3, 0, 21, 96, 54 + 64 * 96},  // raised to 10 %: 20.8 rounds to 21
        {-5, -50, 21, 48, 54 + 64 * 48},
        {0, -100, 208, 96, 54 + 624 * 96},
        {-200, 1, 416, 1, 54 + 1248},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const PictureBytes bytes = bitmapToBmpBytes(window, c.width, c.height, 32);
        EXPECT_EQ(bytes.size(), c.expectedBytes);
        const Bitmap back = test::readBmp24(bytes);
        EXPECT_EQ(back.width, c.expectedWidth);
        EXPECT_EQ(back.height, c.expectedHeight);
    }
}

TEST(BitmapToBmpBytes, UnscaledRowsAreBlueGreenRedBottomUpWithPadding) {
    for (int32_t width : {1, 2, 3, 5, 32}) {
        SCOPED_TRACE(width);
        const Bitmap source = pattern(width, 3);
        const Bitmap back = test::readBmp24(bitmapToBmpBytes(source, 0, 0, 32));
        EXPECT_EQ(back.pixels, source.pixels);
    }
}

TEST(BitmapToBmpBytes, AlphaIsDropped) {
    // A screen has no alpha: colours count as they are, scaled or not.
    const Bitmap source = makeBitmap(2, 1, makeArgb(0, 10, 20, 30));
    const PictureBytes bytes = bitmapToBmpBytes(source, 0, 0, 32);
    ASSERT_EQ(bytes.size(), 54u + 8);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 54, "\x1e\x14\x0a\x1e\x14\x0a\0\0", 8));
    for (int32_t depth : {16, 32}) {
        const Bitmap scaled = bitmapAtTargetSize(source, 1, 3, depth);
        ASSERT_EQ(scaled.pixels.size(), 3u);
        for (uint32_t pixel : scaled.pixels) EXPECT_EQ(pixel, makeArgb(255, 10, 20, 30)) << depth;
    }
    EXPECT_EQ(bitmapAtTargetSize(source, 0, 0, 32).pixels[1], makeArgb(255, 10, 20, 30));
}

TEST(BitmapToBmpBytes, FailuresGiveEmptyBytes) {
    const Bitmap window = pattern(208, 96);
    EXPECT_TRUE(bitmapToBmpBytes(Bitmap(), 32, 32, 32).empty());
    EXPECT_TRUE(bitmapToBmpBytes(pattern(4, 4), -1, 0, 32).empty()) << "10 % of 4 rounds to 0";
    EXPECT_TRUE(bitmapToBmpBytes(window, INT32_MIN, 0, 32).empty()) << "overflows 32 bits";
    EXPECT_TRUE(bitmapToBmpBytes(window, 40000, 40000, 32).empty()) << "beyond the pixel limit";
}

TEST(TargetExtent, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(targetExtent(208, 0), 208);
    EXPECT_EQ(targetExtent(208, 7), 7);
    EXPECT_EQ(targetExtent(205, -50), 103);  // 102.5
    EXPECT_EQ(targetExtent(204, -50), 102);
    EXPECT_EQ(targetExtent(5, -10), 1);  // 0.5
    EXPECT_EQ(targetExtent(4, -10), 0);  // 0.4
    EXPECT_EQ(targetExtent(208, -9), 21);
    EXPECT_EQ(targetExtent(208, -10), 21);
    EXPECT_EQ(targetExtent(208, -11), 23);  // 22.88
    EXPECT_EQ(targetExtent(INT32_MAX, -200), -1);
}

TEST(BitmapToBmpBytes, ScreenDepthChoosesTheScaling) {
    // Black and white halves: picking keeps the two colours, smoothing mixes
    // them where they meet.
    Bitmap source = makeBitmap(4, 1, makeArgb(255, 0, 0, 0));
    source.at(2, 0) = source.at(3, 0) = makeArgb(255, 255, 255, 255);
    const Bitmap picked = test::readBmp24(bitmapToBmpBytes(source, 3, 1, 16));
    for (uint32_t pixel : picked.pixels) EXPECT_TRUE(pixel == 0xFF000000 || pixel == 0xFFFFFFFF);
    for (int32_t depth : {24, 32}) {
        const Bitmap smooth = test::readBmp24(bitmapToBmpBytes(source, 3, 1, depth));
        EXPECT_NEAR(redOf(smooth.at(1, 0)), 128, 1) << depth;
    }
}

}  // namespace
}  // namespace lanzhou
