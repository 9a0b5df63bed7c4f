#include "imgconv/codecs/bmp_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "imgconv/pixel_format.h"
#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::fixture;
using lanzhou::test::fnv1a;
using lanzhou::test::load;
using lanzhou::test::Outcome;
using lanzhou::test::Picture;
using lanzhou::test::pixelsOf;
using lanzhou::test::ProgressCall;
using lanzhou::test::ProgressLog;
using lanzhou::test::putLe16;
using lanzhou::test::putLe32;
using lanzhou::test::readFile;
using lanzhou::test::testPhoto;

// A small picture with a different value in every sample.
constexpr int kWidth = 5;
constexpr int kHeight = 3;

std::vector<uint8_t> smallPicture() {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            rgb.push_back(static_cast<uint8_t>(10 + x * 20 + y));
            rgb.push_back(static_cast<uint8_t>(100 + x + y * 30));
            rgb.push_back(static_cast<uint8_t>(250 - x * 7 - y * 3));
        }
    return rgb;
}

// The picture's rows as a bitmap stores them: blue, green, red, padded to
// four bytes with 0xEE, bottom row first unless `topDown`.
std::string bitmapRows(const std::vector<uint8_t>& rgb, int width, int height, bool topDown) {
    std::string rows;
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            row += static_cast<char>(pixel[2]);
            row += static_cast<char>(pixel[1]);
            row += static_cast<char>(pixel[0]);
        }
        while (row.size() % 4 != 0) row += '\xEE';
        rows += row;
    }
    return rows;
}

// A bitmap file: the file header, a header of `headerSize` bytes (12: the
// OS/2 core header with 16-bit sizes; otherwise an info header, zero past
// its compression field) and `rows` right after it.
std::string bitmapFile(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits,
                       uint32_t compression, const std::string& rows,
                       const char* signature = "BM") {
    std::string file(signature, 2);
    putLe32(file, static_cast<uint32_t>(14 + headerSize + rows.size()));
    putLe32(file, 0);
    putLe32(file, 14 + headerSize);
    putLe32(file, headerSize);
    if (headerSize == 12) {
        putLe16(file, static_cast<uint32_t>(width));
        putLe16(file, static_cast<uint32_t>(height));
        putLe16(file, 1);
        putLe16(file, bits);
    } else {
        putLe32(file, static_cast<uint32_t>(width));
        putLe32(file, static_cast<uint32_t>(height));
        putLe16(file, 1);
        putLe16(file, bits);
        putLe32(file, compression);
        file.resize(14 + headerSize, '\0');
    }
    return file + rows;
}

std::string smallBitmap(uint32_t headerSize = 40) {
    return bitmapFile(headerSize, kWidth, kHeight, 24, 0,
                      bitmapRows(smallPicture(), kWidth, kHeight, false));
}

std::string withLe32(std::string file, std::size_t offset, uint32_t value) {
    std::string field;
    putLe32(field, value);
    return file.replace(offset, 4, field);
}

using BmpReaderTest = lanzhou::test::CodecTest;

TEST_F(BmpReaderTest, TestPhotoLoadsFromEveryHeaderKind) {
    const Picture photo = testPhoto();
    ASSERT_EQ(photo.width, 227);
    const struct {
        const char* file;
        int format;
    } cases[] = {
        {"bmp/im-24bit-v2.bmp", Os2Bmp24},
        {"bmp/nb-24bit-os2.bmp", Os2Bmp24},
        {"bmp/im-24bit-v3.bmp", Bmp24},
        {"bmp/im-24bit-v5.bmp", Bmp24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        BmpReader reader;
        PixelImage image;
        ASSERT_EQ(reader.open(fixture(c.file).c_str(), image, nullptr), 1);
        EXPECT_EQ(reader.format(), c.format);
        EXPECT_EQ(image.width(), 0) << "open only looks at the headers";
        ASSERT_EQ(reader.read(), 1);
        EXPECT_EQ(reader.format(), 0) << "read closes the reader";
        EXPECT_EQ(image.width(), photo.width);
        EXPECT_EQ(image.height(), photo.height);
        EXPECT_EQ(image.bitsPerPixel(), 24);
        EXPECT_EQ(image.paletteSize(), 0);
        EXPECT_TRUE(pixelsOf(image) == photo.pixels) << "bottom-up rows become top-down";
    }
}

TEST_F(BmpReaderTest, RowPaddingIsSkipped) {
    // 5 x 4 pixels, one padding byte per row; values as ImageMagick decodes them.
    const std::vector<uint8_t> expected = {
        46, 45, 43, 45, 44, 42, 47, 43, 42, 46, 42, 41, 46, 42, 39,  //
        45, 44, 42, 45, 44, 42, 47, 43, 42, 46, 42, 41, 46, 42, 39,  //
        46, 45, 43, 45, 44, 42, 45, 44, 42, 45, 44, 42, 44, 43, 41,  //
        47, 46, 44, 46, 45, 43, 46, 45, 43, 46, 45, 43, 45, 44, 42,
    };
    BmpReader reader;
    PixelImage image;
    ASSERT_EQ(load(reader, fixture("bmp/im-24bit-w5.bmp"), image), Outcome::Loaded);
    EXPECT_EQ(image.width(), 5);
    EXPECT_EQ(image.height(), 4);
    EXPECT_TRUE(pixelsOf(image) == expected);

    // libjpeg-turbo's test bitmaps, pinned to ImageMagick's decoding of them.
    const struct {
        const char* file;
        int width, height;
        uint8_t topLeft[3];
        uint64_t hash;
    } others[] = {
        {"bmp/shira_bird8.bmp", 192, 144, {146, 134, 126}, 0x39aef1adf5b3cd96ull},
        {"bmp/vgl_6434_0018a.bmp", 119, 96, {0, 100, 133}, 0x058781e9cdf8ea3dull},
        {"bmp/vgl_6548_0026a.bmp", 128, 95, {255, 255, 255}, 0x02b1ccd33e096cfdull},
    };
    for (const auto& c : others) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(load(reader, fixture(c.file), image), Outcome::Loaded);
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
        EXPECT_EQ(image.pixels()[0], c.topLeft[0]);
        EXPECT_EQ(image.pixels()[1], c.topLeft[1]);
        EXPECT_EQ(image.pixels()[2], c.topLeft[2]);
        EXPECT_EQ(fnv1a(pixelsOf(image)), c.hash);
    }
}

TEST_F(BmpReaderTest, EveryStorageOfTheSamePictureLoadsAlike) {
    const std::vector<uint8_t> picture = smallPicture();
    const std::string bottomUp = bitmapRows(picture, kWidth, kHeight, false);
    const std::string topDown = bitmapRows(picture, kWidth, kHeight, true);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"info header, bottom-up", smallBitmap()},
        {"info header, top-down", bitmapFile(40, kWidth, -kHeight, 24, 0, topDown)},
        {"124-byte header", smallBitmap(124)},
        {"core header", smallBitmap(12)},
        {"bit fields at 24 bits: plain rows", bitmapFile(40, kWidth, kHeight, 24, 3, bottomUp)},
        {"signature BA", bitmapFile(40, kWidth, kHeight, 24, 0, bottomUp, "BA")},
        {"palette gap before the rows",
         withLe32(bitmapFile(40, kWidth, kHeight, 24, 0, std::string(16, '\x55') + bottomUp), 10,
                  14 + 40 + 16)},
    };
    PixelImage image;
    // Whatever the image held before is replaced.
    ASSERT_EQ(image.create(2, 2, 8, 4), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BmpReader reader;
        ASSERT_EQ(load(reader, write("small", c.bytes), image), Outcome::Loaded);
        EXPECT_EQ(image.width(), kWidth);
        EXPECT_EQ(image.height(), kHeight);
        EXPECT_EQ(image.bitsPerPixel(), 24);
        EXPECT_EQ(image.paletteSize(), 0);
        EXPECT_TRUE(pixelsOf(image) == picture);
    }
}

TEST_F(BmpReaderTest, OtherLayoutsAreDeclinedWithTheirClassification) {
    const std::string rows(64, '\0');
    const struct {
        const char* what;
        std::string path;
        int format;
    } cases[] = {
        {"8 bits with palette", fixture("bmp/im-8bit.bmp"), Bmp8},
        {"8-bit run-length", fixture("bmp/im-rle8.bmp"), BmpRle8},
        {"32 bits with bit fields", fixture("bmp/im-32bit.bmp"), Bmp32},
        {"1 bit", write("b1", bitmapFile(40, 4, 4, 1, 0, rows)), Bmp1},
        {"4 bits", write("b4", bitmapFile(40, 4, 4, 4, 0, rows)), Bmp4},
        {"16 bits", write("b16", bitmapFile(40, 4, 4, 16, 0, rows)), Bmp16},
        {"16 bits with bit fields", write("b16f", bitmapFile(40, 4, 4, 16, 3, rows)), Bmp16},
        {"4-bit run-length", write("r4", bitmapFile(40, 4, 4, 4, 2, rows)), BmpRle4},
        {"run-length claiming 24 bits", write("r24", bitmapFile(40, 4, 4, 24, 1, rows)), BmpRle8},
        {"core header, 1 bit", write("c1", bitmapFile(12, 4, 4, 1, 0, rows)), Os2Bmp1},
        {"core header, 4 bits", write("c4", bitmapFile(12, 4, 4, 4, 0, rows)), Os2Bmp4},
        {"core header, 8 bits", write("c8", bitmapFile(12, 4, 4, 8, 0, rows)), Os2Bmp8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BmpReader::classify(c.path.c_str()), c.format);
        BmpReader reader;
        PixelImage image;
        EXPECT_EQ(reader.open(c.path.c_str(), image, nullptr), 0);
        EXPECT_EQ(reader.format(), 0);
        EXPECT_EQ(reader.read(), 0) << "a declined reader reads nothing";
        EXPECT_EQ(image.width(), 0);
    }
    EXPECT_EQ(BmpReader::classify(fixture("bmp/im-24bit-v3.bmp").c_str()), Bmp24);
    EXPECT_EQ(BmpReader::classify(fixture("bmp/im-24bit-v2.bmp").c_str()), Os2Bmp24);
}

// Files that declare nonsense or end too early: each is declined or fails to
// read, reads nothing outside the file and makes nothing of its claims.
TEST_F(BmpReaderTest, HostileFilesEndInARefusalOrACleanFailure) {
    const std::string good = smallBitmap();
    const std::string oneRow(16, '\x40');
    const struct {
        const char* what;
        std::string bytes;
        Outcome outcome;
    } cases[] = {
        {"empty file", "", Outcome::Declined},
        {"signature MB", "MB" + good.substr(2), Outcome::Declined},
        {"cut at 14 bytes", good.substr(0, 14), Outcome::Declined},
        {"cut at 20 bytes", good.substr(0, 20), Outcome::Declined},
        {"cut at 53 bytes", good.substr(0, 53), Outcome::Declined},
        {"width 0x7FFFFFFF: stride beyond 32 bits", bitmapFile(40, 0x7FFFFFFF, 1, 24, 0, oneRow),
         Outcome::Declined},
        {"width * 3 wraps to 2", bitmapFile(40, 0x55555556, 1, 24, 0, oneRow), Outcome::Declined},
        {"negative width", bitmapFile(40, -5, 3, 24, 0, oneRow), Outcome::Declined},
        {"width 0", bitmapFile(40, 0, 3, 24, 0, oneRow), Outcome::Declined},
        {"height 0", bitmapFile(40, 5, 0, 24, 0, oneRow), Outcome::Declined},
        {"height INT_MIN", bitmapFile(40, 1, INT_MIN, 24, 0, oneRow), Outcome::Declined},
        {"core header, height 0", bitmapFile(12, 5, 0, 24, 0, oneRow), Outcome::Declined},
        {"compression 4", bitmapFile(40, 5, 3, 24, 4, oneRow), Outcome::Declined},
        {"compression 0xFFFFFFFF", bitmapFile(40, 5, 3, 24, 0xFFFFFFFF, oneRow), Outcome::Declined},
        {"12 bits per pixel", bitmapFile(40, 5, 3, 12, 0, oneRow), Outcome::Declined},
        {"core header, 16 bits", bitmapFile(12, 5, 3, 16, 0, oneRow), Outcome::Declined},
        {"pixel offset 17", withLe32(good, 10, 17), Outcome::Declined},
        {"pixel offset 0", withLe32(good, 10, 0), Outcome::Declined},
        {"pixel offset inside the info header", withLe32(good, 10, 14 + 20), Outcome::Declined},
        {"pixel offset inside the core header", withLe32(smallBitmap(12), 10, 14 + 8),
         Outcome::Declined},
        {"pixel offset beyond the end", withLe32(good, 10, static_cast<uint32_t>(good.size() + 1)),
         Outcome::Declined},
        {"pixel offset 0xFFFFFFFF", withLe32(good, 10, 0xFFFFFFFF), Outcome::Declined},
        {"header size 0xFFFFFFFF", withLe32(good, 14, 0xFFFFFFFF), Outcome::Declined},
        {"pixel offset at the very end", withLe32(good, 10, static_cast<uint32_t>(good.size())),
         Outcome::ReadFailed},
        {"rows cut in the middle", good.substr(0, 54 + 20), Outcome::ReadFailed},
        {"last row without its padding", good.substr(0, good.size() - 1), Outcome::ReadFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BmpReader reader;
        PixelImage image;
        EXPECT_EQ(load(reader, write("hostile", c.bytes), image), c.outcome);
        EXPECT_EQ(temporaryFiles(), 0);
    }
}

TEST_F(BmpReaderTest, PicturesBeyondThePixelLimitAreDeclined) {
    BmpReader reader;
    PixelImage image;
    // 16384 x 16384 is the largest picture accepted; its rows are missing, so
    // read fails at once, before an image of that size is made.
    ASSERT_EQ(reader.open(write("limit", bitmapFile(40, 16384, 16384, 24, 0, "")).c_str(), image,
                          nullptr),
              1);
    EXPECT_EQ(reader.read(), 0);
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(temporaryFiles(), 0);

    EXPECT_EQ(
        reader.open(write("over", bitmapFile(40, 16385, 16384, 24, 0, "")).c_str(), image, nullptr),
        0);
    EXPECT_EQ(reader.open(write("top-down", bitmapFile(40, 16384, -16385, 24, 0, "")).c_str(),
                          image, nullptr),
              0);
    EXPECT_EQ(
        reader.open(write("core", bitmapFile(12, 65535, 65535, 24, 0, "")).c_str(), image, nullptr),
        0);
}

TEST_F(BmpReaderTest, ReportsProgressAfterEveryRowAndAtTheEnd) {
    BmpReader reader;
    PixelImage image;
    ProgressLog loaded;
    ASSERT_EQ(load(reader, write("small", smallBitmap()), image, ProgressLog::callback),
              Outcome::Loaded);
    const std::vector<ProgressCall> expected = {
        {1, 33, 0, 0}, {1, 66, 1, 0}, {1, 100, 2, 0}, {1, 100, 2, 0}};
    EXPECT_EQ(loaded.calls(), expected);

    // A failed read still ends at 100 percent.
    ProgressLog failed;
    const std::string cut = smallBitmap().substr(0, 60);
    ASSERT_EQ(load(reader, write("cut", cut), image, ProgressLog::callback), Outcome::ReadFailed);
    EXPECT_EQ(failed.calls(), (std::vector<ProgressCall>{{1, 100, 2, 0}}));

    // A declined file reports nothing.
    ProgressLog declined;
    EXPECT_EQ(load(reader, fixture("bmp/im-8bit.bmp"), image, ProgressLog::callback),
              Outcome::Declined);
    EXPECT_TRUE(declined.calls().empty());
}

TEST_F(BmpReaderTest, AcceptanceIsByContentNeverByName) {
    const std::string bitmap = readFile(fixture("bmp/im-24bit-v3.bmp"));
    BmpReader reader;
    PixelImage image;
    for (const char* name : {"photo.png", "photo.tif", "photo"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(load(reader, write(name, bitmap), image), Outcome::Loaded);
        EXPECT_EQ(image.width(), 227);
    }
    for (const char* other : {"tiff/rgb-3c-8b.tiff", "png/pngsuite/basn2c08.png",
                              "jpeg/testorig.jpg", "pcx/im-24bit.pcx", "jpeg/testorig.ppm"}) {
        SCOPED_TRACE(other);
        const std::string renamed = write("picture.bmp", readFile(fixture(other)));
        EXPECT_EQ(load(reader, renamed, image), Outcome::Declined);
        EXPECT_EQ(BmpReader::classify(renamed.c_str()), 0);
    }
}

}  // namespace
}  // namespace imgconv
