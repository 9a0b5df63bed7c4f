#include "imgconv/codecs/tiff_reader.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imgconv/pixel_format.h"
#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::fixture;
using lanzhou::test::fnv1a;
using lanzhou::test::largestDifference;
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

enum : uint16_t { kShort = 3, kLong = 4 };

struct Tag {
    uint16_t tag, type;
    uint32_t count, value;
};

// A little-endian TIFF with one directory at offset 8 holding `tags`, and
// `data` right after the directory.
std::string tiffFile(const std::vector<Tag>& tags, const std::string& data) {
    std::string file = "II";
    putLe16(file, 42);
    putLe32(file, 8);
    putLe16(file, static_cast<uint32_t>(tags.size()));
    for (const Tag& t : tags) {
        putLe16(file, t.tag);
        putLe16(file, t.type);
        putLe32(file, t.count);
        putLe32(file, t.value);
    }
    putLe32(file, 0);
    return file + data;
}

uint32_t dataOffset(std::size_t tagCount) {
    return static_cast<uint32_t>(8 + 2 + 12 * tagCount + 4);
}

// An uncompressed 8-bit grey TIFF in one strip of `stripBytes` declared bytes,
// followed by `strip`, whatever its length.
std::string greyTiff(uint32_t width, uint32_t height, uint32_t stripBytes,
                     const std::string& strip) {
    const std::vector<Tag> tags = {
        {256, kLong, 1, width}, {257, kLong, 1, height}, {258, kShort, 1, 8},
        {259, kShort, 1, 1},    {262, kShort, 1, 1},     {273, kLong, 1, dataOffset(9)},
        {277, kShort, 1, 1},    {278, kLong, 1, height}, {279, kLong, 1, stripBytes},
    };
    return tiffFile(tags, strip);
}

// An uncompressed 8-bit RGB TIFF of the picture, in one strip.
std::string rgbTiff(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
    const uint32_t bitsAt = dataOffset(10);
    const std::vector<Tag> tags = {
        {256, kLong, 1, width},
        {257, kLong, 1, height},
        {258, kShort, 3, bitsAt},
        {259, kShort, 1, 1},
        {262, kShort, 1, 2},
        {273, kLong, 1, bitsAt + 6},
        {277, kShort, 1, 3},
        {278, kLong, 1, height},
        {279, kLong, 1, static_cast<uint32_t>(rgb.size())},
        {284, kShort, 1, 1},
    };
    std::string data;
    for (int i = 0; i < 3; ++i) putLe16(data, 8);
    return tiffFile(tags, data + std::string(rgb.begin(), rgb.end()));
}

// A 4 x 4 grey TIFF in two strips of two rows, the second far beyond the end.
std::string greyTiffMissingItsSecondStrip() {
    const uint32_t arrays = dataOffset(9);
    const std::vector<Tag> tags = {
        {256, kLong, 1, 4},  {257, kLong, 1, 4},  {258, kShort, 1, 8},
        {259, kShort, 1, 1}, {262, kShort, 1, 1}, {273, kLong, 2, arrays},
        {277, kShort, 1, 1}, {278, kLong, 1, 2},  {279, kLong, 2, arrays + 8},
    };
    std::string data;
    putLe32(data, arrays + 16);
    putLe32(data, 0x7FFFFFFF);
    putLe32(data, 8);
    putLe32(data, 8);
    return tiffFile(tags, data + std::string(8, '\x80'));
}

std::vector<uint8_t> gradient(int width, int height) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<uint8_t>(x * 40 + y));
            rgb.push_back(static_cast<uint8_t>(200 - y * 50));
            rgb.push_back(static_cast<uint8_t>(x * 7 + y * 13));
        }
    return rgb;
}

bool greyEverywhere(const PixelImage& image) {
    const unsigned char* p = image.pixels();
    for (std::size_t i = 0; i < image.storageSize(); i += 3)
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) return false;
    return true;
}

using TiffReaderTest = lanzhou::test::CodecTest;

TEST_F(TiffReaderTest, TestPhotoLoadsFromImageMagicksLayouts) {
    const Picture photo = testPhoto();
    ASSERT_EQ(photo.width, 227);
    const struct {
        const char* file;
        int largestDifference;
    } cases[] = {
        {"tiff/im-rgb-lzw.tiff", 0},
        {"tiff/im-rgb-tiled-deflate.tiff", 0},
        {"tiff/im-rgb-16bit.tiff", 0},
        // libtiff's plain CMYK to RGB turns ImageMagick's separation back
        // into nearly the photo.
        {"tiff/im-cmyk.tiff", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TiffReader reader;
        PixelImage image;
        ASSERT_EQ(reader.open(fixture(c.file).c_str(), image, nullptr), 1);
        EXPECT_EQ(reader.format(), TiffRgba);
        EXPECT_EQ(image.width(), 0) << "open only looks at the directory";
        ASSERT_EQ(reader.read(), 1);
        EXPECT_EQ(reader.format(), 0) << "read closes the reader";
        EXPECT_EQ(image.width(), photo.width);
        EXPECT_EQ(image.height(), photo.height);
        EXPECT_EQ(image.bitsPerPixel(), 24);
        EXPECT_LE(largestDifference(pixelsOf(image), photo.pixels), c.largestDifference);
    }
}

// libtiff's own test images: each loads at its size or fails cleanly in read.
TEST_F(TiffReaderTest, LibtiffsTestImagesLoadOrFailCleanly) {
    const struct {
        const char* file;
        Outcome outcome;
        int width, height;
        bool grey;
        uint64_t hash;  // of the pixels as ImageMagick decodes them; 0: not pinned
    } cases[] = {
        {"tiff/minisblack-1c-8b.tiff", Outcome::Loaded, 157, 151, true, 0xc9b908db012f9e4eull},
        {"tiff/minisblack-1c-16b.tiff", Outcome::Loaded, 157, 151, true, 0},
        {"tiff/minisblack-2c-8b-alpha.tiff", Outcome::Loaded, 64, 64, true, 0},
        {"tiff/miniswhite-1c-1b.tiff", Outcome::Loaded, 157, 151, true, 0},
        {"tiff/palette-1c-1b.tiff", Outcome::Loaded, 157, 151, false, 0},
        {"tiff/palette-1c-4b.tiff", Outcome::Loaded, 157, 151, false, 0},
        {"tiff/palette-1c-8b.tiff", Outcome::Loaded, 157, 151, false, 0},
        {"tiff/rgb-3c-8b.tiff", Outcome::Loaded, 157, 151, false, 0x0b299ee566860693ull},
        {"tiff/rgb-3c-16b.tiff", Outcome::Loaded, 157, 151, false, 0},
        {"tiff/32bpp-None.tiff", Outcome::Loaded, 162, 20, false, 0},
        {"tiff/32bpp-None-jpeg.tiff", Outcome::Loaded, 162, 20, false, 0},
        {"tiff/custom_dir_EXIF_GPS.tiff", Outcome::Loaded, 1, 1, false, 0},
        {"tiff/deflate-last-strip-extra-data.tiff", Outcome::Loaded, 500, 500, true, 0},
        {"tiff/logluv-3c-16b.tiff", Outcome::Loaded, 1, 1, false, 0},
        {"tiff/lzw-single-strip.tiff", Outcome::Loaded, 7795, 3122, false, 0},
        {"tiff/ojpeg_chewey_subsamp21_multi_strip.tiff", Outcome::Loaded, 392, 575, false, 0},
        {"tiff/ojpeg_single_strip_no_rowsperstrip.tiff", Outcome::Loaded, 234, 213, false, 0},
        {"tiff/ojpeg_zackthecat_subsamp22_single_strip.tiff", Outcome::Loaded, 234, 213, false, 0},
        {"tiff/quad-lzw-compat.tiff", Outcome::Loaded, 512, 384, false, 0},
        {"tiff/quad-tile.jpg.tiff", Outcome::Loaded, 512, 384, false, 0},
        {"tiff/testfax3_bug54_1dnoEOL.tif", Outcome::Loaded, 1728, 2320, true, 0},
        {"tiff/testfax3_bug_513.tiff", Outcome::Loaded, 32, 2, true, 0},
        {"tiff/testfax4.tiff", Outcome::Loaded, 2453, 3369, true, 0},
        {"tiff/webp_lossless_rgba_alpha_fully_opaque.tif", Outcome::Loaded, 20, 20, false, 0},
        // The first of several pages; and directories that loop back.
        {"tiff/tiff_with_subifd_chain.tif", Outcome::Loaded, 1024, 512, true,
         0x11095fe428222325ull},
        {"tiff/test_two_ifds.tif", Outcome::Loaded, 1, 1, true, 0},
        {"tiff/test_ifd_loop_to_first.tif", Outcome::Loaded, 1, 1, true, 0},
        {"tiff/test_ifd_loop_to_self.tif", Outcome::Loaded, 20, 20, true, 0},
        {"tiff/test_ifd_loop_subifd.tif", Outcome::Loaded, 1, 1, false, 0},
        // 64-bit floating-point samples have no RGBA form.
        {"tiff/test_float64_predictor2_be_lzw.tif", Outcome::ReadFailed, 0, 0, false, 0},
        {"tiff/test_float64_predictor2_le_lzw.tif", Outcome::ReadFailed, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TiffReader reader;
        PixelImage image;
        EXPECT_EQ(load(reader, fixture(c.file), image), c.outcome);
        EXPECT_EQ(temporaryFiles(), image.width() > 0 ? 1 : 0)
            << "only the image's own pixel file is left";
        if (c.outcome != Outcome::Loaded) continue;
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
        EXPECT_EQ(image.bitsPerPixel(), 24);
        if (c.grey) {
            EXPECT_TRUE(greyEverywhere(image));
        }
        if (c.hash != 0) {
            EXPECT_EQ(fnv1a(pixelsOf(image)), c.hash);
        }
    }
}

TEST_F(TiffReaderTest, RowsComeTopFirst) {
    for (int height : {1, 2, 3, 4}) {
        SCOPED_TRACE(height);
        const std::vector<uint8_t> picture = gradient(3, height);
        TiffReader reader;
        PixelImage image;
        ASSERT_EQ(load(reader, write("rgb", rgbTiff(3, height, picture)), image), Outcome::Loaded);
        EXPECT_TRUE(pixelsOf(image) == picture);
    }
}

// Files that declare nonsense or end too early: each is declined, fails to
// read or loads what is there; none makes anything of its claims.
TEST_F(TiffReaderTest, HostileFilesEndInACleanResult) {
    // The directory of this old-style JPEG file lies after its JPEG data.
    const std::string ojpeg =
        readFile(fixture("tiff/ojpeg_zackthecat_subsamp22_single_strip.tiff"));
    const std::size_t ojpegDirectory = 7084;
    std::string ojpegZeroed = ojpeg, ojpegFilled = ojpeg;
    ojpegZeroed.replace(8, ojpegDirectory - 8, ojpegDirectory - 8, '\0');
    ojpegFilled.replace(8, ojpegDirectory - 8, ojpegDirectory - 8, '\xFF');
    const std::string rgb = rgbTiff(3, 3, gradient(3, 3));
    std::string beyondEnd = greyTiff(4, 4, 16, std::string(16, '\x80'));
    beyondEnd.replace(8 + 2 + 12 * 5 + 8, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    const struct {
        const char* what;
        std::string bytes;
        Outcome outcome;
    } cases[] = {
        {"empty file", "", Outcome::Declined},
        {"header only", std::string("II*\0\x08\0\0\0", 8), Outcome::Declined},
        {"directory beyond the end", std::string("MM\0*\x7F\xFF\xFF\xF0", 8) + "padding",
         Outcome::Declined},
        {"0xFFFFFFFF x 0xFFFFFFFF in 200 bytes",
         greyTiff(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, std::string(200 - dataOffset(9), '\0')),
         Outcome::Declined},
        {"width 0", greyTiff(0, 4, 16, std::string(16, '\0')), Outcome::Declined},
        {"strip cut short", rgb.substr(0, rgb.size() - 10), Outcome::ReadFailed},
        {"strip beyond the end", beyondEnd, Outcome::ReadFailed},
        // Decoding goes on past a damaged strip once one strip has been read.
        {"second strip beyond the end", greyTiffMissingItsSecondStrip(), Outcome::Loaded},
        {"old-style JPEG cut before its directory", ojpeg.substr(0, ojpeg.size() / 2),
         Outcome::Declined},
        {"old-style JPEG data zeroed", ojpegZeroed, Outcome::Loaded},
        {"old-style JPEG data all 0xFF", ojpegFilled, Outcome::ReadFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TiffReader reader;
        PixelImage image;
        EXPECT_EQ(load(reader, write("hostile", c.bytes), image), c.outcome);
        EXPECT_EQ(temporaryFiles(), image.width() > 0 ? 1 : 0)
            << "only the image's own pixel file is left";
    }

    TiffReader reader;
    PixelImage image;
    ASSERT_EQ(load(reader, write("two strips", greyTiffMissingItsSecondStrip()), image),
              Outcome::Loaded);
    EXPECT_EQ(image.pixels()[0], 0x80) << "the strip that is there comes through";
    EXPECT_EQ(image.row(1)[11], 0x80);
}

TEST_F(TiffReaderTest, PicturesBeyondThePixelLimitAreDeclined) {
    // libtiff itself opens the larger one; the reader's limit declines it.
    const std::string atLimit = write("limit", greyTiff(16384, 16384, 268435456, ""));
    const std::string over = write("over", greyTiff(20000, 20000, 400000000, ""));
    TiffReader reader;
    PixelImage image;
    EXPECT_EQ(reader.open(atLimit.c_str(), image, nullptr), 1);
    reader.close();
    EXPECT_EQ(reader.open(over.c_str(), image, nullptr), 0);
    TIFF* handle = TIFFOpen(over.c_str(), "r");
    EXPECT_NE(handle, nullptr);
    if (handle != nullptr) TIFFClose(handle);
}

TEST_F(TiffReaderTest, ReportsProgressAfterEveryRowAndAtTheEnd) {
    TiffReader reader;
    PixelImage image;
    ProgressLog loaded;
    ASSERT_EQ(
        load(reader, write("rgb", rgbTiff(5, 3, gradient(5, 3))), image, ProgressLog::callback),
        Outcome::Loaded);
    const std::vector<ProgressCall> expected = {
        {1, 33, 0, 0}, {1, 66, 1, 0}, {1, 100, 2, 0}, {1, 100, 2, 0}};
    EXPECT_EQ(loaded.calls(), expected);

    // A failed read still ends at 100 percent.
    ProgressLog failed;
    ASSERT_EQ(load(reader, fixture("tiff/test_float64_predictor2_le_lzw.tif"), image,
                   ProgressLog::callback),
              Outcome::ReadFailed);
    EXPECT_EQ(failed.calls(), (std::vector<ProgressCall>{{1, 100, 19, 0}}));
}

TEST_F(TiffReaderTest, OtherFilesAreDeclinedWithoutAWord) {
    TiffReader reader;
    PixelImage image;
    testing::internal::CaptureStderr();
    for (const char* other : {"bmp/im-24bit-v3.bmp", "png/pngsuite/basn2c08.png",
                              "jpeg/testorig.jpg", "pcx/im-24bit.pcx", "jpeg/testorig.ppm"}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(load(reader, write("picture.tiff", readFile(fixture(other))), image),
                  Outcome::Declined);
    }
    EXPECT_EQ(load(reader, write("text.tif", "II* is no TIFF\n"), image), Outcome::Declined);
    EXPECT_EQ(load(reader, fixture("tiff/test_float64_predictor2_le_lzw.tif"), image),
              Outcome::ReadFailed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "libtiff must stay silent";

    // And a TIFF is found by its content whatever its name.
    for (const char* name : {"photo.bmp", "photo"}) {
        ASSERT_EQ(load(reader, write(name, readFile(fixture("tiff/im-rgb-lzw.tiff"))), image),
                  Outcome::Loaded);
        EXPECT_EQ(image.width(), 227);
    }
}

}  // namespace
}  // namespace imgconv
