#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "imgconv/imgconv.h"
#include "tests/imgconv/codec_test_support.h"

namespace lanzhou::test {
namespace {

int entriesIn(const char* folder) {
    int count = 0;
    if (DIR* dir = opendir(folder)) {
        while (readdir(dir) != nullptr) ++count;
        closedir(dir);
    }
    return count;
}

int mappingCount() {
    std::ifstream maps("/proc/self/maps");
    int lines = 0;
    for (std::string line; std::getline(maps, line);) ++lines;
    return lines;
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

struct Resources {
    int descriptors, mappings;
    long residentKb;
};

Resources inUse() {
    return {entriesIn("/proc/self/fd"), mappingCount(), residentKilobytes()};
}

// Two thousand conversions in one process, good files and broken ones mixed:
// whatever each one ends in, it gives back every descriptor, mapping and
// temporary file it took, and memory stays flat.
TEST_F(CodecTest, TwoThousandConversionsLeaveNothingBehind) {
    std::vector<std::string> sources = {
        fixture("jpeg/testorig.jpg"),
        fixture("jpeg/im-grey.jpg"),
        fixture("jpeg/im-cmyk.jpg"),
        fixture("bmp/im-24bit-w5.bmp"),
        fixture("bmp/im-8bit.bmp"),
        fixture("tiff/im-rgb-lzw.tiff"),
        fixture("png/pngsuite/basn3p02.png"),
        fixture("png/pngsuite/basi6a08.png"),
        fixture("png/pngsuite/basn2c16.png"),
        fixture("png/pngsuite/xcrn0g04.png"),
        fixture("pcx/im-8bit.pcx"),
        fixture("pcx/nb-mono.pcx"),
        dir_.file("missing.png"),
    };
    const std::string jpeg = readFile(fixture("jpeg/testorig.jpg"));
    const std::string png = readFile(fixture("png/pngsuite/basn2c08.png"));
    sources.push_back(write("cut.jpg", jpeg.substr(0, jpeg.size() / 2)));
    sources.push_back(write("cut.png", png.substr(0, png.size() - 40)));
    sources.push_back(write("text.txt", "no picture at all"));

    const std::string target = output("out");
    auto convert = [&](int n) {
        const std::string& source = sources[n % sources.size()];
        if (n % 2 == 0)
            ConvertToPng(source.c_str(), target.c_str(), 24);
        else
            ConvertToJpeg(source.c_str(), target.c_str(), 0, 75, 1, 0);
    };

    // The first rounds load the codec libraries' own lasting state.
    for (int n = 0; n < 100; ++n) convert(n);
    const Resources before = inUse();
    for (int n = 100; n < 2000; ++n) convert(n);
    const Resources after = inUse();

    EXPECT_EQ(after.descriptors, before.descriptors);
    // A leaked pixel mapping would add one per conversion; the allocator may
    // map a region or two of its own.
    EXPECT_LT(after.mappings - before.mappings, 10);
    EXPECT_EQ(temporaryFiles(), 0);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer holds freed memory back on purpose; there LeakSanitizer
    // watches the heap instead.
    EXPECT_LT(after.residentKb - before.residentKb, 16 * 1024) << "memory grows with the count";
#endif
    EXPECT_EQ(listFolder(out_), std::vector<std::string>{"out"})
        << "no writer's temporary file stays";
}

}  // namespace
}  // namespace lanzhou::test
