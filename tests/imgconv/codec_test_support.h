#pragma once

// What the codec tests share: a fixture with a private temporary folder,
// opening and reading in one step, a progress recorder, pictures made and
// read through libjpeg and libpng directly (never through our codecs),
// hand-made PNG chunks and little-endian fields, and folder listings.

#include <cstdint>
#include <cstdio>  // before jpeglib.h, which uses FILE
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {

// The frame of the codec tests: a private temporary folder, which must hold
// none of the library's temporary files when the test ends, and a folder of
// its own, out_, for the files the writers make.
class CodecTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A file of these bytes in the temporary folder; its path.
    std::string write(const std::string& name, const std::string& bytes);
    // A path in the writers' folder.
    std::string output(const std::string& name) const { return out_ + "/" + name; }
    // The library's temporary files now in the temporary folder.
    int temporaryFiles() const;

    ScopedTempDir dir_;
    const std::string out_ = dir_.file("out");
};

// How a reader dealt with a file, as the reader chain sees it.
enum class Outcome { Declined, ReadFailed, Loaded };
std::ostream& operator<<(std::ostream& out, Outcome outcome);

// open, then read when open accepts: the steps of the reader chain.
template <class Reader>
Outcome load(Reader& reader, const std::string& path, imgconv::PixelImage& image,
             imgconv::ProgressCallback progress = nullptr) {
    if (reader.open(path.c_str(), image, progress) == 0) {
        reader.close();
        return Outcome::Declined;
    }
    return reader.read() == 1 ? Outcome::Loaded : Outcome::ReadFailed;
}

// The same with a reader of its own: load<PngCodec>(path, image).
template <class Reader>
Outcome load(const std::string& path, imgconv::PixelImage& image,
             imgconv::ProgressCallback progress = nullptr) {
    Reader reader;
    return load(reader, path, image, progress);
}

// openForWrite, then write: 1 only when both succeed.
int writePng(const std::string& path, imgconv::PixelImage& image, int bits, int paletteSize = 0,
             imgconv::ProgressCallback progress = nullptr);

struct ProgressCall {
    int32_t direction, percent, row, reserved;
    bool operator==(const ProgressCall& other) const {
        return direction == other.direction && percent == other.percent && row == other.row &&
               reserved == other.reserved;
    }
};
void PrintTo(const ProgressCall& call, std::ostream* out);

// Collects the calls of `callback` while it is the newest log alive.
class ProgressLog {
  public:
    ProgressLog();
    ~ProgressLog();
    ProgressLog(const ProgressLog&) = delete;
    ProgressLog& operator=(const ProgressLog&) = delete;

    static void callback(int32_t direction, int32_t percent, int32_t row, int32_t reserved);
    const std::vector<ProgressCall>& calls() const { return calls_; }

  private:
    std::vector<ProgressCall> calls_;
    ProgressLog* previous_;
};

// The calls a transfer of `height` rows makes: one per row, `passes` times,
// then the final one at 100 %.
std::vector<ProgressCall> rowCalls(int32_t direction, int32_t height, int passes);

// A picture as a reference decoder gives it, rows top first.
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

    // The samples of one pixel, for pictures of one byte per sample.
    const uint8_t* pixel(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * components;
    }
};

// A binary PPM (P6, maxval 255) as red, green, blue; not ok when the file is
// no such PPM.
Picture readPpm(const std::string& path);
// libjpeg-turbo's test photo (227 x 149), from which most fixtures were made.
Picture testPhoto();
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

// Little-endian fields for files built in the tests.
void putLe16(std::string& out, uint32_t value);
void putLe32(std::string& out, uint32_t value);

// The pixel bytes of an image, rows top first; empty for an empty image.
std::vector<uint8_t> pixelsOf(const imgconv::PixelImage& image);

// The largest difference of one sample between two pictures of equal size;
// 256 when their sizes differ.
int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// 64-bit FNV-1a, to pin a decoded picture to the one a reference decoder
// produced when the test was written.
uint64_t fnv1a(const std::vector<uint8_t>& bytes);

// Names in the folder, "." and ".." left out, sorted.
std::vector<std::string> listFolder(const std::string& folder);

// A picture whose colours change over rows and columns, in any depth the
// image supports; indexed images get `paletteSize` entries of distinct
// colours.
void fillPattern(imgconv::PixelImage& image, int width, int height, int bitsPerPixel,
                 int paletteSize = 0);

}  // namespace lanzhou::test
