#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "imgconv/pixel_image.h"
#include "tests/support/test_files.h"

namespace imgconv::test {

// libjpeg-turbo's test photo, from which the PCX and Photo CD fixtures were
// made: red, green, blue triplets, top row first.
struct Photo {
    int width = 0;
    int height = 0;
    std::string rgb;
    const unsigned char* pixel(int x, int y) const {
        return reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * width + x);
    }
};

inline Photo referencePhoto() {
    const std::string bytes = lanzhou::test::readFile(lanzhou::test::fixture("jpeg/testorig.ppm"));
    Photo photo;
    int maxValue = 0;
    int headerBytes = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &photo.width, &photo.height, &maxValue,
                    &headerBytes) == 3)
        photo.rgb = bytes.substr(static_cast<std::size_t>(headerBytes) + 1);
    return photo;
}

struct ProgressCall {
    int32_t direction, percent, row, reserved;
    bool operator==(const ProgressCall& o) const {
        return direction == o.direction && percent == o.percent && row == o.row &&
               reserved == o.reserved;
    }
};

// What the readers reported to `recordProgress`; tests clear it first.
inline std::vector<ProgressCall> progressCalls;

inline void recordProgress(int32_t direction, int32_t percent, int32_t row, int32_t reserved) {
    progressCalls.push_back({direction, percent, row, reserved});
}

inline int temporaryFiles(const lanzhou::test::ScopedTempDir& dir) {
    return lanzhou::test::countEntries(dir.path(), "RZQCLASS");
}

}  // namespace imgconv::test
