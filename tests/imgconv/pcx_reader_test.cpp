#include "imgconv/codecs/pcx_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using namespace std::string_literals;
using lanzhou::test::fixture;
using lanzhou::test::load;
using lanzhou::test::Outcome;
using lanzhou::test::Picture;
using lanzhou::test::pixelsOf;
using lanzhou::test::ProgressCall;
using lanzhou::test::ProgressLog;
using lanzhou::test::readFile;
using lanzhou::test::testPhoto;

struct PcxHeader {
    uint8_t planes = 1;
    uint8_t bitsPerPlane = 8;
    uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    uint16_t bytesPerLine = 0;
    uint8_t version = 5;
    uint8_t encoding = 1;
};

void putWord(std::string& bytes, std::size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

std::string headerBytes(const PcxHeader& h) {
    std::string bytes(128, '\0');
    bytes[0] = 0x0A;
    bytes[1] = static_cast<char>(h.version);
    bytes[2] = static_cast<char>(h.encoding);
    bytes[3] = static_cast<char>(h.bitsPerPlane);
    putWord(bytes, 4, h.xMin);
    putWord(bytes, 6, h.yMin);
    putWord(bytes, 8, h.xMax);
    putWord(bytes, 10, h.yMax);
    bytes[65] = static_cast<char>(h.planes);
    putWord(bytes, 66, h.bytesPerLine);
    return bytes;
}

// Entry i is (i, 255 - i, i / 2).
std::string testPalette() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += {char(i), char(255 - i), char(i / 2)};
    return bytes;
}

// A 256-colour file: header, compressed data, the marker, the palette.
std::string indexedFile(const PcxHeader& h, const std::string& data) {
    return headerBytes(h) + data + "\x0C" + testPalette();
}

PcxHeader header(uint8_t planes, uint16_t width, uint16_t height, uint16_t bytesPerLine) {
    PcxHeader h;
    h.planes = planes;
    h.xMax = static_cast<uint16_t>(width - 1);
    h.yMax = static_cast<uint16_t>(height - 1);
    h.bytesPerLine = bytesPerLine;
    return h;
}

std::string row(const PixelImage& image, int y) {
    return std::string(reinterpret_cast<const char*>(image.row(y)),
                       static_cast<std::size_t>(image.rowStride()));
}

using PcxReaderTest = lanzhou::test::CodecTest;

TEST_F(PcxReaderTest, LoadsThreePlanesAsTheExactPhoto) {
    const Picture photo = testPhoto();
    ASSERT_EQ(photo.width, 227);
    PixelImage image;
    ASSERT_EQ(load<PcxReader>(fixture("pcx/im-24bit.pcx"), image), Outcome::Loaded);
    EXPECT_EQ(image.width(), 227);
    EXPECT_EQ(image.height(), 149);
    EXPECT_EQ(image.bitsPerPixel(), 24);
    EXPECT_EQ(image.paletteSize(), 0);
    EXPECT_TRUE(pixelsOf(image) == photo.pixels);
    EXPECT_EQ(temporaryFiles(), 1) << "only the image's own pixel file remains";
    image.release();
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcxReaderTest, LoadsPaletteFilesFromTwoWriters) {
    const Picture photo = testPhoto();
    for (const char* name : {"pcx/im-8bit.pcx", "pcx/nb-8bit.pcx"}) {
        SCOPED_TRACE(name);
        PixelImage image;
        ASSERT_EQ(load<PcxReader>(fixture(name), image), Outcome::Loaded);
        EXPECT_EQ(image.width(), 227);
        EXPECT_EQ(image.height(), 149);
        EXPECT_EQ(image.bitsPerPixel(), 8);
        ASSERT_EQ(image.paletteSize(), 256);

        const std::string file = readFile(fixture(name));
        const std::string palette = file.substr(file.size() - 768);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& entry = image.paletteEntries()[i];
            ASSERT_EQ(std::string({char(entry.red), char(entry.green), char(entry.blue)}),
                      palette.substr(3 * i, 3))
                << "entry " << i;
        }

        // Both writers reduced the photo to a palette, so compare loosely.
        long difference = 0;
        for (int y = 0; y < photo.height; ++y) {
            for (int x = 0; x < photo.width; ++x) {
                const PaletteEntry& entry = image.paletteEntries()[image.row(y)[x]];
                const uint8_t* expected = photo.pixel(x, y);
                difference += std::abs(entry.red - expected[0]) +
                              std::abs(entry.green - expected[1]) +
                              std::abs(entry.blue - expected[2]);
            }
        }
        EXPECT_LT(difference / (3.0 * photo.width * photo.height), 8.0);
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcxReaderTest, DeclinesSixteenColourAndMonochromeFiles) {
    for (const char* name : {"pcx/nb-16colour.pcx", "pcx/nb-mono.pcx"}) {
        SCOPED_TRACE(name);
        PixelImage image;
        PcxReader reader;
        EXPECT_EQ(reader.open(fixture(name).c_str(), image, nullptr), 0);
        EXPECT_EQ(reader.read(), 0) << "a declined reader is closed";
        EXPECT_EQ(image.width(), 0);
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcxReaderTest, AcceptsByContentNotByName) {
    const std::string disguised = write("photo.jpg", readFile(fixture("pcx/im-24bit.pcx")));
    PixelImage image;
    EXPECT_EQ(load<PcxReader>(disguised, image), Outcome::Loaded);

    const std::string notPcx = write("photo.pcx", readFile(fixture("jpeg/testorig.ppm")));
    PcxReader reader;
    EXPECT_EQ(reader.open(notPcx.c_str(), image, nullptr), 0);
    EXPECT_EQ(reader.open(fixture("pcd/im-base.pcd").c_str(), image, nullptr), 0);
    EXPECT_EQ(reader.open(dir_.path().c_str(), image, nullptr), 0) << "a folder";
    EXPECT_EQ(reader.open(dir_.file("missing.pcx").c_str(), image, nullptr), 0);
    EXPECT_EQ(reader.open(nullptr, image, nullptr), 0);
}

TEST_F(PcxReaderTest, CutsRunsAtTheLineEndAndIgnoresVersionAndEncoding) {
    // Lines of 4 bytes for 3 pixels: the fourth byte of each is not shown.
    const std::string data =
        "\xC5\x07"                      // a run of 5: 4 fit, the fifth is dropped
        "\xC0\x55\x01\x02\xC1\xC3\x09"  // an empty run, literals, a run of one 0xC3
        "\x04\x05\x06\xC2\x08";         // a run crossing the end of the last line
    PcxHeader usual = header(1, 3, 3, 4);
    PcxHeader unusual = usual;
    unusual.version = 0xFF;
    unusual.encoding = 0;
    for (const PcxHeader& h : {usual, unusual}) {
        SCOPED_TRACE(int(h.version));
        PixelImage image;
        ASSERT_EQ(load<PcxReader>(write("runs.pcx", indexedFile(h, data)), image), Outcome::Loaded);
        ASSERT_EQ(image.width(), 3);
        ASSERT_EQ(image.height(), 3);
        EXPECT_EQ(row(image, 0), "\x07\x07\x07");
        EXPECT_EQ(row(image, 1), "\x01\x02\xC3");
        EXPECT_EQ(row(image, 2), "\x04\x05\x06");
        EXPECT_EQ(image.paletteEntries()[200].green, 55);
    }
}

TEST_F(PcxReaderTest, TakesPlanesAsRedGreenBlue) {
    // 2 x 2 pixels, 3 bytes per plane (one padding byte each).
    const std::string data =
        "\x10\x11\x00\x20\x21\x00\x30\x31\x00"
        "\x12\x13\x00\x22\x23\x00\x32\x33\x00"s;
    PixelImage image;
    ASSERT_EQ(load<PcxReader>(write("planes.pcx", headerBytes(header(3, 2, 2, 3)) + data), image),
              Outcome::Loaded);
    ASSERT_EQ(image.bitsPerPixel(), 24);
    EXPECT_EQ(row(image, 0), "\x10\x20\x30\x11\x21\x31");
    EXPECT_EQ(row(image, 1), "\x12\x22\x32\x13\x23\x33");
}

TEST_F(PcxReaderTest, ReportsEveryRowAndOnceMoreAtTheEnd) {
    const std::string lines = "\x01\x02\x03\x04\x05\x06\x07\x08\x09";
    const std::string three = write("three.pcx", indexedFile(header(1, 3, 3, 3), lines));
    PixelImage image;
    ProgressLog loaded;
    ASSERT_EQ(load<PcxReader>(three, image, ProgressLog::callback), Outcome::Loaded);
    const std::vector<ProgressCall> done = {
        {1, 33, 0, 0}, {1, 66, 1, 0}, {1, 100, 2, 0}, {1, 100, 2, 0}};
    EXPECT_EQ(loaded.calls(), done);

    // Five bytes of data before the palette: the second line ends early.
    const std::string cut =
        write("cut.pcx", headerBytes(header(1, 3, 3, 3)) + lines.substr(0, 5) + testPalette());
    ProgressLog failed;
    EXPECT_EQ(load<PcxReader>(cut, image, ProgressLog::callback), Outcome::ReadFailed);
    const std::vector<ProgressCall> ended = {{1, 33, 0, 0}, {1, 100, 2, 0}};
    EXPECT_EQ(failed.calls(), ended);
    EXPECT_EQ(image.width(), 0) << "a failed read leaves the image empty";
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcxReaderTest, RefusesPicturesAboveThePixelLimit) {
    PixelImage image;
    PcxReader reader;
    const std::string limit = write("limit.pcx", headerBytes(header(3, 16384, 16384, 16384)));
    EXPECT_EQ(reader.open(limit.c_str(), image, nullptr), 1);
    EXPECT_EQ(reader.close(), 1);
    const std::string over = write("over.pcx", headerBytes(header(3, 16384, 16385, 16384)));
    EXPECT_EQ(reader.open(over.c_str(), image, nullptr), 0);
    EXPECT_EQ(temporaryFiles(), 0);
}

struct HostileCase {
    const char* name;
    std::string bytes;
    int opens;
    int reads;
};

std::vector<HostileCase> hostileCases() {
    PcxHeader backwardsX = header(3, 10, 10, 10);
    backwardsX.xMin = 20;
    backwardsX.xMax = 5;
    PcxHeader backwardsY = header(1, 10, 10, 10);
    backwardsY.yMin = 9;
    backwardsY.yMax = 0;
    PcxHeader backwardsBoth = backwardsX;
    backwardsBoth.yMin = 20;
    backwardsBoth.yMax = 5;
    PcxHeader widest = header(3, 1, 1, 0xFFFF);
    widest.xMax = widest.yMax = 0xFFFF;
    PcxHeader oneHigh = header(3, 10, 1, 10);
    PcxHeader oneWide = header(3, 1, 10, 10);
    PcxHeader oneByTwentyFour = header(1, 50, 2, 10);
    oneByTwentyFour.bitsPerPlane = 24;
    PcxHeader twentyFourByOne = header(24, 50, 2, 1);
    twentyFourByOne.bitsPerPlane = 1;
    PcxHeader eightByOne = header(8, 50, 2, 1);
    eightByOne.bitsPerPlane = 1;
    std::string notPcx = headerBytes(header(3, 2, 2, 2)) + std::string(12, '\x01');
    notPcx[0] = 0x0B;
    const std::string fixture24 = readFile(fixture("pcx/im-24bit.pcx"));

    return {
        {"an empty file", "", 0, 0},
        {"a header cut at 127 bytes", headerBytes(header(3, 2, 2, 2)).substr(0, 127), 0, 0},
        {"a first byte other than 0x0A", notPcx, 0, 0},
        {"one pixel wide", headerBytes(oneWide) + std::string(600, '\x01'), 0, 0},
        {"one pixel high", headerBytes(oneHigh) + std::string(600, '\x01'), 0, 0},
        {"0xFFFF x 0xFFFF extents", headerBytes(widest) + "\xFF\x01", 0, 0},
        {"xmax below xmin", headerBytes(backwardsX) + std::string(600, '\x01'), 1, 0},
        {"ymax below ymin", indexedFile(backwardsY, std::string(600, '\x01')), 1, 0},
        {"both extents backwards", headerBytes(backwardsBoth) + std::string(600, '\x01'), 1, 0},
        {"a header and no data", headerBytes(header(3, 2, 2, 2)), 1, 0},
        {"bytes per line 0", headerBytes(header(3, 4, 2, 0)) + "\x01\x02", 1, 1},
        {"bytes per line 0, palette", indexedFile(header(1, 4, 2, 0), ""), 1, 1},
        {"bytes per line below the width",
         headerBytes(header(3, 300, 2, 2)) + std::string(12, '\x33'), 1, 1},
        {"bytes per line below the width, palette", indexedFile(header(1, 300, 2, 1), "\x05\x06"),
         1, 1},
        {"one plane of 24 bits", headerBytes(oneByTwentyFour) + std::string(20, '\x44'), 1, 1},
        {"24 planes of 1 bit", headerBytes(twentyFourByOne) + std::string(48, '\x44'), 1, 1},
        {"8 planes of 1 bit", indexedFile(eightByOne, std::string(16, '\x44')), 1, 1},
        {"a run crossing the line end at the last byte",
         headerBytes(header(3, 2, 2, 2)) + "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\xC9\x0B", 1,
         1},
        {"a count byte at the end of the file",
         headerBytes(header(3, 2, 2, 2)) + "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\xC2", 1, 0},
        {"data ending before the last line",
         headerBytes(header(3, 2, 2, 2)) + "\x01\x02\x03\x04\x05\x06\x07", 1, 0},
        {"a 256-colour file of 896 bytes",
         (headerBytes(header(1, 2, 2, 2)) + testPalette()).substr(0, 895) + "\x01", 1, 0},
        {"a 256-colour file of 500 bytes", headerBytes(header(1, 2, 2, 2)) + std::string(372, 'a'),
         1, 0},
        {"a fixture cut in half", fixture24.substr(0, fixture24.size() / 2), 1, 0},
    };
}

TEST_F(PcxReaderTest, AnswersHostileFilesWithoutLeavingFiles) {
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = write("hostile.pcx", c.bytes);
        PixelImage image;
        PcxReader reader;
        ASSERT_EQ(reader.open(path.c_str(), image, nullptr), c.opens);
        if (c.opens == 1) {
            EXPECT_EQ(reader.read(), c.reads);
        }
        if (c.reads == 1) {
            EXPECT_GE(image.width(), 2);
            EXPECT_EQ(temporaryFiles(), 1) << "only the image's own pixel file";
        } else {
            EXPECT_EQ(image.pixels(), nullptr);
            EXPECT_EQ(temporaryFiles(), 0);
        }
        image.release();
        EXPECT_EQ(temporaryFiles(), 0);
    }
}

}  // namespace
}  // namespace imgconv
