#pragma once

#include <cstdint>
#include <cstdio>

#include "imgconv/mapped_file.h"
#include "imgconv/path_string.h"
#include "imgconv/pixel_format.h"
#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

namespace imgconv {

// Reads one of the three smallest images of a Photo CD image pack into a
// 24-bit image: resolution 0 is 192 x 128, 1 is 384 x 256, 2 is 768 x 512.
class PcdReader {
  public:
    PcdReader() = default;
    PcdReader(const PcdReader&) = delete;
    PcdReader& operator=(const PcdReader&) = delete;
    ~PcdReader() { close(); }

    // 1 when the file is an image pack of at least 1 MiB and the resolution
    // (its low 8 bits) is 0, 1 or 2; the file stays open and the image is
    // only remembered. 0 (and closed) otherwise.
    int open(const char* path, PixelImage& image, int resolution, ProgressCallback progress);
    // Decodes the chosen image into the image given to `open`; always
    // closes. On failure the image is left empty.
    int read();
    int close();

  private:
    // Fills the image pair of rows by pair of rows; `rows` holds the two
    // luma rows and the chroma row of the current pair.
    int decode(MappedFile (&rows)[3]);

    ProgressCallback progress_ = nullptr;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int format_ = 0;
    int32_t bitsPerPixel_ = 0;
    PixelImage* image_ = nullptr;
    PathString path_;
};

}  // namespace imgconv
