#pragma once

#include "workflow/bitmap.h"

namespace lanzhou::test {

// Reads the bytes of a 24-bit bottom-up BMP file back into a bitmap (alpha
// 255), checking with gtest every header field and that the row padding
// is zero. An empty bitmap when the bytes are too short to hold a header.
Bitmap readBmp24(const PictureBytes& bytes);

}  // namespace lanzhou::test
