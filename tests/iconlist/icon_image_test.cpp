#include "iconlist/icon_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/iconlist/icon_samples.h"

namespace lanzhou {
namespace {

using test::Bytes;

Bitmap decode(const Bytes& bytes) {
    return decodeIconImage(bytes.data(), bytes.size());
}

TEST(DecodeIconImage, EveryDepthWithItsMask) {
    struct Case {
        int bits;
        int colours;
        int32_t side;
    };
    for (const Case& c : {Case{1, 1, 32}, Case{4, 15, 32}, Case{8, 200, 48}, Case{24, 300, 16},
                          Case{32, 300, 32}, Case{1, 1, 7}, Case{4, 3, 9}, Case{24, 5, 33}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.side << " px");
        const Bitmap picture = test::samplePicture(c.side, c.colours);
        const Bitmap decoded = decode(test::dibImage(picture, c.bits));
        ASSERT_EQ(decoded.width, c.side);
        ASSERT_EQ(decoded.height, c.side);
        EXPECT_EQ(decoded.pixels, picture.pixels);
    }
}

TEST(DecodeIconImage, ThirtyTwoBitsKeepTheirAlpha) {
    const Bitmap picture = test::samplePicture(32, 50, true);
    EXPECT_EQ(decode(test::dibImage(picture, 32)).pixels, picture.pixels);
}

TEST(DecodeIconImage, PngImages) {
    for (int32_t side : {16, 32, 256}) {
        const Bitmap picture = test::samplePicture(side, 100, true);
        EXPECT_EQ(decode(test::pngImage(picture)).pixels, picture.pixels) << side;
    }
}

TEST(DecodeIconImage, PaletteIndexBeyondThePaletteIsBlack) {
    // Black (the masked corner) comes first in the palette; keep only it.
    Bytes dib = test::dibImage(test::samplePicture(8, 2), 4);
    ASSERT_EQ(test::dwordAt(dib, 32), 3u);
    test::setDword(dib, 32, 1);
    dib.erase(dib.begin() + 44, dib.begin() + 52);
    const Bitmap decoded = decode(dib);
    ASSERT_FALSE(decoded.empty());
    for (uint32_t pixel : decoded.pixels) EXPECT_EQ(pixel & 0xFFFFFF, 0u);
    EXPECT_EQ(decoded.at(7, 7), 0xFF000000u);
}

TEST(DecodeIconImage, BadHeadersAreRefused) {
    const Bytes good = test::dibImage(test::samplePicture(16, 10), 8);
    const test::FieldPatch cases[] = {
        {"core header", 0, 12, 4},
        {"header larger than the image", 0, 0x7FFFFFFF, 4},
        {"zero width", 4, 0, 4},
        {"negative width", 4, 0xFFFFFFF0, 4},
        {"huge width", 4, 0x7FFFFFFF, 4},
        {"wider than the data", 4, 1024, 4},
        {"height of one row", 8, 1, 4},
        {"negative height", 8, 0xFFFFFFE0, 4},
        {"huge height", 8, 0x40000000, 4},
        {"two planes", 12, 2, 2},
        {"16 bits", 14, 16, 2},
        {"no bits", 14, 0, 2},
        {"run-length", 16, 1, 4},
        {"bit fields", 16, 3, 4},
        {"more colours than 8 bits hold", 32, 257, 4},
        {"palette beyond the data", 32, 0, 4},  // 256 entries instead of 10
    };
    for (const test::FieldPatch& c : cases)
        EXPECT_TRUE(decode(test::patched(good, c)).empty()) << c.what;
    EXPECT_TRUE(decode(Bytes(good.begin(), good.end() - 1)).empty()) << "mask cut short";
    EXPECT_TRUE(decode(Bytes(good.begin(), good.begin() + 39)).empty()) << "header cut short";
    EXPECT_TRUE(decode(Bytes()).empty());
}

TEST(DecodeIconImage, BrokenPngsAreRefused) {
    const Bytes good = test::pngImage(test::samplePicture(32, 10, true));
    EXPECT_TRUE(decode(Bytes(good.begin(), good.begin() + good.size() / 2)).empty()) << "cut";
    Bytes badCrc = good;
    badCrc[40] ^= 0xFF;
    EXPECT_TRUE(decode(badCrc).empty()) << "damaged image data";
    // 12288 x 12288 declared in a few bytes, with a correct checksum.
    Bytes huge = test::pngImage(test::samplePicture(1, 1));
    for (std::size_t field : {16, 20}) {
        huge[field] = 0;
        huge[field + 1] = 0;
        huge[field + 2] = 0x30;
        huge[field + 3] = 0;
    }
    const uLong crc = crc32(0, huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    EXPECT_TRUE(decode(huge).empty()) << "beyond the icon limit";
}

}  // namespace
}  // namespace lanzhou
