#include "workflow/bmp_bytes.h"

#include <limits>
#include <new>

#include "workflow/bitmap_scale.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// BITMAPFILEHEADER (14 bytes) and BITMAPINFOHEADER (40 bytes), then pixels.
constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;
constexpr int64_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr int32_t kBitsPerPixel = 24;

// value x percent / 100 rounded half away from zero, as Windows' MulDiv
// rounds; -1 when the result does not fit 32 bits. `percent` is positive.
int32_t percentOf(int64_t value, int64_t percent) {
    const int64_t product = value * percent;
    const int64_t magnitude = ((product < 0 ? -product : product) + 50) / 100;
    const int64_t result = product < 0 ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max() ||
        result < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(result);
}

PictureBytes encodeBmp(const Bitmap& bitmap) {
    const int64_t stride = (static_cast<int64_t>(kBitsPerPixel) * bitmap.width + 31) / 32 * 4;
    const int64_t imageSize = stride * bitmap.height;
    const int64_t fileSize = kPixelOffset + imageSize;
    if (fileSize > std::numeric_limits<int32_t>::max()) return PictureBytes();

    PictureBytes bytes(static_cast<std::size_t>(fileSize), 0);
    unsigned char* file = bytes.data();
    file[0] = 'B';
    file[1] = 'M';
    putDword(file + 2, static_cast<uint32_t>(fileSize));
    putDword(file + 10, static_cast<uint32_t>(kPixelOffset));
    unsigned char* info = file + kFileHeaderSize;
    putDword(info + 0, static_cast<uint32_t>(kInfoHeaderSize));
    putDword(info + 4, static_cast<uint32_t>(bitmap.width));
    putDword(info + 8, static_cast<uint32_t>(bitmap.height));
    putWord(info + 12, 1);
    putWord(info + 14, kBitsPerPixel);
    putDword(info + 20, static_cast<uint32_t>(imageSize));

    for (int32_t y = 0; y < bitmap.height; ++y) {
        unsigned char* out = file + kPixelOffset + (bitmap.height - 1 - y) * stride;
        for (int32_t x = 0; x < bitmap.width; ++x) {
            const uint32_t argb = bitmap.at(x, y);
            *out++ = static_cast<unsigned char>(blueOf(argb));
            *out++ = static_cast<unsigned char>(greenOf(argb));
            *out++ = static_cast<unsigned char>(redOf(argb));
        }
    }
    return bytes;
}

}  // namespace

int32_t targetExtent(int32_t sourceExtent, int32_t requested) {
    if (requested == 0) return sourceExtent;
    if (requested > 0) return requested;
    int64_t percent = -static_cast<int64_t>(requested);
    if (percent < 10) percent = 10;
    return percentOf(sourceExtent, percent);
}

Bitmap bitmapAtTargetSize(const Bitmap& bitmap, int32_t width, int32_t height,
                          int32_t screenDepth) {
    if (bitmap.empty()) return Bitmap();
    const int32_t targetWidth = targetExtent(bitmap.width, width);
    const int32_t targetHeight = targetExtent(bitmap.height, height);
    if (targetWidth <= 0 || targetHeight <= 0) return Bitmap();
    try {
        Bitmap opaque = bitmap;
        for (uint32_t& pixel : opaque.pixels) pixel |= 0xFF000000;
        if (targetWidth == bitmap.width && targetHeight == bitmap.height) return opaque;
        return scaleBitmap(opaque, targetWidth, targetHeight, smoothScalingForDepth(screenDepth));
    } catch (const std::bad_alloc&) {
        return Bitmap();
    }
}

PictureBytes bitmapToBmpBytes(const Bitmap& bitmap, int32_t width, int32_t height,
                              int32_t screenDepth) {
    const Bitmap pixels = bitmapAtTargetSize(bitmap, width, height, screenDepth);
    if (pixels.empty()) return PictureBytes();
    try {
        return encodeBmp(pixels);
    } catch (const std::bad_alloc&) {
        return PictureBytes();
    }
}

}  // namespace lanzhou
