#pragma once

#include <cstdint>
#include <string>

#include "workflow/bitmap.h"

namespace lanzhou {

// The icon of the file at `path`, best fitting a square of `side` pixels,
// at the size the file holds it:
//   a Windows program or library: its `index`-th icon group;
//   an .ico file: its icon (index 0 only);
//   a desktop entry (a name ending ".desktop"): its Icon key through the
//     installed icon theme lookup (index 0 only).
// An empty bitmap for every other file and every broken one.
Bitmap extractFileIcon(const std::string& path, int32_t index, int32_t side);

}  // namespace lanzhou
