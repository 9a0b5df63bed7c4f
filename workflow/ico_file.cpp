#include "workflow/ico_file.h"

#include <algorithm>
#include <new>

#include "workflow/bitmap_scale.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// ICONDIR: reserved, type (1 for icons), entry count.
constexpr std::size_t kIconDirSize = 6;
// ICONDIRENTRY: width, height (0 meaning 256), colour count, reserved,
// planes, bits per pixel, image size, image offset from the file's start.
constexpr std::size_t kIconDirEntrySize = 16;
// The image: BITMAPINFOHEADER with doubled height, BGRA rows bottom-up,
// then the 1-bit AND mask, rows padded to 32 bits.
constexpr std::size_t kInfoHeaderSize = 40;
constexpr uint16_t kIconType = 1;

}  // namespace

bool isIcoFile(const PictureBytes& bytes) {
    if (bytes.size() < kIconDirSize) return false;
    const unsigned char* file = bytes.data();
    const uint32_t count = readWord(file + 4);
    if (readWord(file) != 0 || readWord(file + 2) != kIconType || count == 0) return false;
    const uint64_t directoryEnd = kIconDirSize + uint64_t{count} * kIconDirEntrySize;
    if (directoryEnd > bytes.size()) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = file + kIconDirSize + i * kIconDirEntrySize;
        const uint64_t size = readDword(entry + 8);
        const uint64_t offset = readDword(entry + 12);
        if (size == 0 || offset < directoryEnd || offset + size > bytes.size()) return false;
    }
    return true;
}

PictureBytes bitmapToIcoFile(const Bitmap& image) {
    if (image.empty() || image.width > kMaxIcoSide || image.height > kMaxIcoSide)
        return PictureBytes();
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    const std::size_t colourSize = width * 4 * height;
    const std::size_t maskStride = (width + 31) / 32 * 4;
    const std::size_t maskSize = maskStride * height;
    const std::size_t imageSize = kInfoHeaderSize + colourSize + maskSize;
    const std::size_t imageOffset = kIconDirSize + kIconDirEntrySize;

    PictureBytes bytes;
    try {
        bytes.assign(imageOffset + imageSize, 0);
    } catch (const std::bad_alloc&) {
        return PictureBytes();
    }
    unsigned char* file = bytes.data();
    putWord(file + 2, kIconType);
    putWord(file + 4, 1);

    unsigned char* entry = file + kIconDirSize;
    entry[0] = static_cast<unsigned char>(width & 0xFF);
    entry[1] = static_cast<unsigned char>(height & 0xFF);
    putWord(entry + 4, 1);
    putWord(entry + 6, 32);
    putDword(entry + 8, static_cast<uint32_t>(imageSize));
    putDword(entry + 12, static_cast<uint32_t>(imageOffset));

    unsigned char* info = file + imageOffset;
    putDword(info + 0, kInfoHeaderSize);
    putDword(info + 4, static_cast<uint32_t>(width));
    putDword(info + 8, static_cast<uint32_t>(height * 2));
    putWord(info + 12, 1);
    putWord(info + 14, 32);
    putDword(info + 20, static_cast<uint32_t>(colourSize + maskSize));

    unsigned char* colour = info + kInfoHeaderSize;
    unsigned char* mask = colour + colourSize;
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t row = height - 1 - y;
        unsigned char* out = colour + row * width * 4;
        unsigned char* maskRow = mask + row * maskStride;
        for (std::size_t x = 0; x < width; ++x) {
            const uint32_t argb = image.at(static_cast<int32_t>(x), static_cast<int32_t>(y));
            putDword(out + x * 4, argb);  // little-endian 0xAARRGGBB is B, G, R, A
            if (alphaOf(argb) == 0) maskRow[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    return bytes;
}

Bitmap fitIcoSize(const Bitmap& image) {
    if (image.width <= kMaxIcoSide && image.height <= kMaxIcoSide) return image;
    const int64_t longer = std::max(image.width, image.height);
    const int32_t width = std::max<int32_t>(
        1, static_cast<int32_t>((int64_t{image.width} * kMaxIcoSide + longer / 2) / longer));
    const int32_t height = std::max<int32_t>(
        1, static_cast<int32_t>((int64_t{image.height} * kMaxIcoSide + longer / 2) / longer));
    return scaleBitmap(image, width, height, true);
}

}  // namespace lanzhou
