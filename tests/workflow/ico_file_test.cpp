#include "workflow/ico_file.h"

#include <gtest/gtest.h>

#include <QImage>

#include "tests/workflow/output_checks.h"

namespace lanzhou {
namespace {

using test::fieldAt;
using test::readIcoWithQt;

// Qt keeps pixels premultiplied: colours of faint pixels come back rounded.
void expectSamePixel(uint32_t read, uint32_t written) {
    ASSERT_EQ(alphaOf(read), alphaOf(written));
    if (alphaOf(written) == 0) return;
    const int tolerance = static_cast<int>(255 / alphaOf(written));
    ASSERT_NEAR(redOf(read), redOf(written), tolerance);
    ASSERT_NEAR(greenOf(read), greenOf(written), tolerance);
    ASSERT_NEAR(blueOf(read), blueOf(written), tolerance);
}

// Every pixel different, alpha running through 0, partial and 255.
Bitmap pattern(int32_t width, int32_t height) {
    Bitmap bitmap = makeBitmap(width, height);
    const uint32_t alphas[] = {0, 255, 128, 255, 1};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            bitmap.at(x, y) = makeArgb(alphas[(x + 2 * y) % 5], x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    return bitmap;
}

TEST(IcoFile, DirectoryHeaderAndMask) {
    const Bitmap image = pattern(33, 2);
    const PictureBytes ico = bitmapToIcoFile(image);
    const std::size_t maskStride = 8;  // 33 bits padded to 64
    ASSERT_EQ(ico.size(), 6 + 16 + 40 + 33 * 4 * 2 + maskStride * 2);
    // ICONDIR
    EXPECT_EQ(fieldAt(ico, 0, 2), 0u);
    EXPECT_EQ(fieldAt(ico, 2, 2), 1u);
    EXPECT_EQ(fieldAt(ico, 4, 2), 1u);
    // ICONDIRENTRY
    EXPECT_EQ(ico[6], 33);
    EXPECT_EQ(ico[7], 2);
    EXPECT_EQ(ico[8], 0);
    EXPECT_EQ(ico[9], 0);
    EXPECT_EQ(fieldAt(ico, 10, 2), 1u);
    EXPECT_EQ(fieldAt(ico, 12, 2), 32u);
    EXPECT_EQ(fieldAt(ico, 14, 4), ico.size() - 22);
    EXPECT_EQ(fieldAt(ico, 18, 4), 22u);
    // BITMAPINFOHEADER with doubled height
    EXPECT_EQ(fieldAt(ico, 22, 4), 40u);
    EXPECT_EQ(fieldAt(ico, 26, 4), 33u);
    EXPECT_EQ(fieldAt(ico, 30, 4), 4u);
    EXPECT_EQ(fieldAt(ico, 34, 2), 1u);
    EXPECT_EQ(fieldAt(ico, 36, 2), 32u);
    EXPECT_EQ(fieldAt(ico, 38, 4), 0u);
    // BGRA rows bottom-up, then the mask, bottom-up too
    const std::size_t colour = 62;
    const std::size_t mask = colour + 33 * 4 * 2;
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 33; ++x) {
            const uint32_t argb = image.at(x, y);
            const std::size_t at = colour + ((1 - y) * 33 + x) * 4;
            EXPECT_EQ(fieldAt(ico, at, 4), argb);
            const bool maskBit = ico[mask + (1 - y) * maskStride + x / 8] & (0x80 >> (x % 8));
            EXPECT_EQ(maskBit, alphaOf(argb) == 0) << x << "," << y;
        }
        for (std::size_t pad = 5; pad < maskStride; ++pad)
            EXPECT_EQ(ico[mask + (1 - y) * maskStride + pad], 0);
    }
}

TEST(IcoFile, QtReadsSizePixelsAndTransparency) {
    for (auto [w, h] : {std::pair{1, 1}, {32, 32}, {17, 5}, {256, 256}, {256, 3}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const Bitmap image = pattern(w, h);
        const PictureBytes ico = bitmapToIcoFile(image);
        ASSERT_TRUE(isIcoFile(ico));
        const QImage read = readIcoWithQt(ico);
        ASSERT_EQ(read.width(), w);
        ASSERT_EQ(read.height(), h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) expectSamePixel(read.pixel(x, y), image.at(x, y));
    }
}

TEST(IcoFile, OpaqueCaptureHasAnEmptyMask) {
    const PictureBytes ico = bitmapToIcoFile(makeBitmap(32, 32, 0xFF102030));
    ASSERT_EQ(ico.size(), 22 + 40 + 32 * 32 * 4 + 4 * 32);
    for (std::size_t i = ico.size() - 128; i < ico.size(); ++i) ASSERT_EQ(ico[i], 0);
    EXPECT_EQ(readIcoWithQt(ico).pixel(31, 0), 0xFF102030u);
}

TEST(IcoFile, SizesBeyondAnEntryAreRefused) {
    EXPECT_TRUE(bitmapToIcoFile(Bitmap()).empty());
    EXPECT_TRUE(bitmapToIcoFile(makeBitmap(257, 1)).empty());
    EXPECT_TRUE(bitmapToIcoFile(makeBitmap(1, 257)).empty());
    const PictureBytes largest = bitmapToIcoFile(makeBitmap(256, 256, 0xFF000000));
    ASSERT_FALSE(largest.empty());
    EXPECT_EQ(largest[6], 0);
    EXPECT_EQ(largest[7], 0);
}

TEST(IsIcoFile, TellsIconsFromOtherBytes) {
    PictureBytes ico = bitmapToIcoFile(pattern(4, 4));
    EXPECT_TRUE(isIcoFile(ico));

    struct Case {
        const char* what;
        std::size_t offset;
        unsigned char value;
    };
    for (const Case& c :
         {Case{"reserved word", 0, 1}, Case{"cursor type", 2, 2}, Case{"no entries", 4, 0},
          Case{"two entries", 4, 2}, Case{"offset into the directory", 18, 6},
          Case{"image beyond the end", 17, 1}}) {
        PictureBytes broken = ico;
        broken[c.offset] = c.value;
        EXPECT_FALSE(isIcoFile(broken)) << c.what;
    }
    EXPECT_FALSE(isIcoFile(PictureBytes(ico.begin(), ico.end() - 1)));
    EXPECT_FALSE(isIcoFile(PictureBytes(ico.begin(), ico.begin() + 5)));
    EXPECT_FALSE(isIcoFile(PictureBytes()));
    const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_FALSE(isIcoFile(PictureBytes(std::begin(png), std::end(png))));
}

TEST(FitIcoSize, KeepsSmallPicturesAndShrinksLargeOnesKeepingTheAspect) {
    const Bitmap small = pattern(256, 100);
    EXPECT_EQ(fitIcoSize(small).pixels, small.pixels);
    struct Case {
        int32_t w, h, fitW, fitH;
    };
    for (const Case& c : {Case{512, 256, 256, 128}, Case{300, 10, 256, 9}, Case{1000, 1, 256, 1},
                          Case{10, 4000, 1, 256}, Case{257, 257, 256, 256}}) {
        const Bitmap fitted = fitIcoSize(makeBitmap(c.w, c.h, 0x80FF0000));
        EXPECT_EQ(fitted.width, c.fitW) << c.w << " x " << c.h;
        EXPECT_EQ(fitted.height, c.fitH) << c.w << " x " << c.h;
        EXPECT_EQ(fitted.at(0, 0), 0x80FF0000u);
    }
}

}  // namespace
}  // namespace lanzhou
