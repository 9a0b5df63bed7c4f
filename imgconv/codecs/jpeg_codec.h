#pragma once

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "imgconv/codecs/jpeg_errors.h"
#include "imgconv/output_file.h"
#include "imgconv/pixel_format.h"
#include "imgconv/pixel_image.h"
#include "imgconv/progress.h"

namespace imgconv {

// Reads baseline, progressive and arithmetic-coded JPEG files of one or
// three components into a PixelImage (8-bit grey or 24-bit RGB) and writes a
// PixelImage as a greyscale or colour JPEG, all through libjpeg. One object
// holds one read or one write at a time; results are 1 or 0.
class JpegCodec {
  public:
    JpegCodec();
    JpegCodec(const JpegCodec&) = delete;
    JpegCodec& operator=(const JpegCodec&) = delete;
    ~JpegCodec() { close(); }

    // Accepts a file that starts with FF D8 and whose header decodes to one or
    // three components and a usable size; the decoder stays started for
    // `read`. Declines (0, closed) otherwise.
    int open(const char* path, PixelImage& image, ProgressCallback progress);
    // Decodes every row into the image given to `open`; always closes.
    int read();
    // Releases the file and the decoder or encoder; safe at any time.
    int close();

    // Encodes `image` (any depth, converted as needed) into `path`: colour 1
    // gives three components, anything else one grey component. quality
    // 1..100 and smoothing 0..100; optimise non-zero asks for optimised
    // Huffman tables. The target changes only when the whole file is written.
    int write(const char* path, const PixelImage& image, int quality, int colour, int optimise,
              int smoothing, ProgressCallback progress);

  private:
    int decline();
    int failRead();
    int failWrite();
    void reset();

    ProgressCallback progress_;
    std::FILE* file_;
    int decompressing_;
    int compressing_;
    jpeg_decompress_struct decompressor_;
    jpeg_compress_struct compressor_;
    JpegErrors errors_;
    jpeg_progress_mgr scanLimit_;
    PixelFormat format_;
    int32_t width_;
    int32_t height_;
    PixelImage* image_;
    // Members rather than locals: no object with a destructor may sit in a
    // frame that a jump back to the recovery point leaves.
    PixelImage scratch_;
    OutputFile output_;
};

}  // namespace imgconv
