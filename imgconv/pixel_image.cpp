#include "imgconv/pixel_image.h"

#include <cstring>

#include "imgconv/byte_block.h"
#include "imgconv/file_util.h"

namespace imgconv {

namespace {

bool isSupportedDepth(int32_t bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// Scratch room for one row as red, green, blue triplets.
int allocateRgbRow(ByteBlock& block, int32_t width) {
    const int64_t bytes = static_cast<int64_t>(width) * 3;
    return bytes <= INT32_MAX ? block.allocate(static_cast<int32_t>(bytes)) : 0;
}

uint8_t greyLevel(const unsigned char* rgb) {
    return static_cast<uint8_t>((306 * rgb[0] + 601 * rgb[1] + 117 * rgb[2]) >> 10);
}

}  // namespace

int PixelImage::create(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t paletteSize) {
    release();
    if (width < 1 || height < 1 || !isSupportedDepth(bitsPerPixel)) return 0;
    const int64_t bytes = static_cast<int64_t>(width) * height * (bitsPerPixel / 8);
    if (bytes > INT32_MAX) return 0;
    if (bitsPerPixel != 8) paletteSize = 0;
    if (paletteSize < 0) return 0;

    if (storage_.create(static_cast<std::size_t>(bytes), kTempFilePrefix) == 0) return 0;
    if (paletteSize >= 1 && palette_.allocate(static_cast<uint32_t>(paletteSize)) == 0) {
        release();
        return 0;
    }
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    paletteSize_ = paletteSize;
    pixels_ = storage_.data();
    return 1;
}

int PixelImage::release() {
    storage_.release(1);
    palette_.clear();
    width_ = height_ = bitsPerPixel_ = paletteSize_ = 0;
    pixels_ = nullptr;
    return 1;
}

int32_t PixelImage::rowStride() const {
    return isSupportedDepth(bitsPerPixel_) ? width_ * (bitsPerPixel_ / 8) : 0;
}

int PixelImage::flush() {
    return storage_.flush(pixels_, 0);
}

int PixelImage::copyFrom(const PixelImage& source) {
    if (&source == this) return 1;
    if (source.width_ < 1 || source.height_ < 1) return 0;
    if (create(source.width_, source.height_, source.bitsPerPixel_, source.paletteSize_) == 0)
        return 0;
    std::memcpy(pixels_, source.pixels_, storageSize());
    const uint32_t entries =
        palette_.count() < source.palette_.count() ? palette_.count() : source.palette_.count();
    if (entries > 0)
        std::memcpy(palette_.entries(), source.palette_.entries(), entries * sizeof(PaletteEntry));
    flush();
    return 1;
}

int PixelImage::convertTo(PixelImage& target, int32_t bitsPerPixel, int32_t paletteSize) const {
    if (&target == this || width_ < 1 || height_ < 1) return 0;
    if (target.create(width_, height_, bitsPerPixel, paletteSize) == 0) return 0;

    int result;
    if (bitsPerPixel == 8 && paletteSize >= 1) {
        if (bitsPerPixel_ == 8 && paletteSize_ >= 1)
            result = target.copyFrom(*this);
        else
            result = convertToIndexed(target, paletteSize);
    } else if (bitsPerPixel_ == bitsPerPixel && paletteSize_ == 0) {
        result = target.copyFrom(*this);
    } else {
        result = convertToDirect(target);
    }
    if (result == 0) target.release();
    return result;
}

// Source row y as red, green, blue triplets.
void PixelImage::rowToRgb(int32_t y, unsigned char* rgb) const {
    const unsigned char* p = row(y);
    const uint32_t colours = palette_.count();
    const PaletteEntry* table = palette_.entries();
    for (int32_t x = 0; x < width_; ++x, rgb += 3) {
        switch (bitsPerPixel_) {
            case 8:
                if (paletteSize_ == 0) {
                    rgb[0] = rgb[1] = rgb[2] = p[x];
                } else if (p[x] < colours) {
                    rgb[0] = table[p[x]].red;
                    rgb[1] = table[p[x]].green;
                    rgb[2] = table[p[x]].blue;
                } else {
                    rgb[0] = rgb[1] = rgb[2] = 0;
                }
                break;
            case 16:
                unpackRgb16(static_cast<uint16_t>(p[2 * x] | (p[2 * x + 1] << 8)), rgb[0], rgb[1],
                            rgb[2]);
                break;
            case 24:
                std::memcpy(rgb, p + 3 * x, 3);
                break;
            default:
                std::memcpy(rgb, p + 4 * x + 1, 3);
                break;
        }
    }
}

int PixelImage::convertToDirect(PixelImage& target) const {
    ByteBlock rgbRow;
    if (allocateRgbRow(rgbRow, width_) == 0) return 0;
    const unsigned char* rgb = rgbRow.data();
    for (int32_t y = 0; y < height_; ++y) {
        rowToRgb(y, rgbRow.data());
        unsigned char* out = target.row(y);
        for (int32_t x = 0; x < width_; ++x) {
            const unsigned char* c = rgb + 3 * x;
            switch (target.bitsPerPixel_) {
                case 8:
                    out[x] = greyLevel(c);
                    break;
                case 16: {
                    const uint16_t word = packRgb16(c[0], c[1], c[2]);
                    out[2 * x] = static_cast<unsigned char>(word & 0xFF);
                    out[2 * x + 1] = static_cast<unsigned char>(word >> 8);
                    break;
                }
                case 24:
                    std::memcpy(out + 3 * x, c, 3);
                    break;
                default:
                    out[4 * x] = 255;
                    std::memcpy(out + 4 * x + 1, c, 3);
                    break;
            }
        }
    }
    target.flush();
    return 1;
}

int PixelImage::convertToIndexed(PixelImage& target, int32_t mostColours) const {
    if (mostColours > 256) return 0;
    if (target.palette_.build(pixels_, bitsPerPixel_, paletteSize_, width_, height_, mostColours) ==
        0)
        return 0;
    target.paletteSize_ = static_cast<int32_t>(target.palette_.count());

    ByteBlock rgbRow;
    if (allocateRgbRow(rgbRow, width_) == 0) return 0;
    const unsigned char* rgb = rgbRow.data();
    for (int32_t y = 0; y < height_; ++y) {
        rowToRgb(y, rgbRow.data());
        unsigned char* out = target.row(y);
        for (int32_t x = 0; x < width_; ++x)
            out[x] = target.palette_.lookup(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
    }
    return 1;
}

}  // namespace imgconv
