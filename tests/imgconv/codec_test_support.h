#pragma once

// Helpers of the codec tests: a progress recorder, pictures made and read
// through libjpeg and libpng directly (never through our codecs), hand-made
// PNG chunks, and folder listings.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>

#include "imgconv/file_util.h"
#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {

// The frame of the codec tests: a private temporary folder for pixel files,
// which must be empty again after each test, and a folder of its own for the
// files the writers make.
template <class Codec>
class CodecTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(mkdir(out_.c_str(), 0755), 0); }
    void TearDown() override {
        EXPECT_EQ(countEntries(dir_.path(), imgconv::kTempFilePrefix), 0)
            << "a pixel file was left behind";
    }

    // 0 when declined, -1 when accepted but the read failed, 1 when loaded.
    int load(const std::string& path, imgconv::PixelImage& image,
             imgconv::ProgressCallback progress = nullptr) {
        Codec codec;
        if (codec.open(path.c_str(), image, progress) == 0) return 0;
        return codec.read() == 1 ? 1 : -1;
    }

    // A file of these bytes in the temporary folder.
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.file(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }

    std::string output(const std::string& name) const { return out_ + "/" + name; }

    ScopedTempDir dir_;
    const std::string out_ = dir_.file("out");
};

std::vector<uint8_t> bytesOf(const imgconv::PixelImage& image);

struct ProgressCall {
    int32_t direction, percent, row, reserved;
    bool operator==(const ProgressCall& other) const {
        return direction == other.direction && percent == other.percent && row == other.row &&
               reserved == other.reserved;
    }
};

// Collects every call of `callback` while it lives.
class ProgressLog {
  public:
    ProgressLog();
    ~ProgressLog();
    static void callback(int32_t direction, int32_t percent, int32_t row, int32_t reserved);
    const std::vector<ProgressCall>& calls() const;
};

// The calls a transfer of `height` rows makes: one per row, `passes` times,
// then the final one at 100 %.
std::vector<ProgressCall> rowCalls(int32_t direction, int32_t height, int passes);

struct Picture {
    bool ok = false;
    int width = 0, height = 0;
    int components = 0;  // samples per pixel
    std::vector<uint8_t> pixels;
    // JPEG
    bool progressive = false;
    // PNG, as stored
    int bitDepth = 0, colourType = -1, interlace = -1;
    bool hasPalette = false;
    std::vector<uint8_t> palette;  // red, green, blue per entry
};

// Decodes with libjpeg's defaults (grey or RGB output).
Picture decodeJpeg(const std::string& path);
// Decodes with libpng, no transformations but deinterlacing: samples as
// stored, palette indices for palette files.
Picture decodePng(const std::string& path);

// A JPEG of 1 or 3 components; a non-empty scan script makes it progressive.
std::string encodeJpeg(int width, int height, int components, const std::vector<uint8_t>& pixels,
                       const std::vector<jpeg_scan_info>& scans = {});
// A progressive scan script of exactly `count` scans (64..694) for a
// one-component picture: one DC scan, then each AC coefficient alone with
// successive approximation.
std::vector<jpeg_scan_info> longScanScript(int count);

// A PNG of 8-bit samples without gAMA or sRGB, so that reading it applies
// no gamma correction. `palette` is written as PLTE when not empty.
std::string encodePng(int width, int height, int colourType, const std::vector<uint8_t>& pixels,
                      const std::vector<uint8_t>& palette = {}, bool interlaced = false);

// One PNG chunk: length, type, data, CRC.
std::string pngChunk(const std::string& type, const std::string& data);
// Signature and IHDR of the given header values.
std::string pngHeader(uint32_t width, uint32_t height, int bitDepth, int colourType);
// zlib-compressed bytes.
std::string deflate(const std::string& data);

// Names in the folder, "." and ".." left out, sorted.
std::vector<std::string> listFolder(const std::string& folder);

// A picture whose colours change over rows and columns, in any depth the
// image supports; indexed images get `paletteSize` entries of distinct
// colours.
void fillPattern(imgconv::PixelImage& image, int width, int height, int bitsPerPixel,
                 int paletteSize = 0);

}  // namespace lanzhou::test
