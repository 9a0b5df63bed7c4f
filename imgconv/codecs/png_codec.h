#pragma once

#include <cstdint>
#include <cstdio>

#include <png.h>

#include "imgconv/byte_block.h"
#include "imgconv/output_file.h"
#include "imgconv/pixel_format.h"
#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

namespace imgconv {

// Reads PNG files of up to 8 bits per sample into a PixelImage and writes a
// PixelImage as an Adam7-interlaced PNG of 8 bits per sample, all through
// libpng. Layouts read: grey (with or without alpha, the alpha dropped) as
// 8-bit grey, palette as 8-bit indexed, RGB as 24 bits, RGB with alpha as
// 32 bits (alpha, red, green, blue). One object holds one read or one write
// at a time; results are 1 or 0.
class PngCodec {
  public:
    PngCodec();
    PngCodec(const PngCodec&) = delete;
    PngCodec& operator=(const PngCodec&) = delete;
    ~PngCodec() { close(); }

    // Accepts a file whose signature and header libpng reads and whose
    // samples have at most 8 bits; the header is read for `read`. Declines
    // (0, closed) otherwise.
    int open(const char* path, PixelImage& image, ProgressCallback progress);
    // Decodes every row into the image given to `open`; always closes.
    int read();
    // Releases the file and libpng's structures; safe at any time.
    int close();

    // Prepares writing `image` to `path`: bitsPerPixel 8 with paletteSize
    // 1..256 gives a palette PNG, 24 RGB, 32 RGB with alpha; anything else
    // fails before a file is made. The image is borrowed until `write`.
    int openForWrite(const char* path, PixelImage& image, int bitsPerPixel, int paletteSize,
                     ProgressCallback progress);
    // Encodes the image, converted as needed. RGBA output reorders the
    // pixels it encodes in place: the caller's image when it already has 32
    // bits. The target changes only when the whole file is written.
    int write();

  private:
    int decline();
    int failRead();
    int failWrite();
    void reset();
    int copyPaletteIn();
    int copyPaletteOut(const PixelImage& source);
    void moveAlphaLast(PixelImage& source);
    void setGamma();
    png_bytep* pointRows(const PixelImage& source);

    ProgressCallback progress_;
    std::FILE* file_;
    int reading_;
    int writing_;
    png_structp png_;
    png_infop info_;
    int32_t bitsPerPixel_;
    PixelFormat format_;
    int32_t paletteSize_;
    int32_t width_;
    int32_t height_;
    PixelImage* image_;
    // Members rather than locals: no object with a destructor may sit in a
    // frame that a jump back to the recovery point leaves.
    PixelImage scratch_;
    ByteBlock palette_;
    ByteBlock rows_;
    OutputFile output_;
};

}  // namespace imgconv
