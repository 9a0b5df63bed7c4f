#pragma once

#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// One side of a snapshot's target size, worked out from the source's side:
//   0           the source's own value;
//   positive    that many pixels;
//   negative -p the source value x p / 100, rounded half away from zero,
//               p raised to 10 when below it (-5 gives 10 percent).
// A result that does not fit 32 bits is -1; anything 0 or less means the
// snapshot fails.
int32_t targetExtent(int32_t sourceExtent, int32_t requested);

// The pixels a snapshot of `bitmap` holds: the bitmap made opaque (a screen
// has no alpha) and scaled to the target size (see targetExtent), smoothly
// on a screen of more than 16 bits per pixel (`screenDepth`), by pixel
// picking otherwise. An empty bitmap when the bitmap is empty or a target
// side is 0 or less.
Bitmap bitmapAtTargetSize(const Bitmap& bitmap, int32_t width, int32_t height, int32_t screenDepth);

// bitmapAtTargetSize of the bitmap, as the complete bytes of
// an uncompressed 24-bit BMP file: a 14-byte file header, a 40-byte info
// header, no colour table, then the rows bottom row first, each pixel blue,
// green, red, every row padded with zeros to a multiple of 4 bytes. Empty
// bytes when there are no such pixels or the file would not fit 32-bit
// sizes.
PictureBytes bitmapToBmpBytes(const Bitmap& bitmap, int32_t width, int32_t height,
                              int32_t screenDepth);

}  // namespace lanzhou
