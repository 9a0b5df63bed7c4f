#include "workflow/rgba_bitmap.h"

namespace lanzhou::workflow {

Bitmap bitmapFromRgba(const platform::RgbaImage& image) {
    if (image.empty() || image.pixels.size() != static_cast<std::size_t>(image.width) *
                                                    static_cast<std::size_t>(image.height) * 4)
        return Bitmap();
    Bitmap bitmap = makeBitmap(image.width, image.height);
    const std::uint8_t* rgba = image.pixels.data();
    for (uint32_t& pixel : bitmap.pixels) {
        pixel = makeArgb(rgba[3], rgba[0], rgba[1], rgba[2]);
        rgba += 4;
    }
    return bitmap;
}

}  // namespace lanzhou::workflow
