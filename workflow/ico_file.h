#pragma once

#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// The largest side an ICO directory entry can state.
constexpr int32_t kMaxIcoSide = 256;

// Whether `bytes` already are an ICO file: an icon directory (reserved 0,
// type 1, at least one entry) whose entries all lie inside the bytes.
bool isIcoFile(const PictureBytes& bytes);

// A one-image ICO file of `image` (at most 256 x 256): the icon directory,
// one directory entry, and the image as a 32-bit DIB with its AND mask, set
// exactly where alpha is 0. Empty bytes for an empty or too large image.
PictureBytes bitmapToIcoFile(const Bitmap& image);

// `image` itself when it fits 256 x 256, otherwise scaled down smoothly to
// fit, keeping its aspect ratio (each side at least 1 pixel).
Bitmap fitIcoSize(const Bitmap& image);

}  // namespace lanzhou
