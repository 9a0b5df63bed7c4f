#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "workflow/bitmap.h"

namespace lanzhou::workflow {

// What `window` shows now, its border included (kNoWindow: the primary
// screen), as the complete bytes of a 24-bit BMP file of the target size
// (bmp_bytes.h: 0 keeps a side, a positive value is that many pixels, -p is
// p percent). Empty bytes for a window that is gone or a target side of 0
// or less.
PictureBytes snapshotWindow(platform::Platform& platform, platform::WindowHandle window,
                            int32_t width = 0, int32_t height = 0);

// The pixels of the same snapshot: opaque, at the target size.
Bitmap snapshotPixels(platform::Platform& platform, platform::WindowHandle window, int32_t width,
                      int32_t height);

}  // namespace lanzhou::workflow
