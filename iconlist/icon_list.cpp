#include "iconlist/icon_list.h"

#include <cstring>
#include <limits>
#include <new>

#include "iconlist/file_icon.h"
#include "workflow/bitmap_scale.h"
#include "workflow/bmp_bytes.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// The prefix: the tag and a word that is written but never checked.
constexpr unsigned char kPrefix[8] = {'M', 'I', 'T', 'L', 0x00, 0x00, 0x00, 0xFF};
constexpr std::size_t kTagSize = 4;
// The list behind it: image width, image height, image count, then the
// images one after the other.
constexpr std::size_t kWidthField = sizeof kPrefix;
constexpr std::size_t kHeightField = kWidthField + 4;
constexpr std::size_t kCountField = kHeightField + 4;
constexpr std::size_t kImagesOffset = kCountField + 4;
constexpr int32_t kMaxImageSide = 256;

constexpr int32_t kLargeIconSide = 32;
constexpr int32_t kSmallIconSide = 16;

struct ListHeader {
    int32_t width;
    int32_t height;
    uint32_t count;

    std::size_t imageBytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    }
};

bool validSide(int32_t side) {
    return side >= 1 && side <= kMaxImageSide;
}

// Accepts bytes longer than the prefix that start with the tag and hold a
// list whose images fill them exactly.
bool readListHeader(const PictureBytes& bytes, ListHeader& header) {
    if (bytes.size() <= sizeof kPrefix || std::memcmp(bytes.data(), kPrefix, kTagSize) != 0 ||
        bytes.size() < kImagesOffset)
        return false;
    header.width = static_cast<int32_t>(readDword(bytes.data() + kWidthField));
    header.height = static_cast<int32_t>(readDword(bytes.data() + kHeightField));
    header.count = readDword(bytes.data() + kCountField);
    if (!validSide(header.width) || !validSide(header.height)) return false;
    return bytes.size() - kImagesOffset == uint64_t{header.count} * header.imageBytes();
}

uint32_t blend(uint32_t colour, uint32_t background, uint32_t alpha) {
    return (colour * alpha + background * (255 - alpha) + 127) / 255;
}

}  // namespace

PictureBytes createIconList(int32_t width, int32_t height) {
    if (!validSide(width) || !validSide(height)) return PictureBytes();
    PictureBytes bytes(kImagesOffset, 0);
    std::memcpy(bytes.data(), kPrefix, sizeof kPrefix);
    putDword(bytes.data() + kWidthField, static_cast<uint32_t>(width));
    putDword(bytes.data() + kHeightField, static_cast<uint32_t>(height));
    return bytes;
}

int32_t addFileIcon(PictureBytes& listBytes, const std::string& path, int32_t index, bool small) {
    ListHeader header;
    if (!readListHeader(listBytes, header) ||
        header.count >= static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        return -1;
    Bitmap icon = extractFileIcon(path, index, small ? kSmallIconSide : kLargeIconSide);
    if (icon.empty()) return -1;
    if (icon.width != header.width || icon.height != header.height)
        icon = scaleBitmap(icon, header.width, header.height, true);
    if (icon.empty()) return -1;
    try {
        PictureBytes grown(listBytes);
        const std::size_t imageOffset = grown.size();
        grown.resize(imageOffset + header.imageBytes());
        for (std::size_t i = 0; i < icon.pixels.size(); ++i)
            putDword(grown.data() + imageOffset + 4 * i, icon.pixels[i]);
        putDword(grown.data() + kCountField, header.count + 1);
        listBytes.swap(grown);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<int32_t>(header.count);
}

PictureBytes renderIconListImage(const PictureBytes& listBytes, int32_t index,
                                 uint32_t background) {
    ListHeader header;
    if (!readListHeader(listBytes, header) || index < 0 ||
        static_cast<uint32_t>(index) >= header.count)
        return PictureBytes();
    Bitmap canvas = makeBitmap(header.width, header.height);
    if (canvas.empty()) return PictureBytes();
    const uint32_t red = background & 0xFF;
    const uint32_t green = background >> 8 & 0xFF;
    const uint32_t blue = background >> 16 & 0xFF;
    const unsigned char* image =
        listBytes.data() + kImagesOffset + static_cast<std::size_t>(index) * header.imageBytes();
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) {
        const uint32_t argb = readDword(image + 4 * i);
        const uint32_t alpha = alphaOf(argb);
        canvas.pixels[i] =
            makeArgb(255, blend(redOf(argb), red, alpha), blend(greenOf(argb), green, alpha),
                     blend(blueOf(argb), blue, alpha));
    }
    // At its own size: nothing is scaled, so the screen depth plays no part.
    return bitmapToBmpBytes(canvas, 0, 0, 32);
}

}  // namespace lanzhou
