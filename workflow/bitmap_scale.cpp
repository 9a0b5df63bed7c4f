#include "workflow/bitmap_scale.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace lanzhou {
namespace {

// The source pixels one target pixel is made of, with weights adding up to 1.
struct Tap {
    int32_t index;
    double weight;
};
using Taps = std::vector<std::vector<Tap>>;

// Area averaging: target pixel i covers [i * S / T, (i + 1) * S / T) of the
// source, and each source pixel counts by the part of it that is covered.
Taps shrinkTaps(int32_t sourceSize, int32_t targetSize) {
    Taps taps(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int32_t i = 0; i < targetSize; ++i) {
        const double begin = i * scale;
        const double end = (i + 1) * scale;
        const int32_t first = static_cast<int32_t>(begin);
        const int32_t last = std::min(sourceSize - 1, static_cast<int32_t>(std::ceil(end)) - 1);
        for (int32_t j = first; j <= last; ++j) {
            const double covered = std::min(end, j + 1.0) - std::max(begin, static_cast<double>(j));
            if (covered > 0) taps[i].push_back({j, covered / scale});
        }
    }
    return taps;
}

// Linear interpolation between the two source pixels around the target
// pixel's centre; the edges repeat the outermost pixels.
Taps enlargeTaps(int32_t sourceSize, int32_t targetSize) {
    Taps taps(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int32_t i = 0; i < targetSize; ++i) {
        const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
        const int32_t left = static_cast<int32_t>(centre);
        const double fraction = centre - left;
        taps[i].push_back({left, 1.0 - fraction});
        if (fraction > 0) taps[i].push_back({left + 1, fraction});
    }
    return taps;
}

Taps smoothTaps(int32_t sourceSize, int32_t targetSize) {
    return targetSize < sourceSize ? shrinkTaps(sourceSize, targetSize)
                                   : enlargeTaps(sourceSize, targetSize);
}

// Alpha and alpha-weighted red, green, blue.
struct Premultiplied {
    float a = 0, r = 0, g = 0, b = 0;
};

Premultiplied premultiply(uint32_t argb) {
    const float a = static_cast<float>(alphaOf(argb));
    return {a, redOf(argb) * a, greenOf(argb) * a, blueOf(argb) * a};
}

void addWeighted(Premultiplied& sum, const Premultiplied& p, double weight) {
    const float w = static_cast<float>(weight);
    sum.a += p.a * w;
    sum.r += p.r * w;
    sum.g += p.g * w;
    sum.b += p.b * w;
}

uint32_t toByte(float value) {
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

uint32_t unpremultiply(const Premultiplied& p) {
    if (p.a <= 0) return 0;
    return makeArgb(toByte(p.a), toByte(p.r / p.a), toByte(p.g / p.a), toByte(p.b / p.a));
}

Bitmap scaleSmooth(const Bitmap& source, int32_t width, int32_t height) {
    if (static_cast<int64_t>(width) * source.height > kMaxBitmapPixels) return Bitmap();
    const Taps across = smoothTaps(source.width, width);
    const Taps down = smoothTaps(source.height, height);
    // First across every source row, then down every target column.
    std::vector<Premultiplied> rows(static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(source.height));
    for (int32_t y = 0; y < source.height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            Premultiplied sum;
            for (const Tap& tap : across[x])
                addWeighted(sum, premultiply(source.at(tap.index, y)), tap.weight);
            rows[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    Bitmap target = makeBitmap(width, height);
    if (target.empty()) return target;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            Premultiplied sum;
            for (const Tap& tap : down[y])
                addWeighted(sum, rows[static_cast<std::size_t>(tap.index) * width + x], tap.weight);
            target.at(x, y) = unpremultiply(sum);
        }
    }
    return target;
}

int32_t pickedIndex(int32_t i, int32_t sourceSize, int32_t targetSize) {
    return static_cast<int32_t>((2 * static_cast<int64_t>(i) + 1) * sourceSize /
                                (2 * static_cast<int64_t>(targetSize)));
}

Bitmap scalePicking(const Bitmap& source, int32_t width, int32_t height) {
    Bitmap target = makeBitmap(width, height);
    if (target.empty()) return target;
    std::vector<int32_t> columns(static_cast<std::size_t>(width));
    for (int32_t x = 0; x < width; ++x) columns[x] = pickedIndex(x, source.width, width);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sy = pickedIndex(y, source.height, height);
        for (int32_t x = 0; x < width; ++x) target.at(x, y) = source.at(columns[x], sy);
    }
    return target;
}

}  // namespace

Bitmap scaleBitmap(const Bitmap& source, int32_t width, int32_t height, bool smooth) {
    if (source.empty() || width <= 0 || height <= 0) return Bitmap();
    if (static_cast<int64_t>(width) * height > kMaxBitmapPixels) return Bitmap();
    try {
        return smooth ? scaleSmooth(source, width, height) : scalePicking(source, width, height);
    } catch (const std::bad_alloc&) {
        return Bitmap();
    }
}

}  // namespace lanzhou
