#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"
#include "tests/support/test_files.h"

// Helpers shared by the readers' tests.
namespace imgconv::test {

// How a reader dealt with a file, as the reader chain sees it.
enum class Outcome { Declined, ReadFailed, Loaded };

inline const char* nameOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::Declined:
            return "declined";
        case Outcome::ReadFailed:
            return "read failed";
        default:
            return "loaded";
    }
}

// open, then read when open accepts: the steps of the reader chain.
template <typename Reader>
Outcome load(Reader& reader, const std::string& path, PixelImage& image,
             ProgressCallback progress = nullptr) {
    if (reader.open(path.c_str(), image, progress) == 0) {
        reader.close();
        return Outcome::Declined;
    }
    return reader.read() == 1 ? Outcome::Loaded : Outcome::ReadFailed;
}

// A private temporary folder, which must hold none of the library's
// temporary files when the test ends.
class ReaderTest : public testing::Test {
  protected:
    void TearDown() override;
    // Writes a file of these bytes into the folder; its path.
    std::string write(const std::string& name, const std::string& bytes);
    // The library's temporary files now in the folder.
    int temporaryFiles() const;

    lanzhou::test::ScopedTempDir dir_;
};

// The red, green, blue bytes of a binary PPM (P6, maxval 255); empty when the
// file is no such PPM.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};
RgbPicture readPpm(const std::string& path);

// The pixel bytes of an image, rows top first.
std::vector<uint8_t> pixelsOf(const PixelImage& image);

// The largest difference of one sample between two pictures of equal size.
int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// 64-bit FNV-1a, to pin a decoded picture to the one a reference decoder
// produced when the test was written.
uint64_t fnv1a(const std::vector<uint8_t>& bytes);

// Every progress notification since the last reset.
struct ProgressCall {
    int32_t direction, percent, row, reserved;
    bool operator==(const ProgressCall& o) const {
        return direction == o.direction && percent == o.percent && row == o.row &&
               reserved == o.reserved;
    }
};
void recordProgress(int32_t direction, int32_t percent, int32_t row, int32_t reserved);
std::vector<ProgressCall>& recordedProgress();

// Little-endian fields for files built in the tests.
void putLe16(std::string& out, uint32_t value);
void putLe32(std::string& out, uint32_t value);

}  // namespace imgconv::test
