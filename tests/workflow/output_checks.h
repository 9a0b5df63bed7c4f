#pragma once

#include <QImage>
#include <cstdint>
#include <string>

#include "tests/imgconv/codec_test_support.h"
#include "workflow/bitmap.h"

namespace lanzhou::test {

// The little-endian field of `size` bytes at `offset`.
uint32_t fieldAt(const PictureBytes& bytes, std::size_t offset, int size);

// The image Qt's ICO reader finds in the bytes, in Format_ARGB32; a gtest
// failure and a null image when it finds none.
QImage readIcoWithQt(const PictureBytes& bytes);

// Reads an ICO file of ours back, checking with gtest on the way: the
// directory (reserved 0, type 1, one entry whose width and height bytes
// give the image's size, 0 meaning 256, whose image lies at offset 22 and
// fills the rest of the file), the 32-bit BITMAPINFOHEADER with doubled
// height, and the AND mask, set exactly where alpha is 0. Qt's ICO reader
// must see the same size and pixels. The pixels as stored; an empty bitmap
// when the bytes are too short for a directory.
Bitmap readIcoFile(const PictureBytes& bytes);

// The file is a PNG of 8-bit RGB samples, Adam7-interlaced, width x height,
// as libpng reads it; its pixels.
Picture expectRgbPng(const std::string& path, int width, int height);

// The file is a colour JPEG of width x height, as libjpeg reads it; its pixels.
Picture expectColourJpeg(const std::string& path, int width, int height);

// Whether a pixel is opaque and within `tolerance` of 0xRRGGBB in each colour.
bool near(uint32_t argb, uint32_t rgb, int tolerance);
// One pixel of a decoded picture of three 8-bit samples, as 0xAARRGGBB.
uint32_t rgbAt(const Picture& picture, int x, int y);

}  // namespace lanzhou::test
