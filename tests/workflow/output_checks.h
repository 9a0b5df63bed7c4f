#pragma once

#include <string>

#include "tests/imgconv/codec_test_support.h"
#include "workflow/bitmap.h"

namespace lanzhou::test {

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

}  // namespace lanzhou::test
