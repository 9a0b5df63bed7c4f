#pragma once

#include <functional>

#include "workflow/bitmap.h"

namespace lanzhou::workflow {

// Decodes the bytes of a picture file into straight-alpha pixels; an empty
// bitmap when it cannot.
using PictureDecoder = std::function<Bitmap(const PictureBytes& bytes)>;

// The preview's picture bytes as an ICO file: bytes that already are one
// come back unchanged; any other picture is decoded by `decode` and becomes
// a one-image ICO file of its own size with its alpha, a picture larger
// than an ICO entry (256 x 256) first scaled down smoothly to fit, keeping
// its aspect ratio. Empty bytes when nothing can decode them.
PictureBytes previewToIcoFile(const PictureBytes& preview, const PictureDecoder& decode);

}  // namespace lanzhou::workflow
