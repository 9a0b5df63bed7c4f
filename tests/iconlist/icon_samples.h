#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workflow/bitmap.h"

namespace lanzhou::test {

using Bytes = std::vector<unsigned char>;

// A side x side picture of `colours` colours in diagonal stripes, fully
// transparent (and black) in the top-left corner triangle; with
// `partialAlpha` the other pixels' alpha runs from 1 to 255 instead of 255.
Bitmap samplePicture(int32_t side, int colours, bool partialAlpha = false);

// One icon image as .ico files and RT_ICON resources hold it: a DIB with
// the given bits per pixel (1, 4, 8 with a palette of the picture's
// colours; 24; 32 with alpha) followed by the AND mask set where alpha is 0.
Bytes dibImage(const Bitmap& picture, int bits);

// One icon image as a PNG file, written by libpng.
Bytes pngImage(const Bitmap& picture);

struct IcoImage {
    int32_t width;
    int32_t height;
    int bits;
    Bytes data;
};
IcoImage dibIcoImage(const Bitmap& picture, int bits);
IcoImage pngIcoImage(const Bitmap& picture);

// An .ico file of the images in this order.
Bytes icoFile(const std::vector<IcoImage>& images);

// A resource-only Windows DLL built by the MinGW binutils from a resource
// script `rc` (file names in it relative to `dir`); `bits64` picks PE32+.
// The DLL's path, or empty text when the toolchain failed.
std::string buildResourceDll(const std::string& dir, const std::string& rc, bool bits64);

// File offset and size of the .rsrc section's data, found by its name in
// the section table; and its address in memory.
struct SectionPlace {
    std::size_t offset = 0;
    std::size_t size = 0;
    uint32_t virtualAddress = 0;
};
SectionPlace findSection(const Bytes& pe, const char* name);

// One little-endian field of 2 or 4 bytes set to another value: a hostile
// variant of a good file.
struct FieldPatch {
    const char* what;
    std::size_t offset;
    uint32_t value;
    int size;
};
Bytes patched(const Bytes& bytes, const FieldPatch& patch);

uint32_t dwordAt(const Bytes& bytes, std::size_t offset);
void setDword(Bytes& bytes, std::size_t offset, uint32_t value);
void setWord(Bytes& bytes, std::size_t offset, uint32_t value);

Bytes readBytes(const std::string& path);
bool writeBytes(const std::string& path, const Bytes& bytes);

}  // namespace lanzhou::test
