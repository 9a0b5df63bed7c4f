// What every reader does alike: declining what it cannot open, closing at
// any time, holding nothing from one file to the next.
#include <gtest/gtest.h>

#include <string>

#include "imgconv/codecs/bmp_reader.h"
#include "imgconv/codecs/jpeg_codec.h"
#include "imgconv/codecs/pcx_reader.h"
#include "imgconv/codecs/png_codec.h"
#include "imgconv/codecs/tiff_reader.h"
#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::countEntries;
using lanzhou::test::fixture;
using lanzhou::test::load;
using lanzhou::test::Outcome;
using lanzhou::test::pixelsOf;

// A small file each reader accepts, and its width.
template <typename Reader>
struct Sample;
template <>
struct Sample<BmpReader> {
    static constexpr const char* file = "bmp/im-24bit-w5.bmp";
    static constexpr int width = 5;
};
template <>
struct Sample<TiffReader> {
    static constexpr const char* file = "tiff/rgb-3c-8b.tiff";
    static constexpr int width = 157;
};
template <>
struct Sample<PcxReader> {
    static constexpr const char* file = "pcx/im-24bit.pcx";
    static constexpr int width = 227;
};
template <>
struct Sample<JpegCodec> {
    static constexpr const char* file = "jpeg/testorig.jpg";
    static constexpr int width = 227;
};
template <>
struct Sample<PngCodec> {
    static constexpr const char* file = "png/pngsuite/basn2c08.png";
    static constexpr int width = 32;
};

int openFiles() {
    return countEntries("/proc/self/fd", "");
}

template <typename Reader>
class ReaderProtocolTest : public lanzhou::test::CodecTest {};

using Readers = testing::Types<BmpReader, TiffReader, PcxReader, JpegCodec, PngCodec>;
TYPED_TEST_SUITE(ReaderProtocolTest, Readers);

TYPED_TEST(ReaderProtocolTest, DeclinesWhatItCannotOpenWithoutAWord) {
    TypeParam reader;
    PixelImage image;
    testing::internal::CaptureStderr();
    EXPECT_EQ(load(reader, this->dir_.file("missing"), image), Outcome::Declined);
    EXPECT_EQ(load(reader, this->dir_.path(), image), Outcome::Declined) << "a folder";
    EXPECT_EQ(load(reader, this->write("empty", ""), image), Outcome::Declined);
    EXPECT_EQ(reader.open(nullptr, image, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(image.width(), 0);
}

TYPED_TEST(ReaderProtocolTest, CloseIsSafeAtAnyTime) {
    using S = Sample<TypeParam>;
    const int before = openFiles();
    PixelImage image;
    {
        // An open reader destroyed without close releases its file.
        TypeParam abandoned;
        EXPECT_EQ(abandoned.open(fixture(S::file).c_str(), image, nullptr), 1);
        EXPECT_GT(openFiles(), before);
    }
    EXPECT_EQ(openFiles(), before);

    TypeParam reader;
    EXPECT_EQ(reader.read(), 0) << "nothing was opened";
    EXPECT_EQ(reader.close(), 1);
    ASSERT_EQ(reader.open(fixture(S::file).c_str(), image, nullptr), 1);
    EXPECT_EQ(reader.close(), 1);
    EXPECT_EQ(reader.close(), 1);
    EXPECT_EQ(reader.read(), 0) << "close forgets the file";
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(openFiles(), before);
}

TYPED_TEST(ReaderProtocolTest, HoldsNothingFromOneFileToTheNext) {
    using S = Sample<TypeParam>;
    const int before = openFiles();
    TypeParam reader;
    PixelImage first, second;
    ASSERT_EQ(load(reader, fixture(S::file), first), Outcome::Loaded);
    EXPECT_EQ(openFiles(), before) << "read closes the file";
    EXPECT_EQ(reader.read(), 0) << "a second read has no file";
    EXPECT_EQ(load(reader, this->write("text", "no picture here\n"), second), Outcome::Declined);
    EXPECT_EQ(second.width(), 0);
    ASSERT_EQ(load(reader, fixture(S::file), second), Outcome::Loaded);
    EXPECT_EQ(second.width(), S::width);
    EXPECT_TRUE(pixelsOf(first) == pixelsOf(second));
    EXPECT_EQ(this->temporaryFiles(), 2) << "one pixel file per image, no work file";
}

}  // namespace
}  // namespace imgconv
