#include "imgconv/codecs/jpeg_codec.h"

#include <csetjmp>
#include <cstring>

namespace imgconv {

namespace {

// Every JPEG file starts with the start-of-image marker.
constexpr unsigned char kStartOfImage[2] = {0xFF, 0xD8};

// The image depth of a file layout: RGB or grey.
int32_t depthOf(PixelFormat format) {
    return format == JpegRgb ? 24 : 8;
}

}  // namespace

JpegCodec::JpegCodec() {
    reset();
}

void JpegCodec::reset() {
    progress_ = nullptr;
    file_ = nullptr;
    decompressing_ = 0;
    compressing_ = 0;
    std::memset(&decompressor_, 0, sizeof(decompressor_));
    std::memset(&compressor_, 0, sizeof(compressor_));
    std::memset(&errors_, 0, sizeof(errors_));
    std::memset(&scanLimit_, 0, sizeof(scanLimit_));
    format_ = PixelFormat{};
    width_ = 0;
    height_ = 0;
    image_ = nullptr;
}

int JpegCodec::close() {
    if (decompressing_ != 0) jpeg_destroy_decompress(&decompressor_);
    if (compressing_ != 0) jpeg_destroy_compress(&compressor_);
    if (file_ != nullptr) std::fclose(file_);
    output_.discard();
    scratch_.release();
    reset();
    return 1;
}

int JpegCodec::decline() {
    close();
    return 0;
}

int JpegCodec::open(const char* path, PixelImage& image, ProgressCallback progress) {
    close();
    if (path == nullptr) return 0;
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return 0;
    unsigned char marker[2];
    if (std::fread(marker, 1, 2, file_) != 2 || std::memcmp(marker, kStartOfImage, 2) != 0 ||
        std::fseek(file_, 0, SEEK_SET) != 0)
        return decline();

    decompressor_.err = installJpegErrors(errors_);
    if (setjmp(errors_.recovery) != 0) return decline();
    decompressing_ = 1;
    jpeg_CreateDecompress(&decompressor_, JPEG_LIB_VERSION, sizeof(decompressor_));
    limitJpegScans(decompressor_, scanLimit_);
    jpeg_stdio_src(&decompressor_, file_);
    jpeg_read_header(&decompressor_, TRUE);
    // Before decompression starts: a progressive file makes libjpeg allocate
    // room for the whole picture there.
    if (static_cast<int64_t>(decompressor_.image_width) * decompressor_.image_height > kMaxPixels)
        return decline();
    jpeg_start_decompress(&decompressor_);

    const int components = decompressor_.out_color_components;
    if (decompressor_.output_width < 1 || decompressor_.output_height < 1 ||
        (components != 1 && components != 3))
        return decline();
    width_ = static_cast<int32_t>(decompressor_.output_width);
    height_ = static_cast<int32_t>(decompressor_.output_height);
    format_ = components == 3 ? JpegRgb : JpegGrey;
    image_ = &image;
    progress_ = progress;
    return 1;
}

int JpegCodec::failRead() {
    notifyProgress(progress_, Reading, height_ - 1, height_);
    close();
    return 0;
}

int JpegCodec::read() {
    if (decompressing_ == 0) return decline();
    decompressor_.err = installJpegErrors(errors_);
    if (setjmp(errors_.recovery) != 0) return failRead();
    if (image_->create(width_, height_, depthOf(format_), 0) == 0) return failRead();

    // libjpeg's RGB order is the image's 24-bit layout: rows go straight in.
    while (decompressor_.output_scanline < decompressor_.output_height) {
        const int32_t y = static_cast<int32_t>(decompressor_.output_scanline);
        JSAMPROW row = image_->row(y);
        if (jpeg_read_scanlines(&decompressor_, &row, 1) != 1) return failRead();
        notifyProgress(progress_, Reading, y, height_);
    }
    notifyProgress(progress_, Reading, height_ - 1, height_);
    close();
    return 1;
}

int JpegCodec::failWrite() {
    notifyProgress(progress_, Writing, height_ - 1, height_);
    close();
    return 0;
}

int JpegCodec::write(const char* path, const PixelImage& image, int quality, int colour,
                     int optimise, int smoothing, ProgressCallback progress) {
    close();
    if (path == nullptr || quality < 1 || quality > 100 || image.width() < 1 ||
        image.height() < 1 || smoothing < 0 || smoothing > 100)
        return 0;
    width_ = image.width();
    height_ = image.height();
    progress_ = progress;

    compressor_.err = installJpegErrors(errors_);
    if (setjmp(errors_.recovery) != 0) return failWrite();
    compressing_ = 1;
    jpeg_CreateCompress(&compressor_, JPEG_LIB_VERSION, sizeof(compressor_));
    if (output_.create(path) == 0) return failWrite();
    jpeg_stdio_dest(&compressor_, output_.stream());

    compressor_.image_width = static_cast<JDIMENSION>(width_);
    compressor_.image_height = static_cast<JDIMENSION>(height_);
    if (colour == 1) {
        compressor_.input_components = 3;
        compressor_.in_color_space = JCS_RGB;
        format_ = JpegRgb;
    } else {
        compressor_.input_components = 1;
        compressor_.in_color_space = JCS_GRAYSCALE;
        format_ = JpegGrey;
    }
    jpeg_set_defaults(&compressor_);
    compressor_.optimize_coding = optimise != 0 ? TRUE : FALSE;
    compressor_.smoothing_factor = smoothing;
    jpeg_set_quality(&compressor_, quality, TRUE);
    jpeg_start_compress(&compressor_, TRUE);

    // Indexed and colour pixels become grey levels, other depths RGB.
    const PixelImage* source = &image;
    const int32_t depth = depthOf(format_);
    if (image.bitsPerPixel() != depth || image.paletteSize() != 0) {
        if (image.convertTo(scratch_, depth, 0) == 0) return failWrite();
        source = &scratch_;
    }
    while (compressor_.next_scanline < compressor_.image_height) {
        const int32_t y = static_cast<int32_t>(compressor_.next_scanline);
        JSAMPROW row = source->row(y);
        if (jpeg_write_scanlines(&compressor_, &row, 1) != 1) return failWrite();
        notifyProgress(progress_, Writing, y, height_);
    }
    jpeg_finish_compress(&compressor_);
    if (output_.commit() == 0) return failWrite();
    notifyProgress(progress_, Writing, height_ - 1, height_);
    close();
    return 1;
}

}  // namespace imgconv
