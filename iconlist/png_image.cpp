#include "iconlist/png_image.h"

#include <png.h>

#include <cstring>
#include <new>
#include <vector>

namespace lanzhou {
namespace {

// The largest chunk libpng allocates for us: icons need no more.
constexpr png_alloc_size_t kMostChunkBytes = 8 * 1024 * 1024;

struct MemorySource {
    const unsigned char* data;
    std::size_t size;
    std::size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->at) png_error(png, "cut short");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

void stopOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Everything between the recovery point and the last row; the buffers
// belong to the caller, so that a jump back here leaves nothing behind.
bool readRgba(png_structp png, png_infop info, int32_t maxSide, uint32_t& width, uint32_t& height,
              std::vector<unsigned char>& rgba, std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, static_cast<uint32_t>(maxSide), static_cast<uint32_t>(maxSide));
    png_set_chunk_malloc_max(png, kMostChunkBytes);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) return false;
    rgba.resize(std::size_t{width} * 4 * height);
    rows.resize(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = rgba.data() + std::size_t{y} * width * 4;
    png_read_image(png, rows.data());
    return true;
}

}  // namespace

bool isPng(const unsigned char* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

Bitmap decodePng(const unsigned char* data, std::size_t size, int32_t maxSide) {
    if (!isPng(data, size) || maxSide <= 0) return Bitmap();
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnError, ignoreWarning);
    if (png == nullptr) return Bitmap();
    png_infop info = png_create_info_struct(png);
    MemorySource source{data, size, 0};
    png_set_read_fn(png, &source, readFromMemory);

    uint32_t width = 0, height = 0;
    std::vector<unsigned char> rgba;
    std::vector<png_bytep> rows;
    bool read = false;
    try {
        read = info != nullptr && readRgba(png, info, maxSide, width, height, rgba, rows);
    } catch (const std::bad_alloc&) {
        read = false;
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    if (!read) return Bitmap();

    Bitmap bitmap = makeBitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (bitmap.empty()) return bitmap;
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
        const unsigned char* p = rgba.data() + 4 * i;
        bitmap.pixels[i] = makeArgb(p[3], p[0], p[1], p[2]);
    }
    return bitmap;
}

}  // namespace lanzhou
