#pragma once

#include "imgconv/pixel_image.h"

namespace imgconv {

// Offers the file to the readers in a fixed order (JPEG, BMP, TIFF, PNG, PCX,
// Photo CD) and keeps the first that accepts it. Returns Ok with the picture
// in `image`, SourceMissing, or SourceUnreadable (no reader took it, the one
// that took it failed, or the name is no regular file).
int LoadAnyImage(const char* path, PixelImage& image);

}  // namespace imgconv
