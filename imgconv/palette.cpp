#include "imgconv/palette.h"

#include <cstring>
#include <utility>

namespace imgconv {

namespace {

// One record of the colour histogram: a 15-bit colour code and its count.
struct ColourCount {
    uint32_t code;
    uint32_t count;
};

constexpr int kHistogramRecords = 65536;

// Quicksort by count, ascending, on inclusive indices. The partition order
// is kept exactly, since it decides which of several colours with the same
// count at the cut-off are chosen. Sub-ranges are disjoint, so handling them
// from an explicit stack, the smaller first, leaves the same order as
// recursion while keeping the stack small.
void sortByCount(ColourCount* records, int lo, int hi) {
    struct Range {
        int lo, hi;
    };
    Range pending[64];
    int depth = 0;
    for (;;) {
        const uint32_t pivot = records[(lo + hi) / 2].count;
        int i = lo;
        int j = hi;
        do {
            while (records[i].count < pivot && i < hi) ++i;
            while (records[j].count > pivot && j > lo) --j;
            if (i > j) break;
            std::swap(records[i], records[j]);
            ++i;
            --j;
        } while (i <= j);

        Range left{lo, j};
        Range right{i, hi};
        const bool hasLeft = lo < j;
        const bool hasRight = i < hi;
        if (hasLeft && hasRight) {
            if (left.hi - left.lo > right.hi - right.lo) std::swap(left, right);
            pending[depth++] = right;
            lo = left.lo;
            hi = left.hi;
        } else if (hasLeft || hasRight) {
            const Range next = hasLeft ? left : right;
            lo = next.lo;
            hi = next.hi;
        } else if (depth > 0) {
            const Range next = pending[--depth];
            lo = next.lo;
            hi = next.hi;
        } else {
            return;
        }
    }
}

// Counts every pixel in the record of its 15-bit colour code; false for a
// depth that cannot be counted.
bool countPixels(const unsigned char* pixels, int bitsPerPixel, int width, int height,
                 ColourCount* records) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const std::size_t total = static_cast<std::size_t>(width) * height;
    const unsigned char* p = pixels;
    for (std::size_t n = 0; n < total; ++n, p += bytesPerPixel) {
        uint32_t code;
        switch (bitsPerPixel) {
            case 8:
                code = packRgb16(p[0], p[0], p[0]);
                break;
            case 16:
                code = static_cast<uint32_t>(p[0] | (p[1] << 8));
                break;
            case 24:
                code = packRgb16(p[0], p[1], p[2]);
                break;
            case 32:
                code = packRgb16(p[1], p[2], p[3]);
                break;
            default:
                return false;
        }
        ++records[code].count;
    }
    return true;
}

void sortByKey(PaletteEntry* entries, uint32_t n) {
    for (uint32_t pass = 1; pass < n; ++pass)
        for (uint32_t k = 0; k + 1 < n; ++k)
            if (entries[k].key > entries[k + 1].key) std::swap(entries[k], entries[k + 1]);
}

}  // namespace

int Palette::allocate(uint32_t n) {
    clear();
    if (n == 0 || n > static_cast<uint32_t>(INT32_MAX / sizeof(PaletteEntry))) return 0;
    if (storage_.allocate(static_cast<int32_t>(n * sizeof(PaletteEntry))) == 0) return 0;
    count_ = n;
    return 1;
}

void Palette::clear() {
    storage_.release();
    count_ = 0;
}

PaletteEntry* Palette::entries() const {
    return reinterpret_cast<PaletteEntry*>(storage_.data());
}

int Palette::build(const unsigned char* pixels, int bitsPerPixel, int /*paletteSize*/, int width,
                   int height, int mostColours) {
    clear();
    ByteBlock histogram;
    if (histogram.allocate(kHistogramRecords * sizeof(ColourCount)) == 0) return 0;
    auto* records = reinterpret_cast<ColourCount*>(histogram.data());
    for (int i = 0; i < kHistogramRecords; ++i) records[i] = {static_cast<uint32_t>(i), 0};

    if (pixels == nullptr || width < 0 || height < 0 ||
        !countPixels(pixels, bitsPerPixel, width, height, records))
        return 0;

    uint32_t distinct = 0;
    for (int i = 0; i < kHistogramRecords; ++i)
        if (records[i].count != 0) ++distinct;

    sortByCount(records, 0, kHistogramRecords - 1);

    const uint32_t limit = mostColours > 0 ? static_cast<uint32_t>(mostColours) : 0;
    const uint32_t n = distinct < limit ? distinct : limit;
    if (allocate(n) == 0) return 0;

    PaletteEntry* chosen = entries();
    for (uint32_t k = 0; k < n; ++k) {
        PaletteEntry& entry = chosen[k];
        unpackRgb16(static_cast<uint16_t>(records[kHistogramRecords - 1 - k].code), entry.red,
                    entry.green, entry.blue);
        entry.alpha = 255;
        entry.key = paletteKey(entry.red, entry.green, entry.blue);
    }
    sortByKey(chosen, n);
    return 1;
}

uint8_t Palette::lookup(uint8_t red, uint8_t green, uint8_t blue) const {
    if (count_ == 0) return 0;
    const uint32_t key = paletteKey(red, green, blue);
    const PaletteEntry* table = entries();
    for (uint32_t k = 1; k + 1 < count_; ++k)
        if (table[k - 1].key <= key && key <= table[k + 1].key) return static_cast<uint8_t>(k);
    return key > table[0].key ? static_cast<uint8_t>(count_ - 1) : 0;
}

uint8_t Palette::lookup16(uint16_t word) const {
    uint8_t red, green, blue;
    unpackRgb16(word, red, green, blue);
    return lookup(red, green, blue);
}

}  // namespace imgconv
