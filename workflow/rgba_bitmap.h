#pragma once

#include "platform/platform.h"
#include "workflow/bitmap.h"

namespace lanzhou::workflow {

// The platform's RGBA bytes as a bitmap of 0xAARRGGBB pixels, alpha kept; an
// empty bitmap when the image is empty, its bytes do not fill it exactly, or
// it is too large for a bitmap.
Bitmap bitmapFromRgba(const platform::RgbaImage& image);

}  // namespace lanzhou::workflow
