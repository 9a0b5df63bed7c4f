#include "iconlist/icon_image.h"

#include "iconlist/png_image.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// BITMAPINFOHEADER fields; later, larger headers start the same way.
constexpr uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kWidth = 4;
constexpr std::size_t kHeight = 8;  // colour rows plus mask rows
constexpr std::size_t kPlanes = 12;
constexpr std::size_t kBitCount = 14;
constexpr std::size_t kCompression = 16;
constexpr std::size_t kColoursUsed = 32;
constexpr uint32_t kBiRgb = 0;

uint64_t rowStride(uint64_t width, uint64_t bits) {
    return (width * bits + 31) / 32 * 4;
}

bool knownDepth(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

uint32_t paletteColour(const unsigned char* palette, uint32_t entries, uint32_t index) {
    if (index >= entries) return makeArgb(255, 0, 0, 0);
    const unsigned char* entry = palette + 4 * index;
    return makeArgb(255, entry[2], entry[1], entry[0]);
}

uint32_t dibPixel(const unsigned char* row, int32_t x, uint32_t bits, const unsigned char* palette,
                  uint32_t entries) {
    switch (bits) {
        case 1:
            return paletteColour(palette, entries, row[x / 8] >> (7 - x % 8) & 0x1);
        case 4:
            return paletteColour(palette, entries, row[x / 2] >> (x % 2 == 0 ? 4 : 0) & 0xF);
        case 8:
            return paletteColour(palette, entries, row[x]);
        case 24:
            return makeArgb(255, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default:
            return readDword(row + 4 * x);
    }
}

Bitmap decodeDib(const unsigned char* data, std::size_t size) {
    if (size < kInfoHeaderSize) return Bitmap();
    const uint32_t headerSize = readDword(data);
    const int32_t width = static_cast<int32_t>(readDword(data + kWidth));
    const int32_t doubledHeight = static_cast<int32_t>(readDword(data + kHeight));
    const uint32_t bits = readWord(data + kBitCount);
    const uint32_t coloursUsed = readDword(data + kColoursUsed);
    if (headerSize < kInfoHeaderSize || readWord(data + kPlanes) != 1 || !knownDepth(bits) ||
        readDword(data + kCompression) != kBiRgb)
        return Bitmap();
    const int32_t height = doubledHeight / 2;
    if (width <= 0 || width > kMaxIconImageSide || height <= 0 || height > kMaxIconImageSide)
        return Bitmap();
    uint32_t entries = 0;
    if (bits <= 8) {
        entries = coloursUsed == 0 ? 1u << bits : coloursUsed;
        if (entries > 1u << bits) return Bitmap();
    }

    const uint64_t colourStride = rowStride(width, bits);
    const uint64_t maskStride = rowStride(width, 1);
    const uint64_t paletteOffset = headerSize;
    const uint64_t colourOffset = paletteOffset + 4 * uint64_t{entries};
    const uint64_t maskOffset = colourOffset + colourStride * height;
    if (maskOffset + maskStride * height > size) return Bitmap();

    Bitmap image = makeBitmap(width, height);
    if (image.empty()) return image;
    bool anyAlpha = false;
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = data + colourOffset + colourStride * (height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            image.at(x, y) = dibPixel(row, x, bits, data + paletteOffset, entries);
            anyAlpha = anyAlpha || alphaOf(image.at(x, y)) != 0;
        }
    }
    if (bits == 32 && anyAlpha) return image;
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* mask = data + maskOffset + maskStride * (height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const bool transparent = mask[x / 8] >> (7 - x % 8) & 0x1;
            image.at(x, y) = (image.at(x, y) & 0xFFFFFF) | (transparent ? 0u : 0xFF000000u);
        }
    }
    return image;
}

}  // namespace

Bitmap decodeIconImage(const unsigned char* data, std::size_t size) {
    if (isPng(data, size)) return decodePng(data, size, kMaxIconImageSide);
    return decodeDib(data, size);
}

}  // namespace lanzhou
