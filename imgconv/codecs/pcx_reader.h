#pragma once

#include <cstdint>
#include <cstdio>

#include "imgconv/mapped_file.h"
#include "imgconv/path_string.h"
#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

namespace imgconv {

// Reads a run-length encoded PCX file: one plane of 8 bits with the
// 256-colour palette at the end of the file becomes an 8-bit indexed image,
// three planes of 8 bits a 24-bit image. Other depths are declined.
class PcxReader {
  public:
    PcxReader() = default;
    PcxReader(const PcxReader&) = delete;
    PcxReader& operator=(const PcxReader&) = delete;
    ~PcxReader() { close(); }

    // 1 when the header describes a picture of 8 or 24 bits; the file stays
    // open and the image is only remembered. 0 (and closed) otherwise.
    int open(const char* path, PixelImage& image, ProgressCallback progress);
    // Decodes the whole file into the image given to `open`; always closes.
    // On failure the image is left empty.
    int read();
    int close();

  private:
    // Fills the image row by row from the compressed data, which it first
    // copies into `compressed`.
    int decode(MappedFile& compressed);
    int readPalette();

    ProgressCallback progress_ = nullptr;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    unsigned char header_[128] = {};
    int32_t depth_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    PixelImage* image_ = nullptr;
    PathString path_;
};

}  // namespace imgconv
