#include "tests/imgconv/reader_test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "imgconv/file_util.h"

namespace imgconv::test {

void ReaderTest::TearDown() {
    EXPECT_EQ(temporaryFiles(), 0) << "a temporary file was left";
}

std::string ReaderTest::write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.file(name);
    EXPECT_TRUE(lanzhou::test::writeFile(path, bytes));
    return path;
}

int ReaderTest::temporaryFiles() const {
    return lanzhou::test::countEntries(dir_.path(), kTempFilePrefix);
}

RgbPicture readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    RgbPicture picture;
    in >> magic >> picture.width >> picture.height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255) return {};
    picture.rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
        return {};
    return picture;
}

std::vector<uint8_t> pixelsOf(const PixelImage& image) {
    if (image.pixels() == nullptr) return {};
    return std::vector<uint8_t>(image.pixels(), image.pixels() + image.storageSize());
}

int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int difference = std::abs(a[i] - b[i]);
        if (difference > largest) largest = difference;
    }
    return largest;
}

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

std::vector<ProgressCall>& recordedProgress() {
    static std::vector<ProgressCall> calls;
    return calls;
}

void recordProgress(int32_t direction, int32_t percent, int32_t row, int32_t reserved) {
    recordedProgress().push_back({direction, percent, row, reserved});
}

void putLe16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void putLe32(std::string& out, uint32_t value) {
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

}  // namespace imgconv::test
