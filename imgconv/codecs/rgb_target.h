#pragma once

#include <cstdint>

#include "imgconv/pixel_image.h"

namespace imgconv {

// A reader decodes into the caller's image, which is made anew as a 24-bit
// picture of the given size unless it already is one. 1 or 0.
inline int prepareRgbImage(PixelImage& image, int32_t width, int32_t height) {
    if (image.bitsPerPixel() == 24 && image.width() == width && image.height() == height) return 1;
    return image.create(width, height, 24, 0);
}

}  // namespace imgconv
