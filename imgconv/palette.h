#pragma once

#include <cstdint>

#include "imgconv/byte_block.h"

namespace imgconv {

// One colour of a palette, 8 bytes as stored.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t alpha;  // 255 from build; never read
    uint32_t key;   // red + 256 * green + 65536 * blue; set by build, used by lookup
};
static_assert(sizeof(PaletteEntry) == 8, "a palette entry is 8 bytes");

// The 16-bit pixel word: bits 15-11 red, 10-6 green, 5-1 blue, bit 0 zero.
inline uint16_t packRgb16(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 3) << 6) | ((blue >> 3) << 1));
}

// The low three bits of each channel come back as zero (no bit replication).
inline void unpackRgb16(uint16_t word, uint8_t& red, uint8_t& green, uint8_t& blue) {
    red = static_cast<uint8_t>((word >> 8) & 0xF8);
    green = static_cast<uint8_t>((word >> 3) & 0xF8);
    blue = static_cast<uint8_t>((word << 2) & 0xF8);
}

inline uint32_t paletteKey(uint8_t red, uint8_t green, uint8_t blue) {
    return red + 256u * green + 65536u * blue;
}

// The colour table of an indexed image, with a popularity colour reduction
// (`build`) and a nearest-key search (`lookup`).
class Palette {
  public:
    // Empties the palette, then makes room for n entries; entries are
    // zero-filled, their owner fills them. 0 (and empty) on failure.
    int allocate(uint32_t n);
    void clear();

    PaletteEntry* entries() const;
    uint32_t count() const { return count_; }

    // Chooses at most `mostColours` of the most frequent colours of the
    // pixels, counted in a 15-bit colour space, and sorts them by key.
    // An 8-bit source is taken as grey levels, its own palette not consulted.
    int build(const unsigned char* pixels, int bitsPerPixel, int paletteSize, int width, int height,
              int mostColours);

    // The index of the entry whose neighbours' keys enclose the colour's key;
    // a search on keys (blue weighs most), not a colour distance.
    uint8_t lookup(uint8_t red, uint8_t green, uint8_t blue) const;
    uint8_t lookup16(uint16_t word) const;

  private:
    ByteBlock storage_;
    uint32_t count_ = 0;
};

}  // namespace imgconv
