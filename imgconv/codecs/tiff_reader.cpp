#include "imgconv/codecs/tiff_reader.h"

#include <tiffio.h>

#include "imgconv/codecs/rgb_target.h"
#include "imgconv/file_util.h"
#include "imgconv/mapped_file.h"
#include "imgconv/pixel_format.h"

// All of the format is libtiff's. The reader asks for the first directory's
// ImageWidth (256) and ImageLength (257) and has the picture decoded as one
// 32-bit RGBA value per pixel, bottom row first.

namespace imgconv {

namespace {

// libtiff reports to stderr unless told otherwise; this reader is offered
// every file the user drops, so nothing of libtiff may ever be printed.
void silenceLibtiff() {
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
}

}  // namespace

int TiffReader::open(const char* path, PixelImage& image, ProgressCallback progress) {
    close();
    silenceLibtiff();
    if (path == nullptr) return 0;
    // "m": read through the stream, never a memory mapping of the source, so
    // a file cut short by someone else while it is read gives a read error
    // instead of killing the process.
    tiff_ = TIFFOpen(path, "rm");
    if (tiff_ == nullptr) return 0;
    TIFFGetField(tiff_, TIFFTAG_IMAGEWIDTH, &width_);
    TIFFGetField(tiff_, TIFFTAG_IMAGELENGTH, &height_);
    if (width_ == 0 || height_ == 0 ||
        static_cast<uint64_t>(width_) * height_ > static_cast<uint64_t>(kMaxPixels)) {
        close();
        return 0;
    }
    progress_ = progress;
    image_ = &image;
    format_ = TiffRgba;
    opened_ = true;
    return 1;
}

int TiffReader::read() {
    const int ok = opened_ ? decode() : 0;
    notifyProgress(progress_, Reading, static_cast<int32_t>(height_) - 1,
                   static_cast<int32_t>(height_));
    close();
    return ok;
}

int TiffReader::decode() {
    const int32_t width = static_cast<int32_t>(width_);
    const int32_t height = static_cast<int32_t>(height_);
    PixelImage& image = *image_;
    if (prepareRgbImage(image, width, height) == 0) return 0;

    MappedFile raster;
    if (raster.create(static_cast<std::size_t>(width_) * height_ * 4, kTempFilePrefix) == 0)
        return 0;
    auto* samples = reinterpret_cast<uint32_t*>(raster.data());
    // Not stopping at the first decoding error lets a file with a damaged
    // strip still show the rest of its picture.
    const int ok = TIFFReadRGBAImage(tiff_, width_, height_, samples, 0);
    if (ok) {
        for (int32_t y = 0; y < height; ++y) {
            // The raster's first row is the picture's bottom row.
            const uint32_t* from = samples + static_cast<std::size_t>(height - 1 - y) * width_;
            unsigned char* rgb = image.row(y);
            for (int32_t x = 0; x < width; ++x, rgb += 3) {
                rgb[0] = static_cast<unsigned char>(TIFFGetR(from[x]));
                rgb[1] = static_cast<unsigned char>(TIFFGetG(from[x]));
                rgb[2] = static_cast<unsigned char>(TIFFGetB(from[x]));
            }
            notifyProgress(progress_, Reading, y, height);
        }
    }
    raster.release(1);
    return ok ? 1 : 0;
}

int TiffReader::close() {
    if (tiff_ != nullptr) TIFFClose(tiff_);
    progress_ = nullptr;
    tiff_ = nullptr;
    opened_ = false;
    width_ = height_ = 0;
    format_ = 0;
    image_ = nullptr;
    return 1;
}

}  // namespace imgconv
