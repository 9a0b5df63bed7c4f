#pragma once

#include <cstddef>
#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// Whether the bytes start with the PNG signature.
bool isPng(const unsigned char* data, std::size_t size);

// Decodes a whole PNG file held in memory, of any colour type and depth,
// into straight-alpha pixels. An empty bitmap when the bytes are no PNG, are
// broken, or either side exceeds `maxSide`.
Bitmap decodePng(const unsigned char* data, std::size_t size, int32_t maxSide);

}  // namespace lanzhou
