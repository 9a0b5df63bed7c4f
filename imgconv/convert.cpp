#include "imgconv/codecs/jpeg_codec.h"
#include "imgconv/codecs/png_codec.h"
#include "imgconv/imgconv.h"
#include "imgconv/load_any_image.h"

using imgconv::JpegCodec;
using imgconv::LoadAnyImage;
using imgconv::PixelImage;
using imgconv::PngCodec;

namespace {

bool present(const char* path) {
    return path != nullptr && path[0] != '\0';
}

}  // namespace

// The image and the codec are locals: both are closed and released on every
// return, so a finished conversion leaves no temporary file behind.
extern "C" int ConvertToJpeg(const char* source, const char* target, int grey, int quality,
                             int optimise, int smoothing) {
    PixelImage image;
    JpegCodec codec;
    if (!present(source) || !present(target) || quality < 1 || quality > 100 || smoothing < 0 ||
        smoothing > 100)
        return BadArgument;

    const int loaded = LoadAnyImage(source, image);
    if (loaded != Ok) return loaded;
    const int colour = grey == 1 ? 0 : 1;
    if (codec.write(target, image, quality, colour, optimise, smoothing, nullptr) != 1)
        return WriteFailed;
    return Ok;
}

extern "C" int ConvertToPng(const char* source, const char* target, int bitsPerPixel) {
    PixelImage image;
    PngCodec codec;
    if (!present(source) || !present(target) || bitsPerPixel != 24) return BadArgument;

    const int loaded = LoadAnyImage(source, image);
    if (loaded != Ok) return loaded;
    if (codec.openForWrite(target, image, 24, 0, nullptr) != 1) return WriteFailed;
    if (codec.write() != 1) return WriteFailed;
    return Ok;
}
