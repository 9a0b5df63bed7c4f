#include "imgconv/codecs/png_codec.h"

#include <csetjmp>
#include <cstring>

#include "imgconv/codecs/png_io.h"

namespace imgconv {

namespace {

// The most entries a PLTE chunk holds, and the 3 bytes each takes there.
constexpr int kMaxPaletteEntries = 256;
constexpr int kPaletteBufferBytes = kMaxPaletteEntries * 3;

// Gamma: the display we decode for, and the file gamma assumed for sRGB
// files and files that state none.
constexpr double kScreenGamma = 2.2;
constexpr double kDefaultFileGamma = 0.45455;

// Limits for files we do not trust: the widest and tallest picture libpng
// reads, and the most memory one chunk may claim.
constexpr png_uint_32 kMaxPngSide = 1000000;
constexpr png_alloc_size_t kMaxPngChunkBytes = 8 * 1024 * 1024;
// Chunks whose contents are never used, skipped unread. libpng only warns
// about one beyond the chunk limit and still allocates room for all of it.
constexpr png_byte kSkippedChunks[] = "eXIf\0iCCP\0iTXt\0pCAL\0sCAL\0sPLT\0tEXt\0zTXt";
constexpr int kSkippedChunkCount = 8;

}  // namespace

PngCodec::PngCodec() {
    reset();
}

void PngCodec::reset() {
    progress_ = nullptr;
    file_ = nullptr;
    reading_ = 0;
    writing_ = 0;
    png_ = nullptr;
    info_ = nullptr;
    bitsPerPixel_ = 0;
    format_ = PixelFormat{};
    paletteSize_ = 0;
    width_ = 0;
    height_ = 0;
    image_ = nullptr;
}

int PngCodec::close() {
    if (png_ != nullptr) {
        if (writing_ != 0)
            png_destroy_write_struct(&png_, &info_);
        else
            png_destroy_read_struct(&png_, &info_, nullptr);
    }
    if (file_ != nullptr) std::fclose(file_);
    output_.discard();
    scratch_.release();
    palette_.release();
    rows_.release();
    reset();
    return 1;
}

int PngCodec::decline() {
    close();
    return 0;
}

int PngCodec::open(const char* path, PixelImage& image, ProgressCallback progress) {
    close();
    if (path == nullptr) return 0;
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr || std::fseek(file_, 0, SEEK_SET) != 0) return decline();
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, file_, pngRaiseError, nullptr);
    if (png_ == nullptr) return decline();
    reading_ = 1;
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) return decline();

    if (setjmp(png_jmpbuf(png_)) != 0) return decline();
    png_set_read_fn(png_, file_, pngReadData);
    png_set_user_limits(png_, kMaxPngSide, kMaxPngSide);
    png_set_chunk_malloc_max(png_, kMaxPngChunkBytes);
    png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
    png_read_info(png_, info_);  // checks the signature
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png_, info_, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (bitDepth > 8 || static_cast<int64_t>(width) * height > kMaxPixels) return decline();

    png_set_packing(png_);  // samples of 1, 2 or 4 bits become one byte each
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(png_, info_, &entries, &count);
        if (count < 1) return decline();
        format_ = PngPalette;
        bitsPerPixel_ = 8;
        paletteSize_ = count;
    } else if ((colourType & PNG_COLOR_MASK_COLOR) != 0) {
        const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
        format_ = alpha ? PngRgba : PngRgb;
        bitsPerPixel_ = alpha ? 32 : 24;
    } else {
        if (bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png_);
        // An 8-bit grey image has no room for the alpha of grey-alpha files.
        if ((colourType & PNG_COLOR_MASK_ALPHA) != 0) png_set_strip_alpha(png_);
        format_ = PngGrey;
        bitsPerPixel_ = 8;
    }
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    image_ = &image;
    progress_ = progress;
    return 1;
}

int PngCodec::failRead() {
    notifyProgress(progress_, Reading, height_ - 1, height_);
    close();
    return 0;
}

int PngCodec::read() {
    if (reading_ == 0) return decline();
    if (setjmp(png_jmpbuf(png_)) != 0) return failRead();
    const bool fits = image_->bitsPerPixel() == bitsPerPixel_ &&
                      image_->paletteSize() == paletteSize_ && image_->width() == width_ &&
                      image_->height() == height_;
    if (!fits && image_->create(width_, height_, bitsPerPixel_, paletteSize_) == 0)
        return failRead();
    if (format_ == PngPalette && copyPaletteIn() == 0) return failRead();
    png_bytep* rows = pointRows(*image_);
    if (rows == nullptr) return failRead();

    setGamma();
    png_set_swap_alpha(png_);  // RGBA arrives as the image's alpha, red, green, blue
    const int passes = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    if (png_get_rowbytes(png_, info_) != static_cast<std::size_t>(image_->rowStride()))
        return failRead();
    for (int pass = 0; pass < passes; ++pass) {
        for (int32_t y = 0; y < height_; ++y) {
            png_read_rows(png_, rows + y, nullptr, 1);
            notifyProgress(progress_, Reading, y, height_);
        }
    }
    png_read_end(png_, info_);
    notifyProgress(progress_, Reading, height_ - 1, height_);
    close();
    return 1;
}

// Red, green and blue of each PLTE entry; alpha and key stay unset.
int PngCodec::copyPaletteIn() {
    png_colorp entries = nullptr;
    int count = 0;
    png_get_PLTE(png_, info_, &entries, &count);
    if (count > kMaxPaletteEntries) return 0;
    PaletteEntry* target = image_->paletteEntries();
    const uint32_t room = image_->palette().count();
    for (int i = 0; i < count && static_cast<uint32_t>(i) < room; ++i) {
        target[i].red = entries[i].red;
        target[i].green = entries[i].green;
        target[i].blue = entries[i].blue;
    }
    return 1;
}

void PngCodec::setGamma() {
    int intent = 0;
    double fileGamma = kDefaultFileGamma;
    if (png_get_sRGB(png_, info_, &intent) == 0) png_get_gAMA(png_, info_, &fileGamma);
    png_set_gamma(png_, kScreenGamma, fileGamma);
}

// A table of row pointers into `source`, top row first; null when it cannot
// be allocated.
png_bytep* PngCodec::pointRows(const PixelImage& source) {
    const int64_t bytes = static_cast<int64_t>(height_) * sizeof(png_bytep);
    if (bytes > INT32_MAX || rows_.allocate(static_cast<int32_t>(bytes)) == 0) return nullptr;
    png_bytep* rows = reinterpret_cast<png_bytep*>(rows_.data());
    for (int32_t y = 0; y < height_; ++y) rows[y] = source.row(y);
    return rows;
}

int PngCodec::openForWrite(const char* path, PixelImage& image, int bitsPerPixel, int paletteSize,
                           ProgressCallback progress) {
    close();
    if (bitsPerPixel == 8 && paletteSize >= 1 && paletteSize <= kMaxPaletteEntries) {
        format_ = PngPalette;
        paletteSize_ = paletteSize;
    } else if (bitsPerPixel == 24) {
        format_ = PngRgb;
    } else if (bitsPerPixel == 32) {
        format_ = PngRgba;
    } else {
        return decline();
    }
    if (path == nullptr || output_.create(path) == 0) return decline();
    bitsPerPixel_ = bitsPerPixel;
    progress_ = progress;
    writing_ = 1;
    image_ = &image;
    width_ = image.width();
    height_ = image.height();
    if (width_ < 1 || height_ < 1) return decline();
    return 1;
}

int PngCodec::failWrite() {
    notifyProgress(progress_, Writing, height_ - 1, height_);
    close();
    return 0;
}

int PngCodec::write() {
    if (writing_ == 0) return decline();
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, output_.stream(), pngRaiseError, nullptr);
    if (png_ == nullptr) return failWrite();
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr || palette_.allocate(kPaletteBufferBytes) == 0) return failWrite();
    png_set_write_fn(png_, output_.stream(), pngWriteData, pngFlushData);

    if (setjmp(png_jmpbuf(png_)) != 0) return failWrite();
    PixelImage* source = image_;
    if (image_->bitsPerPixel() != bitsPerPixel_ || image_->paletteSize() != paletteSize_) {
        if (image_->convertTo(scratch_, bitsPerPixel_, paletteSize_) == 0) return failWrite();
        source = &scratch_;
    }
    int colourType = PNG_COLOR_TYPE_RGB;
    int entries = 0;
    if (format_ == PngPalette) {
        colourType = PNG_COLOR_TYPE_PALETTE;
        entries = copyPaletteOut(*source);
        if (entries == 0) return failWrite();
    } else if (format_ == PngRgba) {
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        moveAlphaLast(*source);
    }
    png_set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_),
                 8, colourType, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png_, info_, reinterpret_cast<png_colorp>(palette_.data()), entries);
    png_write_info(png_, info_);
    const int passes = png_set_interlace_handling(png_);
    png_bytep* rows = pointRows(*source);
    if (rows == nullptr) return failWrite();
    for (int pass = 0; pass < passes; ++pass) {
        for (int32_t y = 0; y < height_; ++y) {
            png_write_rows(png_, rows + y, 1);
            notifyProgress(progress_, Writing, y, height_);
        }
    }
    png_write_end(png_, info_);
    if (output_.commit() == 0) return failWrite();
    notifyProgress(progress_, Writing, height_ - 1, height_);
    close();
    return 1;
}

// Fills the PLTE buffer with as many of the wanted entries as the image
// holds; their number, 0 when there are none.
int PngCodec::copyPaletteOut(const PixelImage& source) {
    uint32_t count = source.palette().count();
    if (count > static_cast<uint32_t>(paletteSize_)) count = static_cast<uint32_t>(paletteSize_);
    const PaletteEntry* entries = source.paletteEntries();
    unsigned char* out = palette_.data();
    for (uint32_t i = 0; i < count; ++i, out += 3) {
        out[0] = entries[i].red;
        out[1] = entries[i].green;
        out[2] = entries[i].blue;
    }
    return static_cast<int>(count);
}

// Alpha, red, green, blue becomes red, green, blue, alpha, row by row.
void PngCodec::moveAlphaLast(PixelImage& source) {
    for (int32_t y = 0; y < height_; ++y) {
        unsigned char* pixel = source.row(y);
        for (int32_t x = 0; x < width_; ++x, pixel += 4) {
            const unsigned char alpha = pixel[0];
            std::memmove(pixel, pixel + 1, 3);
            pixel[3] = alpha;
        }
        notifyProgress(progress_, Writing, y, height_);
    }
}

}  // namespace imgconv
