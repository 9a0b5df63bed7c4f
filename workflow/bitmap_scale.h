#pragma once

#include <cstdint>

#include "workflow/bitmap.h"

namespace lanzhou {

// Resamples `source` to width x height without keeping the aspect ratio.
// Smooth scaling averages the covered source area when shrinking and
// interpolates linearly when enlarging, weighting colours by their alpha so
// that transparent pixels leave no fringe; otherwise each target pixel is the
// source pixel under its centre. An empty bitmap on a bad size or when the
// memory cannot be had.
Bitmap scaleBitmap(const Bitmap& source, int32_t width, int32_t height, bool smooth);

// Screens of more than 16 bits per pixel get smooth scaling; fewer colours
// only get pixel picking, which adds no new colours.
constexpr bool smoothScalingForDepth(int32_t screenDepth) {
    return screenDepth > 16;
}

}  // namespace lanzhou
