#pragma once

#include <cstddef>
#include <cstdint>

#include "imgconv/mapped_file.h"
#include "imgconv/palette.h"

namespace imgconv {

// The most pixels a reader accepts (16384 x 16384). Decoding costs disk
// space and time in proportion to the declared size, so a few hostile bytes
// declaring a huge picture are refused in `open`, before anything is made.
constexpr int64_t kMaxPixels = 268435456;

// The library's one raster. Rows are stored top row first with no padding;
// the pixel bytes live in a temporary file mapping that is deleted when the
// image is released. Layouts by depth:
//   8 bits, palette size 0: a grey level
//   8 bits, palette size n: an index into n palette entries
//   16 bits: a little-endian word made by packRgb16
//   24 bits: red, green, blue
//   32 bits: alpha, red, green, blue
class PixelImage {
  public:
    PixelImage() = default;
    PixelImage(const PixelImage&) = delete;
    PixelImage& operator=(const PixelImage&) = delete;
    ~PixelImage() { release(); }

    // Releases, then makes an image of the given size and depth with fresh
    // zero pixels. The palette size counts only for 8 bits. 0 and an empty
    // image on failure.
    int create(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t paletteSize);
    // Deletes the pixel file and frees the palette; the image is then empty.
    int release();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t bitsPerPixel() const { return bitsPerPixel_; }
    int32_t paletteSize() const { return paletteSize_; }
    unsigned char* pixels() const { return pixels_; }
    unsigned char* row(int32_t y) const {
        return pixels_ + static_cast<std::size_t>(y) * rowStride();
    }
    int32_t rowStride() const;
    std::size_t storageSize() const { return storage_.size(); }

    PaletteEntry* paletteEntries() const { return palette_.entries(); }
    Palette& palette() { return palette_; }
    const Palette& palette() const { return palette_; }

    // Asks for the whole pixel mapping to be written back to its file.
    int flush();

    int copyFrom(const PixelImage& source);
    // Fills `target` (another image) with this picture in the requested
    // layout. An index beyond the palette reads as black.
    int convertTo(PixelImage& target, int32_t bitsPerPixel, int32_t paletteSize) const;

  private:
    int convertToIndexed(PixelImage& target, int32_t mostColours) const;
    int convertToDirect(PixelImage& target) const;
    void rowToRgb(int32_t y, unsigned char* rgb) const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bitsPerPixel_ = 0;
    int32_t paletteSize_ = 0;
    unsigned char* pixels_ = nullptr;
    MappedFile storage_;
    Palette palette_;
};

}  // namespace imgconv
