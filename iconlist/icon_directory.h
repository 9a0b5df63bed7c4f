#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "workflow/bitmap.h"

namespace lanzhou {

// One image of an icon as its directory describes it. `location` is the
// image's file offset in an .ico file and its RT_ICON resource id in a
// program's icon group.
struct IconEntry {
    int32_t width;
    int32_t height;
    uint32_t bitCount;
    uint32_t bytes;
    uint32_t location;
};

// The icon directory of an .ico file (16-byte entries with a 32-bit offset)
// or of an RT_GROUP_ICON resource (14-byte entries with a 16-bit id):
// reserved 0, type 1, a count of entries that must fit the bytes.
enum class IconDirectoryKind { File, Group };
bool readIconDirectory(const unsigned char* data, std::size_t size, IconDirectoryKind kind,
                       std::vector<IconEntry>& entries);

// The index of the entry best fitting a square of `side` pixels: nearest in
// size, the larger one of two equally near, then the most bits per pixel,
// then the first. -1 for no entries.
int bestIconEntry(const std::vector<IconEntry>& entries, int32_t side);

// The best fitting image of the .ico file held in `data`, decoded.
Bitmap iconFromIcoFile(const unsigned char* data, std::size_t size, int32_t side);

}  // namespace lanzhou
