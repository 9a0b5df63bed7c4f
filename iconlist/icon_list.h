#pragma once

#include <cstdint>
#include <string>

#include "workflow/bitmap.h"

namespace lanzhou {

// An image list that travels as bytes between the three operations: the tag
// "MITL", the bytes 00 00 00 FF, then the list: image width, height and
// count, and each image as width x height 32-bit pixels whose alpha is the
// mask. Callers keep the bytes, pass them back and free them.

// The bytes of a new, empty list of images of width x height (1 to 256
// each); empty bytes on failure.
PictureBytes createIconList(int32_t width, int32_t height);

// Takes the icon of the file at `path` (its `index`-th icon; the small one,
// 16 x 16, when `small` is true, else the large one, 32 x 32), fits it to
// the list's image size and appends it. Returns the new image's index and
// replaces `listBytes`; -1, with `listBytes` unchanged, when the bytes are
// no list or the file has no icon.
int32_t addFileIcon(PictureBytes& listBytes, const std::string& path, int32_t index = 0,
                    bool small = false);

// Image `index` of the list drawn over `background` (a Windows colour value
// 0x00BBGGRR): alpha blended, transparent where the mask is. The picture
// bytes of a 24-bit BMP file of the list's image size; empty bytes when the
// bytes are no list or hold no such image.
PictureBytes renderIconListImage(const PictureBytes& listBytes, int32_t index,
                                 uint32_t background = 0xFFFFFF);

}  // namespace lanzhou
