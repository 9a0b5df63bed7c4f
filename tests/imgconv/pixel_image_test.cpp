#include "imgconv/pixel_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imgconv/file_util.h"
#include "tests/support/test_files.h"

namespace imgconv {
namespace {

using lanzhou::test::countEntries;
using lanzhou::test::ScopedTempDir;

class PixelImageTest : public testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(countEntries(dir_.path(), kTempFilePrefix), 0)
            << "every image deletes its pixel file when it goes";
    }
    ScopedTempDir dir_;
};

// A 24-bit image of the given pixels, one row.
void makeRgbRow(PixelImage& image, const std::vector<uint8_t>& rgb) {
    ASSERT_EQ(image.create(static_cast<int32_t>(rgb.size() / 3), 1, 24, 0), 1);
    std::memcpy(image.pixels(), rgb.data(), rgb.size());
}

std::vector<uint8_t> bytesOf(const PixelImage& image) {
    return std::vector<uint8_t>(image.pixels(), image.pixels() + image.storageSize());
}

TEST_F(PixelImageTest, CreateSizesAndRefusals) {
    struct Case {
        int32_t width, height, bits, palette;
        int ok;
        int32_t stride, paletteSize;
        std::size_t bytes;
    } cases[] = {
        {1, 1, 24, 0, 1, 3, 0, 3},          {3, 2, 24, 0, 1, 9, 0, 18}, {3, 2, 24, 5, 1, 9, 0, 18},
        {4, 2, 8, 16, 1, 4, 16, 8},         {4, 2, 8, 0, 1, 4, 0, 8},   {2, 2, 16, 0, 1, 4, 0, 8},
        {2, 2, 32, 0, 1, 8, 0, 16},         {0, 5, 24, 0, 0, 0, 0, 0},  {5, 0, 24, 0, 0, 0, 0, 0},
        {5, 5, 12, 0, 0, 0, 0, 0},          {5, 5, 8, -1, 0, 0, 0, 0},  {-3, 5, 24, 0, 0, 0, 0, 0},
        {65536, 32768, 8, 0, 0, 0, 0, 0},  // 2^31 bytes: beyond 32 bits
        {0x7FFFFFFF, 1, 24, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PixelImage image;
        EXPECT_EQ(image.create(c.width, c.height, c.bits, c.palette), c.ok)
            << c.width << "x" << c.height << "x" << c.bits;
        EXPECT_EQ(image.rowStride(), c.stride);
        EXPECT_EQ(image.paletteSize(), c.paletteSize);
        EXPECT_EQ(image.storageSize(), c.bytes);
        EXPECT_EQ(image.palette().count(), static_cast<uint32_t>(c.paletteSize));
        if (!c.ok) {
            EXPECT_EQ(image.width(), 0);
            EXPECT_EQ(image.pixels(), nullptr);
        } else {
            EXPECT_EQ(bytesOf(image), std::vector<uint8_t>(c.bytes, 0)) << "new pixels are zero";
        }
    }
}

TEST_F(PixelImageTest, ReleaseDeletesThePixelFile) {
    PixelImage image;
    ASSERT_EQ(image.create(10, 10, 24, 0), 1);
    EXPECT_EQ(countEntries(dir_.path(), kTempFilePrefix), 1);
    ASSERT_EQ(image.create(20, 10, 24, 0), 1) << "a refill replaces the file";
    EXPECT_EQ(countEntries(dir_.path(), kTempFilePrefix), 1);
    EXPECT_EQ(image.release(), 1);
    EXPECT_EQ(image.release(), 1);
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.bitsPerPixel(), 0);
    {
        PixelImage scoped;
        ASSERT_EQ(scoped.create(4, 4, 32, 0), 1);
    }
    EXPECT_EQ(countEntries(dir_.path(), kTempFilePrefix), 0) << "destruction releases";
}

TEST_F(PixelImageTest, GreyLevelsUseIntegerWeights) {
    PixelImage colour, grey;
    makeRgbRow(colour, {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    ASSERT_EQ(colour.convertTo(grey, 8, 0), 1);
    EXPECT_EQ(grey.paletteSize(), 0);
    EXPECT_EQ(bytesOf(grey), (std::vector<uint8_t>{255, 76, 149, 29}));
}

TEST_F(PixelImageTest, SixteenBitsKeepFiveBitsPerChannel) {
    PixelImage colour, packed, back;
    makeRgbRow(colour, {200, 100, 50});
    ASSERT_EQ(colour.convertTo(packed, 16, 0), 1);
    const uint16_t word = static_cast<uint16_t>(packed.pixels()[0] | (packed.pixels()[1] << 8));
    EXPECT_EQ(word >> 11, 25);
    EXPECT_EQ((word >> 6) & 31, 12);
    EXPECT_EQ((word >> 1) & 31, 6);
    EXPECT_EQ(word & 1, 0);
    ASSERT_EQ(packed.convertTo(back, 24, 0), 1);
    EXPECT_EQ(bytesOf(back), (std::vector<uint8_t>{200, 96, 48}));
}

TEST_F(PixelImageTest, AlphaComesFirstAndIsDroppedAgain) {
    PixelImage colour, withAlpha, back;
    makeRgbRow(colour, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(colour.convertTo(withAlpha, 32, 0), 1);
    EXPECT_EQ(bytesOf(withAlpha), (std::vector<uint8_t>{255, 1, 2, 3, 255, 4, 5, 6}));
    withAlpha.pixels()[0] = 7;
    ASSERT_EQ(withAlpha.convertTo(back, 24, 0), 1);
    EXPECT_EQ(bytesOf(back), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(PixelImageTest, IndexedImagesGetTheColoursTheyHold) {
    PixelImage colour, indexed;
    makeRgbRow(colour, {0, 0, 200, 255, 0, 0, 0, 0, 200, 0, 255, 0});
    ASSERT_EQ(colour.convertTo(indexed, 8, 256), 1);
    EXPECT_EQ(indexed.paletteSize(), 3);
    EXPECT_EQ(indexed.palette().count(), 3u);
    // Sorted by key (blue weighs most): red, green, blue. With three entries
    // every key between the first and the last encloses entry 1.
    EXPECT_EQ(indexed.paletteEntries()[0].red, 248);
    EXPECT_EQ(indexed.paletteEntries()[1].green, 248);
    EXPECT_EQ(indexed.paletteEntries()[2].blue, 200);
    EXPECT_EQ(bytesOf(indexed), (std::vector<uint8_t>{1, 1, 1, 1}));

    // An indexed source is copied whatever palette size is asked for.
    PixelImage copy;
    ASSERT_EQ(indexed.convertTo(copy, 8, 2), 1);
    EXPECT_EQ(copy.paletteSize(), 3);
    EXPECT_EQ(bytesOf(copy), bytesOf(indexed));
    EXPECT_EQ(std::memcmp(copy.paletteEntries(), indexed.paletteEntries(), 3 * 8), 0);

    PixelImage tooMany;
    EXPECT_EQ(colour.convertTo(tooMany, 8, 257), 0);
    EXPECT_EQ(tooMany.pixels(), nullptr);
}

TEST_F(PixelImageTest, IndexedAndGreySourcesConvertThroughTheirColours) {
    PixelImage indexed, rgb, grey;
    ASSERT_EQ(indexed.create(3, 1, 8, 2), 1);
    indexed.paletteEntries()[0] = {10, 20, 30, 255, 0};
    indexed.paletteEntries()[1] = {255, 0, 0, 255, 0};
    // Index 7 lies beyond the two entries: it reads as black.
    const uint8_t indices[] = {1, 0, 7};
    std::memcpy(indexed.pixels(), indices, 3);
    ASSERT_EQ(indexed.convertTo(rgb, 24, 0), 1);
    EXPECT_EQ(bytesOf(rgb), (std::vector<uint8_t>{255, 0, 0, 10, 20, 30, 0, 0, 0}));
    ASSERT_EQ(indexed.convertTo(grey, 8, 0), 1);
    EXPECT_EQ(bytesOf(grey), (std::vector<uint8_t>{76, 18, 0}));

    PixelImage greySource, fromGrey;
    ASSERT_EQ(greySource.create(2, 1, 8, 0), 1);
    greySource.pixels()[0] = 9;
    greySource.pixels()[1] = 250;
    ASSERT_EQ(greySource.convertTo(fromGrey, 24, 0), 1);
    EXPECT_EQ(bytesOf(fromGrey), (std::vector<uint8_t>{9, 9, 9, 250, 250, 250}));
}

TEST_F(PixelImageTest, SameLayoutGivesAnIdenticalCopy) {
    PixelImage source, copy;
    ASSERT_EQ(source.create(3, 2, 24, 0), 1);
    for (std::size_t i = 0; i < source.storageSize(); ++i) source.pixels()[i] = uint8_t(i * 7);
    ASSERT_EQ(source.convertTo(copy, 24, 0), 1);
    EXPECT_EQ(bytesOf(copy), bytesOf(source));
    EXPECT_NE(copy.pixels(), source.pixels());

    PixelImage viaCopy;
    ASSERT_EQ(viaCopy.copyFrom(source), 1);
    EXPECT_EQ(bytesOf(viaCopy), bytesOf(source));
}

TEST_F(PixelImageTest, ConversionFailuresLeaveTheTargetEmpty) {
    PixelImage source, target, empty;
    ASSERT_EQ(source.create(2, 2, 24, 0), 1);
    ASSERT_EQ(target.create(1, 1, 24, 0), 1);
    EXPECT_EQ(source.convertTo(target, 12, 0), 0);
    EXPECT_EQ(target.pixels(), nullptr);
    EXPECT_EQ(source.convertTo(source, 32, 0), 0) << "a conversion needs another image";
    EXPECT_EQ(empty.convertTo(target, 24, 0), 0);
    EXPECT_EQ(target.copyFrom(empty), 0);
}

}  // namespace
}  // namespace imgconv
