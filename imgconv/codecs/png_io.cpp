#include "imgconv/codecs/png_io.h"

#include <cstdio>

namespace imgconv {

namespace {

std::FILE* streamOf(png_structp png) {
    return static_cast<std::FILE*>(png_get_io_ptr(png));
}

}  // namespace

void pngReadData(png_structp png, png_bytep data, std::size_t length) {
    if (std::fread(data, length, 1, streamOf(png)) != 1) png_error(png, "reading png image error");
}

void pngWriteData(png_structp png, png_bytep data, std::size_t length) {
    if (std::fwrite(data, length, 1, streamOf(png)) != 1) png_error(png, "write png image error");
}

void pngFlushData(png_structp png) {
    if (std::fflush(streamOf(png)) != 0) png_error(png, "fulsh file error");
}

void pngRaiseError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

}  // namespace imgconv
