#pragma once

#include <cstddef>
#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// The icon of a Windows program or library (PE file, 32- or 64-bit) held in
// `data`: the `index`-th RT_GROUP_ICON resource in directory order (0 for
// the first), its image best fitting a square of `side` pixels, decoded.
// An empty bitmap when the bytes are no PE file, have no such icon, or any
// offset or size in them points outside the file.
Bitmap iconFromPeFile(const unsigned char* data, std::size_t size, int32_t index, int32_t side);

}  // namespace lanzhou
