#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imgconv/pixel_image.h"

namespace lanzhou {

// The complete bytes of an image file; empty bytes mean no picture.
using PictureBytes = std::vector<unsigned char>;

// A plain picture in memory: rows top row first, no padding, each pixel a
// 32-bit value 0xAARRGGBB with straight (not premultiplied) alpha. This is
// the layout of a QImage in Format_ARGB32, so the platform copies rows as
// they are.
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    bool empty() const {
        return width <= 0 || height <= 0 ||
               pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    uint32_t at(int32_t x, int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    uint32_t& at(int32_t x, int32_t y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The most pixels a bitmap of ours holds, the conversion library's limit:
// above it every operation answers with an empty result instead of trying to
// allocate.
constexpr int64_t kMaxBitmapPixels = imgconv::kMaxPixels;

// A width x height bitmap filled with `fill`; an empty bitmap when the size
// is not positive, too large, or the memory cannot be had.
Bitmap makeBitmap(int32_t width, int32_t height, uint32_t fill = 0);

constexpr uint32_t alphaOf(uint32_t argb) {
    return argb >> 24;
}
constexpr uint32_t redOf(uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
constexpr uint32_t greenOf(uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
constexpr uint32_t blueOf(uint32_t argb) {
    return argb & 0xFF;
}
constexpr uint32_t makeArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace lanzhou
