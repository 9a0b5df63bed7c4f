#include "imgconv/imgconv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "imgconv/load_any_image.h"
#include "tests/imgconv/codec_test_support.h"

namespace lanzhou::test {
namespace {

// A folder of sources and targets; no pixel file may survive a conversion.
class ConvertTest : public CodecTest {
  protected:
    bool exists(const std::string& name) const {
        struct stat status;
        return lstat(dir_.file(name).c_str(), &status) == 0;
    }
};

// Every format the library reads, converted both ways, gives the picture's
// size in the layout each writer promises.
TEST_F(ConvertTest, EveryReadableFormatBecomesAnInterlacedRgbPngAndAColourJpeg) {
    struct Source {
        const char* fixture;
        int width, height;
    } sources[] = {
        {"jpeg/testorig.jpg", 227, 149},       {"jpeg/im-grey.jpg", 227, 149},
        {"jpeg/im-progressive.jpg", 227, 149}, {"bmp/im-24bit-v3.bmp", 227, 149},
        {"bmp/nb-24bit-os2.bmp", 227, 149},    {"tiff/im-rgb-lzw.tiff", 227, 149},
        {"png/pngsuite/basn3p08.png", 32, 32}, {"png/pngsuite/basn0g04.png", 32, 32},
        {"pcx/im-8bit.pcx", 227, 149},         {"pcx/im-24bit.pcx", 227, 149},
        {"pcd/im-base.pcd", 768, 512},
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.fixture);
        const std::string png = dir_.file("out.png");
        const std::string jpg = dir_.file("out.jpg");
        ASSERT_EQ(ConvertToPng(fixture(source.fixture).c_str(), png.c_str(), 24), Ok);
        ASSERT_EQ(ConvertToJpeg(fixture(source.fixture).c_str(), jpg.c_str(), 0, 75, 1, 0), Ok);

        const Picture written = decodePng(png);
        ASSERT_TRUE(written.ok);
        EXPECT_EQ(written.width, source.width);
        EXPECT_EQ(written.height, source.height);
        EXPECT_EQ(written.bitDepth, 8);
        EXPECT_EQ(written.colourType, 2) << "RGB";
        EXPECT_EQ(written.interlace, 1) << "Adam7";
        EXPECT_FALSE(written.hasPalette);

        const Picture jpeg = decodeJpeg(jpg);
        ASSERT_TRUE(jpeg.ok);
        EXPECT_EQ(jpeg.width, source.width);
        EXPECT_EQ(jpeg.height, source.height);
        EXPECT_EQ(jpeg.components, 3);
    }
}

TEST_F(ConvertTest, PixelsSurviveTheTripFromJpegToPng) {
    const std::string source = fixture("jpeg/testorig.jpg");
    const std::string png = dir_.file("photo.png");
    ASSERT_EQ(ConvertToPng(source.c_str(), png.c_str(), 24), Ok);
    const Picture reference = decodeJpeg(source);
    const Picture written = decodePng(png);
    ASSERT_TRUE(reference.ok && written.ok);
    EXPECT_EQ(written.pixels, reference.pixels) << "PNG is lossless: libjpeg's own decode";
}

TEST_F(ConvertTest, OnlyExactlyOneMeansGrey) {
    const std::string source = fixture("jpeg/testorig.jpg");
    const struct { int grey, components; } cases[] = {{1, 1}, {0, 3}, {2, 3}, {-1, 3}};
    for (const auto& c : cases) {
        const std::string jpg = dir_.file("grey" + std::to_string(c.grey) + ".jpg");
        ASSERT_EQ(ConvertToJpeg(source.c_str(), jpg.c_str(), c.grey, 75, 1, 0), Ok);
        EXPECT_EQ(decodeJpeg(jpg).components, c.components) << "grey " << c.grey;
    }
}

TEST_F(ConvertTest, ArgumentsOutOfRangeTouchNothing) {
    const std::string source = fixture("jpeg/testorig.jpg");
    const std::string target = dir_.file("t.jpg");
    const struct {
        const char* src;
        const char* dst;
        int quality, smoothing;
        int result;
    } jpegCases[] = {
        {source.c_str(), target.c_str(), 0, 0, BadArgument},
        {source.c_str(), target.c_str(), 101, 0, BadArgument},
        {source.c_str(), target.c_str(), 75, -1, BadArgument},
        {source.c_str(), target.c_str(), 75, 101, BadArgument},
        {nullptr, target.c_str(), 75, 0, BadArgument},
        {"", target.c_str(), 75, 0, BadArgument},
        {source.c_str(), nullptr, 75, 0, BadArgument},
        {source.c_str(), "", 75, 0, BadArgument},
        {"/no/such/file", target.c_str(), 0, 0, BadArgument},  // arguments come first
    };
    for (const auto& c : jpegCases) {
        EXPECT_EQ(ConvertToJpeg(c.src, c.dst, 0, c.quality, 1, c.smoothing), c.result)
            << "quality " << c.quality << " smoothing " << c.smoothing;
        EXPECT_FALSE(exists("t.jpg"));
    }
    for (int bits : {8, 32, 0, 23}) {
        EXPECT_EQ(ConvertToPng(source.c_str(), dir_.file("t.png").c_str(), bits), BadArgument);
        EXPECT_FALSE(exists("t.png"));
    }
    EXPECT_EQ(ConvertToPng(nullptr, dir_.file("t.png").c_str(), 24), BadArgument);

    // The edges of the ranges are accepted.
    for (int quality : {1, 100})
        for (int smoothing : {0, 100})
            EXPECT_EQ(ConvertToJpeg(source.c_str(), target.c_str(), 0, quality, 1, smoothing), Ok);
}

TEST_F(ConvertTest, SourcesThatCannotBeReadGiveTheirResult) {
    ASSERT_EQ(mkdir(dir_.file("folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(dir_.file("fifo").c_str(), 0600), 0);
    const std::string png16 = fixture("png/pngsuite/basn2c16.png");
    const std::string sound = readFile(fixture("png/pngsuite/basn2c08.png"));
    const std::string jpeg = readFile(fixture("jpeg/testorig.jpg"));
    const struct {
        const char* what;
        std::string path;
        int result;
    } cases[] = {
        {"missing", dir_.file("missing.jpg"), SourceMissing},
        {"empty file", write("empty.jpg", ""), SourceUnreadable},
        {"folder", dir_.file("folder"), SourceUnreadable},
        {"FIFO, answered without blocking", dir_.file("fifo"), SourceUnreadable},
        {"16-bit PNG", png16, SourceUnreadable},
        {"8-bit BMP", fixture("bmp/im-8bit.bmp"), SourceUnreadable},
        {"JPEG header cut short", write("cut.jpg", jpeg.substr(0, 100)), SourceUnreadable},
        {"FF D8 and then text", write("text.jpg", "\xFF\xD8 hello, this is no JPEG"),
         SourceUnreadable},
        {"PNG cut inside its image data", write("cut.png", sound.substr(0, sound.size() - 100)),
         SourceUnreadable},
        {"1 MiB of nothing in particular", write("big.bin", std::string(1 << 20, '\x5A')),
         SourceUnreadable},
        {"Photo CD too short", fixture("pcd/im-base-unpadded.pcd"), SourceUnreadable},
        {"a pattern matching nothing", dir_.file("*.nothing"), SourceMissing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertToPng(c.path.c_str(), dir_.file("out.png").c_str(), 24), c.result)
            << c.what;
        EXPECT_EQ(ConvertToJpeg(c.path.c_str(), dir_.file("out.jpg").c_str(), 0, 75, 1, 0),
                  c.result)
            << c.what;
    }
    EXPECT_FALSE(exists("out.png"));
    EXPECT_FALSE(exists("out.jpg"));
}

TEST_F(ConvertTest, SourcesAreFoundByContentAndWritersByTheCall) {
    const std::string jpegNamedPng = write("photo.png", readFile(fixture("jpeg/testorig.jpg")));
    const std::string pngTarget = dir_.file("really-png.jpg");
    ASSERT_EQ(ConvertToPng(jpegNamedPng.c_str(), pngTarget.c_str(), 24), Ok);
    EXPECT_TRUE(decodePng(pngTarget).ok) << "ConvertToPng writes PNG whatever the name";
    const std::string jpegTarget = dir_.file("really-jpeg.png");
    ASSERT_EQ(ConvertToJpeg(jpegNamedPng.c_str(), jpegTarget.c_str(), 0, 75, 1, 0), Ok);
    EXPECT_TRUE(decodeJpeg(jpegTarget).ok);

    // A captured window is a 24-bit BMP under a name ending ".jpg".
    const std::string capture = write("capture.jpg", readFile(fixture("bmp/im-24bit-w5.bmp")));
    ASSERT_EQ(ConvertToPng(capture.c_str(), dir_.file("capture.png").c_str(), 24), Ok);
    EXPECT_EQ(decodePng(dir_.file("capture.png")).width, 5);
}

TEST_F(ConvertTest, WriteFailuresComeAfterTheLoad) {
    const std::string source = fixture("jpeg/testorig.jpg");
    const std::string nowhere = dir_.file("no/such/folder/out.png");
    EXPECT_EQ(ConvertToPng(source.c_str(), nowhere.c_str(), 24), WriteFailed);
    EXPECT_EQ(ConvertToJpeg(source.c_str(), dir_.file("no/out.jpg").c_str(), 0, 75, 1, 0),
              WriteFailed);
    // A missing source is reported before the target is looked at.
    EXPECT_EQ(ConvertToPng(dir_.file("missing").c_str(), nowhere.c_str(), 24), SourceMissing);
}

TEST_F(ConvertTest, ConvertingAFileOntoItselfReplacesIt) {
    // Without gAMA or sRGB, so that reading applies no gamma correction.
    std::vector<uint8_t> rgb(5 * 3 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 5);
    const std::string path = output("self.png");
    ASSERT_TRUE(writeFile(path, encodePng(5, 3, 2, rgb)));
    const Picture before = decodePng(path);
    ASSERT_EQ(ConvertToPng(path.c_str(), path.c_str(), 24), Ok);
    const Picture after = decodePng(path);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.interlace, 1) << "the file was rewritten";
    EXPECT_EQ(after.pixels, before.pixels);

    ASSERT_EQ(ConvertToJpeg(path.c_str(), path.c_str(), 0, 75, 1, 0), Ok);
    EXPECT_TRUE(decodeJpeg(path).ok);
    EXPECT_EQ(listFolder(out_), std::vector<std::string>{"self.png"})
        << "no temporary file of the writer stays";
}

TEST_F(ConvertTest, AReaderFailingHalfWayLeavesTheImageEmpty) {
    const std::string sound = readFile(fixture("png/pngsuite/basn2c08.png"));
    const std::string cut = write("cut.png", sound.substr(0, sound.size() - 100));
    imgconv::PixelImage image;
    EXPECT_EQ(imgconv::LoadAnyImage(cut.c_str(), image), SourceUnreadable);
    EXPECT_EQ(image.pixels(), nullptr);
    EXPECT_EQ(temporaryFiles(), 0);
    EXPECT_EQ(imgconv::LoadAnyImage(fixture("jpeg/testorig.jpg").c_str(), image), Ok);
    EXPECT_EQ(image.width(), 227);
}

TEST_F(ConvertTest, AFailedConversionLeavesTheOldTargetAlone) {
    const std::string target = write("keep.png", "the user's own file");
    EXPECT_EQ(ConvertToPng(write("bad.bin", "garbage").c_str(), target.c_str(), 24),
              SourceUnreadable);
    EXPECT_EQ(readFile(target), "the user's own file");
}

}  // namespace
}  // namespace lanzhou::test
