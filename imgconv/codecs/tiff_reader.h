#pragma once

#include <cstdint>

#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

// libtiff's handle, declared by tiffio.h.
struct tiff;

namespace imgconv {

// Reads the first directory of a TIFF file into a 24-bit image through
// libtiff's whole-picture RGBA interface, so every layout libtiff can turn
// into red, green and blue is read; alpha is dropped.
class TiffReader {
  public:
    TiffReader() = default;
    TiffReader(const TiffReader&) = delete;
    TiffReader& operator=(const TiffReader&) = delete;
    ~TiffReader() { close(); }

    // 1 when libtiff opens the file and its first directory declares a
    // picture of 1 to kMaxPixels pixels: the handle then stays open and
    // `image` is remembered for `read`. 0 declines and leaves the reader
    // closed.
    int open(const char* path, PixelImage& image, ProgressCallback progress);
    // Decodes the picture into the image given to `open` (made anew unless it
    // already is 24 bits of the same size). Closes the reader whatever the
    // outcome. 1 or 0.
    int read();
    // Closes the handle and forgets everything; safe on a closed reader.
    int close();

    // TiffRgba while a file is open, 0 otherwise.
    int format() const { return format_; }

  private:
    int decode();

    ProgressCallback progress_ = nullptr;
    tiff* tiff_ = nullptr;
    bool opened_ = false;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    int format_ = 0;
    PixelImage* image_ = nullptr;
};

}  // namespace imgconv
