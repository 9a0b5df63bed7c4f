#include "imgconv/codecs/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::decodeJpeg;
using lanzhou::test::encodeJpeg;
using lanzhou::test::fillPattern;
using lanzhou::test::fixture;
using lanzhou::test::listFolder;
using lanzhou::test::load;
using lanzhou::test::longScanScript;
using lanzhou::test::Outcome;
using lanzhou::test::Picture;
using lanzhou::test::pixelsOf;
using lanzhou::test::ProgressCall;
using lanzhou::test::ProgressLog;
using lanzhou::test::readFile;
using lanzhou::test::rowCalls;
using lanzhou::test::ScopedEnv;
using lanzhou::test::testPhoto;

using JpegCodecTest = lanzhou::test::CodecTest;

double meanDifference(const uint8_t* a, const uint8_t* b, std::size_t count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / count;
}

TEST_F(JpegCodecTest, ReadsOneAndThreeComponentFilesAndDeclinesTheRest) {
    struct Case {
        const char* file;
        Outcome outcome;
        int32_t width, height, bits;
    } cases[] = {
        {"jpeg/testorig.jpg", Outcome::Loaded, 227, 149, 24},
        {"jpeg/testimgint.jpg", Outcome::Loaded, 227, 149, 24},
        {"jpeg/testimgari.jpg", Outcome::Loaded, 227, 149, 24},
        {"jpeg/im-progressive.jpg", Outcome::Loaded, 227, 149, 24},
        {"jpeg/im-grey.jpg", Outcome::Loaded, 227, 149, 8},
        {"jpeg/im-cmyk.jpg", Outcome::Declined, 0, 0, 0},
        {"jpeg/monkey12.jpg", Outcome::Declined, 0, 0, 0},
        {"jpeg/testorig.ppm", Outcome::Declined, 0, 0, 0},
        {"png/pngsuite/basn2c08.png", Outcome::Declined, 0, 0, 0},
        {"bmp/im-24bit-v3.bmp", Outcome::Declined, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PixelImage image;
        EXPECT_EQ(load<JpegCodec>(fixture(c.file), image), c.outcome) << c.file;
        EXPECT_EQ(image.width(), c.width) << c.file;
        EXPECT_EQ(image.height(), c.height) << c.file;
        EXPECT_EQ(image.bitsPerPixel(), c.bits) << c.file;
        EXPECT_EQ(image.paletteSize(), 0) << c.file;
    }
}

TEST_F(JpegCodecTest, ColourFilesDecodeToTheTestPhotoInRedGreenBlueOrder) {
    const std::vector<uint8_t> photo = testPhoto().pixels;
    ASSERT_EQ(photo.size(), 227u * 149u * 3u);
    for (const char* file : {"jpeg/testorig.jpg", "jpeg/testimgint.jpg", "jpeg/testimgari.jpg",
                             "jpeg/im-progressive.jpg"}) {
        PixelImage image;
        ASSERT_EQ(load<JpegCodec>(fixture(file), image), Outcome::Loaded) << file;
        ASSERT_EQ(image.storageSize(), photo.size());
        EXPECT_LT(meanDifference(image.pixels(), photo.data(), photo.size()), 4.0) << file;
        // Each channel on its own: swapped channels would differ greatly.
        for (int channel = 0; channel < 3; ++channel) {
            double sum = 0;
            for (std::size_t i = channel; i < photo.size(); i += 3)
                sum += std::abs(int(image.pixels()[i]) - int(photo[i]));
            EXPECT_LT(sum / (photo.size() / 3), 5.0) << file << " channel " << channel;
        }
    }
}

TEST_F(JpegCodecTest, GreyFileDecodesToTheGreyLevelsOfThePhoto) {
    const std::vector<uint8_t> photo = testPhoto().pixels;
    PixelImage image;
    ASSERT_EQ(load<JpegCodec>(fixture("jpeg/im-grey.jpg"), image), Outcome::Loaded);
    std::vector<uint8_t> grey(photo.size() / 3);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<uint8_t>(
            (306 * photo[3 * i] + 601 * photo[3 * i + 1] + 117 * photo[3 * i + 2]) >> 10);
    // ImageMagick weighs the channels a little differently.
    EXPECT_LT(meanDifference(image.pixels(), grey.data(), grey.size()), 8.0);
}

TEST_F(JpegCodecTest, ReadReportsEveryRowAndOnceMoreAtTheEnd) {
    const std::string path = write("four.jpg", encodeJpeg(8, 4, 1, std::vector<uint8_t>(32, 128)));
    ProgressLog log;
    PixelImage image;
    JpegCodec codec;
    ASSERT_EQ(codec.open(path.c_str(), image, ProgressLog::callback), 1);
    EXPECT_TRUE(log.calls().empty()) << "open reports nothing";
    ASSERT_EQ(codec.read(), 1);
    EXPECT_EQ(log.calls(), rowCalls(1, 4, 1));
}

TEST_F(JpegCodecTest, FailedReadStillReportsTheEnd) {
    const std::string path = write("four.jpg", encodeJpeg(8, 4, 1, std::vector<uint8_t>(32, 128)));
    ProgressLog log;
    PixelImage image;
    JpegCodec codec;
    ASSERT_EQ(codec.open(path.c_str(), image, ProgressLog::callback), 1);
    {
        ScopedEnv noTemporaryFolder("TMPDIR", "/nonexistent-folder");
        EXPECT_EQ(codec.read(), 0) << "the image cannot be created";
    }
    EXPECT_EQ(log.calls(), (std::vector<ProgressCall>{{1, 100, 3, 0}}));
    EXPECT_EQ(codec.read(), 0) << "a failed read closes the codec";
}

// A small JPEG whose frame header claims another size: the size fields of
// the SOF0 marker are patched.
std::string withDeclaredSize(uint16_t width, uint16_t height) {
    std::string bytes = encodeJpeg(16, 16, 1, std::vector<uint8_t>(256, 90));
    const std::size_t sof = bytes.find("\xFF\xC0");
    if (sof == std::string::npos) return {};
    bytes[sof + 5] = static_cast<char>(height >> 8);
    bytes[sof + 6] = static_cast<char>(height & 0xFF);
    bytes[sof + 7] = static_cast<char>(width >> 8);
    bytes[sof + 8] = static_cast<char>(width & 0xFF);
    return bytes;
}

TEST_F(JpegCodecTest, MalformedFilesAreDeclinedOrReadCleanly) {
    const std::string photo = readFile(fixture("jpeg/testorig.jpg"));
    struct Case {
        const char* name;
        std::string bytes;
        int result;
    } cases[] = {
        {"empty", "", 0},
        {"one byte", "\xFF", 0},
        {"only the marker", "\xFF\xD8", 0},
        {"marker then text", "\xFF\xD8 this is a text file, not a picture\n", 0},
        {"header cut short", photo.substr(0, 300), 0},
        // libjpeg only warns about missing image data and fills it in.
        {"cut inside the scan", photo.substr(0, photo.size() * 6 / 10), 1},
        {"16384 x 16384", withDeclaredSize(16384, 16384), 2},
        {"16384 x 16385", withDeclaredSize(16384, 16385), 0},
        {"65500 x 65500", withDeclaredSize(65500, 65500), 0},
        {"0 x 16", withDeclaredSize(0, 16), 0},
    };
    for (const Case& c : cases) {
        const std::string path = write("case.jpg", c.bytes);
        PixelImage image;
        JpegCodec codec;
        const int opened = codec.open(path.c_str(), image, nullptr);
        if (c.result == 2) {
            // Within the limit: accepted, but not decoded here.
            EXPECT_EQ(opened, 1) << c.name;
            continue;
        }
        EXPECT_EQ(opened, c.result) << c.name;
        if (opened == 1) {
            EXPECT_EQ(codec.read(), 1) << c.name;
        }
        EXPECT_EQ(temporaryFiles(), opened) << c.name;
    }
    PixelImage image;
    EXPECT_EQ(load<JpegCodec>(dir_.file("missing.jpg"), image), Outcome::Declined);
    EXPECT_EQ(load<JpegCodec>(dir_.path(), image), Outcome::Declined) << "a folder";
}

TEST_F(JpegCodecTest, FilesOfMoreThanFiveHundredScansAreDeclined) {
    std::vector<uint8_t> pixels(16 * 16);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    for (int scans : {64, 500, 501, 694}) {
        const std::string bytes = encodeJpeg(16, 16, 1, pixels, longScanScript(scans));
        ASSERT_FALSE(bytes.empty()) << scans;
        const std::string path = write("scans.jpg", bytes);
        ASSERT_TRUE(decodeJpeg(path).progressive);
        PixelImage image;
        EXPECT_EQ(load<JpegCodec>(path, image), scans <= 500 ? Outcome::Loaded : Outcome::Declined)
            << scans << " scans";
    }
}

// Writing -----------------------------------------------------------------

class JpegWriterTest : public JpegCodecTest {
  protected:
    std::string writeJpeg(const PixelImage& image, int quality = 90, int colour = 1,
                          int optimise = 1, int smoothing = 0) {
        const std::string path = output(std::to_string(count_++) + ".jpg");
        JpegCodec codec;
        EXPECT_EQ(codec.write(path.c_str(), image, quality, colour, optimise, smoothing, nullptr),
                  1);
        return path;
    }
    int count_ = 0;
};

TEST_F(JpegWriterTest, ColourRoundTrip) {
    PixelImage image;
    fillPattern(image, 40, 30, 24);
    const Picture decoded = decodeJpeg(writeJpeg(image, 100));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.width, 40);
    EXPECT_EQ(decoded.height, 30);
    EXPECT_EQ(decoded.components, 3);
    EXPECT_FALSE(decoded.progressive);
    EXPECT_LT(meanDifference(decoded.pixels.data(), image.pixels(), image.storageSize()), 2.0);
}

TEST_F(JpegWriterTest, OtherDepthsAreConvertedFirst) {
    // The same picture as 24 bits: 32 bits loses its alpha, 16 bits its low
    // colour bits, so the files are byte for byte those of the 24-bit image.
    PixelImage argb, rgb;
    fillPattern(argb, 24, 16, 32);
    ASSERT_EQ(argb.convertTo(rgb, 24, 0), 1);
    EXPECT_EQ(readFile(writeJpeg(argb)), readFile(writeJpeg(rgb)));

    PixelImage rgb16, expanded;
    fillPattern(rgb16, 24, 16, 16);
    ASSERT_EQ(rgb16.convertTo(expanded, 24, 0), 1);
    EXPECT_EQ(readFile(writeJpeg(rgb16)), readFile(writeJpeg(expanded)));

    PixelImage grey;
    fillPattern(grey, 24, 16, 8);
    const Picture fromGrey = decodeJpeg(writeJpeg(grey));
    EXPECT_EQ(fromGrey.components, 3) << "colour output of a grey image";
}

TEST_F(JpegWriterTest, GreyOutputOfIndexedImagesUsesThePaletteGreyLevels) {
    PixelImage indexed;
    fillPattern(indexed, 24, 16, 8, 7);
    PixelImage levels;  // the grey level of each pixel's palette colour
    ASSERT_EQ(levels.create(24, 16, 8, 0), 1);
    PixelImage indices;  // the index bytes taken as grey
    ASSERT_EQ(indices.create(24, 16, 8, 0), 1);
    for (std::size_t i = 0; i < indexed.storageSize(); ++i) {
        const PaletteEntry& entry = indexed.paletteEntries()[indexed.pixels()[i]];
        levels.pixels()[i] =
            static_cast<uint8_t>((306 * entry.red + 601 * entry.green + 117 * entry.blue) >> 10);
        indices.pixels()[i] = indexed.pixels()[i];
    }
    const std::string fromIndexed = readFile(writeJpeg(indexed, 90, 0));
    EXPECT_EQ(fromIndexed, readFile(writeJpeg(levels, 90, 0)));
    EXPECT_NE(fromIndexed, readFile(writeJpeg(indices, 90, 0)));
    EXPECT_EQ(decodeJpeg(writeJpeg(indexed, 90, 0)).components, 1);
}

TEST_F(JpegWriterTest, OnlyColourOneMakesAColourFile) {
    PixelImage image;
    fillPattern(image, 16, 16, 24);
    EXPECT_EQ(decodeJpeg(writeJpeg(image, 90, 1)).components, 3);
    EXPECT_EQ(decodeJpeg(writeJpeg(image, 90, 0)).components, 1);
    EXPECT_EQ(decodeJpeg(writeJpeg(image, 90, 2)).components, 1);
}

TEST_F(JpegWriterTest, QualityOptimiseAndSmoothingChangeTheFile) {
    PixelImage image;
    fillPattern(image, 64, 64, 24);
    std::srand(7);
    for (std::size_t i = 0; i < image.storageSize(); i += 5)
        image.pixels()[i] = static_cast<uint8_t>(std::rand());
    const std::size_t bytes = image.storageSize();

    const std::string low = writeJpeg(image, 10);
    const std::string high = writeJpeg(image, 95);
    EXPECT_LT(readFile(low).size(), readFile(high).size());
    EXPECT_GT(meanDifference(decodeJpeg(low).pixels.data(), image.pixels(), bytes),
              meanDifference(decodeJpeg(high).pixels.data(), image.pixels(), bytes));

    // Optimised tables make a smaller file of the very same pixels.
    const std::string plain = writeJpeg(image, 75, 1, 0);
    const std::string optimised = writeJpeg(image, 75, 1, 1);
    EXPECT_LT(readFile(optimised).size(), readFile(plain).size());
    EXPECT_EQ(decodeJpeg(optimised).pixels, decodeJpeg(plain).pixels);

    const std::string smoothed = writeJpeg(image, 75, 1, 1, 100);
    EXPECT_NE(decodeJpeg(smoothed).pixels, decodeJpeg(optimised).pixels);
}

TEST_F(JpegWriterTest, BadArgumentsTouchNoFile) {
    PixelImage image, empty;
    fillPattern(image, 8, 8, 24);
    struct Case {
        const PixelImage* image;
        int quality, smoothing;
    } cases[] = {
        {&image, 0, 0}, {&image, 101, 0}, {&image, 75, -1}, {&image, 75, 101}, {&empty, 75, 0}};
    ProgressLog log;
    for (const Case& c : cases) {
        JpegCodec codec;
        EXPECT_EQ(codec.write(output("bad.jpg").c_str(), *c.image, c.quality, 1, 1, c.smoothing,
                              ProgressLog::callback),
                  0)
            << c.quality << " " << c.smoothing;
    }
    JpegCodec codec;
    EXPECT_EQ(codec.write(nullptr, image, 75, 1, 1, 0, nullptr), 0);
    EXPECT_TRUE(listFolder(out_).empty());
    EXPECT_TRUE(log.calls().empty());
    // The limits themselves are accepted.
    writeJpeg(image, 1, 1, 1, 0);
    writeJpeg(image, 100, 1, 1, 100);
}

TEST_F(JpegWriterTest, WriteReportsEveryRowAndOnceMoreAtTheEnd) {
    PixelImage image;
    fillPattern(image, 8, 4, 32);  // converted first: the conversion reports nothing
    ProgressLog log;
    JpegCodec codec;
    ASSERT_EQ(codec.write(output("four.jpg").c_str(), image, 75, 1, 1, 0, ProgressLog::callback),
              1);
    EXPECT_EQ(log.calls(), rowCalls(0, 4, 1));
}

TEST_F(JpegWriterTest, TargetThatCannotBeCreatedFails) {
    PixelImage image;
    fillPattern(image, 8, 4, 24);
    ProgressLog log;
    JpegCodec codec;
    EXPECT_EQ(codec.write(output("no/such/folder/out.jpg").c_str(), image, 75, 1, 1, 0,
                          ProgressLog::callback),
              0);
    EXPECT_EQ(log.calls(), (std::vector<ProgressCall>{{0, 100, 3, 0}}));
    EXPECT_TRUE(listFolder(out_).empty());
}

TEST_F(JpegWriterTest, WhatWeWriteWeReadBack) {
    PixelImage image;
    fillPattern(image, 33, 17, 24);
    const std::string path = writeJpeg(image, 100);
    PixelImage loaded;
    ASSERT_EQ(load<JpegCodec>(path, loaded), Outcome::Loaded);
    EXPECT_EQ(loaded.bitsPerPixel(), 24);
    EXPECT_EQ(pixelsOf(loaded), decodeJpeg(path).pixels);
}

}  // namespace
}  // namespace imgconv
