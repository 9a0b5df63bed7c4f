// Any bytes as the preview's picture saved as an ICO file at its own size:
// kept when they already are an ICO file, else decoded (libpng here, as a
// stand-in for the window's picture reader) and wrapped.
#include <cstdint>

#include "iconlist/png_image.h"
#include "workflow/ico_file.h"
#include "workflow/ico_wrapping.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const lanzhou::PictureBytes preview(data, data + size);
    const lanzhou::PictureBytes ico = lanzhou::workflow::previewToIcoFile(
        preview, [](const lanzhou::PictureBytes& bytes) {
            return lanzhou::decodePng(bytes.data(), bytes.size(), 4096);
        });
    // Whatever comes out is a complete ICO file.
    if (!ico.empty() && !lanzhou::isIcoFile(ico)) __builtin_trap();
    return 0;
}
