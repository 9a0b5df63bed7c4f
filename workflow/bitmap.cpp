#include "workflow/bitmap.h"

#include <new>

namespace lanzhou {

Bitmap makeBitmap(int32_t width, int32_t height, uint32_t fill) {
    Bitmap bitmap;
    if (width <= 0 || height <= 0) return bitmap;
    if (static_cast<int64_t>(width) * height > kMaxBitmapPixels) return bitmap;
    try {
        bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                             fill);
    } catch (const std::bad_alloc&) {
        return Bitmap();
    }
    bitmap.width = width;
    bitmap.height = height;
    return bitmap;
}

}  // namespace lanzhou
