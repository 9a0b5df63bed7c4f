#include "tests/workflow/bmp_reader.h"

#include <gtest/gtest.h>

namespace lanzhou::test {
namespace {

uint32_t field(const PictureBytes& bytes, std::size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
    return value;
}

}  // namespace

Bitmap readBmp24(const PictureBytes& bytes) {
    EXPECT_GE(bytes.size(), 54u);
    if (bytes.size() < 54) return Bitmap();
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(field(bytes, 2, 4), bytes.size());
    EXPECT_EQ(field(bytes, 6, 4), 0u);
    EXPECT_EQ(field(bytes, 10, 4), 54u);
    EXPECT_EQ(field(bytes, 14, 4), 40u);
    const int32_t width = static_cast<int32_t>(field(bytes, 18, 4));
    const int32_t height = static_cast<int32_t>(field(bytes, 22, 4));
    EXPECT_EQ(field(bytes, 26, 2), 1u);
    EXPECT_EQ(field(bytes, 28, 2), 24u);
    EXPECT_EQ(field(bytes, 30, 4), 0u);
    const uint32_t stride = (24 * width + 31) / 32 * 4;
    EXPECT_EQ(field(bytes, 34, 4), stride * height);
    for (std::size_t offset = 38; offset < 54; offset += 4) EXPECT_EQ(field(bytes, offset, 4), 0u);
    EXPECT_EQ(bytes.size(), 54 + stride * height);
    Bitmap bitmap = makeBitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes.data() + 54 + (height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x)
            bitmap.at(x, y) = makeArgb(255, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        for (uint32_t pad = 3 * width; pad < stride; ++pad) EXPECT_EQ(row[pad], 0) << "padding";
    }
    return bitmap;
}

}  // namespace lanzhou::test
