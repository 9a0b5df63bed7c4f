#include "imgconv/codecs/pcd_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::fixture;
using lanzhou::test::Picture;
using lanzhou::test::ProgressCall;
using lanzhou::test::ProgressLog;
using lanzhou::test::readFile;
using lanzhou::test::testPhoto;

constexpr std::size_t kMinimumBytes = 1048576;
constexpr std::size_t kBase16Offset = 0x2000;

// A file of zeros with the image pack's signature at 0x800.
std::string imagePack(std::size_t size = kMinimumBytes) {
    std::string bytes(size, '\0');
    bytes.replace(0x800, 7, "PCD_IPI");
    return bytes;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::string pixel(const PixelImage& image, int x, int y) {
    return std::string(reinterpret_cast<const char*>(image.row(y)) + 3 * x, 3);
}

// Pearson correlation of one channel of the image with the photo scaled to
// the image's size by taking the nearest pixel.
double correlation(const PixelImage& image, const Picture& photo, int channel) {
    double sumA = 0, sumB = 0, sumAA = 0, sumBB = 0, sumAB = 0;
    const double n = static_cast<double>(image.width()) * image.height();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double a = image.row(y)[3 * x + channel];
            const double b = photo.pixel(x * photo.width / image.width(),
                                         y * photo.height / image.height())[channel];
            sumA += a;
            sumB += b;
            sumAA += a * a;
            sumBB += b * b;
            sumAB += a * b;
        }
    }
    const double covariance = sumAB - sumA * sumB / n;
    return covariance / std::sqrt((sumAA - sumA * sumA / n) * (sumBB - sumB * sumB / n));
}

using PcdReaderTest = lanzhou::test::CodecTest;

TEST_F(PcdReaderTest, LoadsEachResolutionOfTheImagePack) {
    const Picture photo = testPhoto();
    const int widths[] = {192, 384, 768};
    for (int resolution = 0; resolution < 3; ++resolution) {
        SCOPED_TRACE(resolution);
        PixelImage image;
        PcdReader reader;
        ASSERT_EQ(reader.open(fixture("pcd/im-base.pcd").c_str(), image, resolution, nullptr), 1);
        ASSERT_EQ(reader.read(), 1);
        EXPECT_EQ(image.width(), widths[resolution]);
        EXPECT_EQ(image.height(), widths[resolution] * 2 / 3);
        EXPECT_EQ(image.bitsPerPixel(), 24);
        EXPECT_EQ(image.paletteSize(), 0);
        // The writer's colour scale differs from ours (the picture comes out
        // brighter), so compare the shape of the picture, not its levels.
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_GT(correlation(image, photo, channel), 0.9) << "channel " << channel;
        EXPECT_EQ(temporaryFiles(), 1) << "the row buffers are gone, the image remains";
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcdReaderTest, ConvertsLumaAndSharedChroma) {
    struct Sample {
        unsigned char y, c1, c2;
        std::string rgb;
    };
    const std::vector<Sample> samples = {
        {100, 156, 137, "\x8D\x8D\x8D"},         // 141 grey
        {255, 255, 255, "\xFF\xF0\xFF"},         // 255, 240, 255
        {50, 0, 0, std::string("\0\xE0\0", 3)},  // 0, 224, 0
        {128, 200, 100, "\x83\xBC\xFF"},         // 131, 188, 255
        {0, 156, 137, std::string(3, '\0')},     // black
        {181, 156, 137, "\xFF\xFF\xFF"},         // already white
    };
    // The first row pair of the 192 x 128 image: sample k at pixels 2k and
    // 2k + 1 of both rows, with one chroma sample per two pixels. The second
    // pair is neutral grey.
    std::string pack = imagePack();
    const std::size_t width = 192;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        for (std::size_t row = 0; row < 2; ++row)
            pack[kBase16Offset + row * width + 2 * k] =
                pack[kBase16Offset + row * width + 2 * k + 1] = static_cast<char>(samples[k].y);
        pack[kBase16Offset + 2 * width + k] = static_cast<char>(samples[k].c1);
        pack[kBase16Offset + 2 * width + width / 2 + k] = static_cast<char>(samples[k].c2);
    }
    const std::size_t secondPair = kBase16Offset + 3 * width;
    pack.replace(secondPair, 2 * width, 2 * width, '\x64');
    pack.replace(secondPair + 2 * width, width / 2, width / 2, '\x9C');
    pack.replace(secondPair + 2 * width + width / 2, width / 2, width / 2, '\x89');
    const std::string path = write("samples.pcd", pack);

    PixelImage image;
    PcdReader reader;
    ASSERT_EQ(reader.open(path.c_str(), image, 0, nullptr), 1);
    ASSERT_EQ(reader.read(), 1);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        SCOPED_TRACE(k);
        const int x = static_cast<int>(2 * k);
        EXPECT_EQ(pixel(image, x, 0), samples[k].rgb);
        EXPECT_EQ(pixel(image, x + 1, 0), samples[k].rgb);
        EXPECT_EQ(pixel(image, x, 1), samples[k].rgb);
        EXPECT_EQ(pixel(image, x + 1, 1), samples[k].rgb);
    }
    EXPECT_EQ(pixel(image, 0, 2), "\x8D\x8D\x8D");
    EXPECT_EQ(pixel(image, 191, 3), "\x8D\x8D\x8D");
}

TEST_F(PcdReaderTest, AcceptsOnlyImagePacksOfAtLeastOneMebibyte) {
    std::string misplaced(kMinimumBytes, '\0');
    misplaced.replace(0x801, 7, "PCD_IPI");
    struct Case {
        const char* name;
        std::string bytes;
        int opens;
    };
    const std::vector<Case> cases = {
        {"an image pack of exactly 1,048,576 bytes", imagePack(), 1},
        {"an image pack of 1,048,575 bytes", imagePack(kMinimumBytes - 1), 0},
        {"the unpadded fixture", readFile(fixture("pcd/im-base-unpadded.pcd")), 0},
        {"1 MiB of zeros", std::string(kMinimumBytes, '\0'), 0},
        {"1 MiB of random bytes", randomBytes(kMinimumBytes), 0},
        {"2,000,000 random bytes", randomBytes(2000000), 0},
        {"the signature one byte late", misplaced, 0},
        {"a PCX file", readFile(fixture("pcx/im-24bit.pcx")), 0},
        {"an empty file", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = write("candidate.bin", c.bytes);
        PixelImage image;
        PcdReader reader;
        ASSERT_EQ(reader.open(path.c_str(), image, 2, nullptr), c.opens);
        EXPECT_EQ(reader.read(), c.opens);
        EXPECT_EQ(image.width(), c.opens == 1 ? 768 : 0);
    }
    PixelImage image;
    PcdReader reader;
    EXPECT_EQ(reader.open(dir_.path().c_str(), image, 2, nullptr), 0) << "a folder";
    EXPECT_EQ(reader.open(dir_.file("missing.pcd").c_str(), image, 2, nullptr), 0);
    EXPECT_EQ(reader.open(nullptr, image, 2, nullptr), 0);
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(PcdReaderTest, TakesTheLowEightBitsOfTheResolution) {
    PixelImage image;
    PcdReader reader;
    const std::string pack = fixture("pcd/im-base.pcd");
    EXPECT_EQ(reader.open(pack.c_str(), image, 3, nullptr), 0);
    EXPECT_EQ(reader.open(pack.c_str(), image, -1, nullptr), 0);
    ASSERT_EQ(reader.open(pack.c_str(), image, 0x101, nullptr), 1);
    ASSERT_EQ(reader.read(), 1);
    EXPECT_EQ(image.width(), 384);
}

TEST_F(PcdReaderTest, ReportsEveryRowPairAndOnceMoreAtTheEnd) {
    ProgressLog log;
    PixelImage image;
    PcdReader reader;
    ASSERT_EQ(reader.open(fixture("pcd/im-base.pcd").c_str(), image, 0, ProgressLog::callback), 1);
    ASSERT_EQ(reader.read(), 1);
    const std::vector<ProgressCall>& calls = log.calls();
    ASSERT_EQ(calls.size(), 65u);
    EXPECT_EQ(calls[0], (ProgressCall{1, 0, 0, 0}));
    EXPECT_EQ(calls[1], (ProgressCall{1, 2, 2, 0}));
    EXPECT_EQ(calls[63], (ProgressCall{1, 99, 126, 0}));
    EXPECT_EQ(calls[64], (ProgressCall{1, 100, 127, 0}));
}

TEST_F(PcdReaderTest, FailsCleanlyWhenTheDataComesUpShort) {
    const std::string path = write("shrinking.pcd", readFile(fixture("pcd/im-base.pcd")));
    ProgressLog log;
    PixelImage image;
    PcdReader reader;
    ASSERT_EQ(reader.open(path.c_str(), image, 2, ProgressLog::callback), 1);
    ASSERT_EQ(truncate(path.c_str(), 500000), 0) << "cut inside the 768 x 512 image";
    EXPECT_EQ(reader.read(), 0);
    ASSERT_FALSE(log.calls().empty());
    EXPECT_EQ(log.calls().back(), (ProgressCall{1, 100, 511, 0}));
    EXPECT_EQ(image.pixels(), nullptr) << "a failed read leaves the image empty";
    EXPECT_EQ(temporaryFiles(), 0);
    EXPECT_EQ(reader.read(), 0) << "read closed the reader";
    EXPECT_EQ(reader.close(), 1);
}

}  // namespace
}  // namespace imgconv
