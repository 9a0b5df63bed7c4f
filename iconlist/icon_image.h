#pragma once

#include <cstddef>
#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// The largest side of an icon image we decode; real icons stop at 256.
constexpr int32_t kMaxIconImageSide = 1024;

// Decodes one image of an icon, as an .ico file or a program's RT_ICON
// resource holds it: a PNG file, or a DIB (BITMAPINFOHEADER with doubled
// height, plain rows of 1, 4, 8, 24 or 32 bits, then the 1-bit AND mask).
// Pixels the mask leaves transparent get alpha 0; a 32-bit image with any
// alpha keeps its own alpha instead. An empty bitmap for anything else.
Bitmap decodeIconImage(const unsigned char* data, std::size_t size);

}  // namespace lanzhou
