#pragma once

#include <cstdint>
#include <cstdio>

#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

namespace imgconv {

// Reads Windows and OS/2 bitmaps of 24 bits per pixel stored as plain rows
// into a 24-bit image. Bitmaps of other depths and run-length bitmaps are
// recognised by their headers and declined.
class BmpReader {
  public:
    BmpReader() = default;
    BmpReader(const BmpReader&) = delete;
    BmpReader& operator=(const BmpReader&) = delete;
    ~BmpReader() { close(); }

    // 1 when the file is a bitmap this reader decodes and its headers are
    // usable: the file then stays open and `image` is remembered for `read`.
    // 0 declines and leaves the reader closed.
    int open(const char* path, PixelImage& image, ProgressCallback progress);
    // Decodes the rows into the image given to `open` (made anew unless it
    // already is 24 bits of the same size). Closes the reader whatever the
    // outcome. 1 or 0.
    int read();
    // Closes the file and forgets everything; safe on a closed reader.
    int close();

    // Bmp24 or Os2Bmp24 while a file is open, 0 otherwise.
    int format() const { return format_; }

    // The PixelFormat (Bmp1 to Os2Bmp24) that the headers of the file at
    // `path` declare, whether or not `open` accepts it; 0 when the file is no
    // bitmap with usable headers.
    static int classify(const char* path);

  private:
    int readHeaders(const char* path);
    int readRows();

    ProgressCallback progress_ = nullptr;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    int64_t fileLength_ = 0;
    uint32_t pixelOffset_ = 0;
    int format_ = 0;
    // As declared; `open` accepts at most kMaxPixels of them.
    int64_t width_ = 0;
    int64_t height_ = 0;
    bool bottomUp_ = false;
    PixelImage* image_ = nullptr;
};

}  // namespace imgconv
