#include "imgconv/codecs/bmp_reader.h"

#include "imgconv/byte_block.h"
#include "imgconv/codecs/rgb_target.h"
#include "imgconv/file_util.h"
#include "imgconv/pixel_format.h"

// Bitmap file layout, all values little-endian.
//
// File header, 14 bytes at offset 0:
//    0  2  signature "BM" ("BA" is read the same way)
//    2  4  file size (ignored)
//    6  4  reserved
//   10  4  pixel data offset: the rows begin there
//
// The header that follows at offset 14 starts with its own size. 12 means an
// OS/2 core header; any other size an info header (40, 108, 124 bytes, ...),
// of which only the first 20 bytes are read.
//
// Core header:                          Info header:
//    0  4  header size (12)                0  4  header size
//    4  2  width, unsigned                 4  4  width, signed
//    6  2  height, unsigned (bottom-up)    8  4  height, signed; negative: top-down
//    8  2  planes (ignored)               12  2  planes (ignored)
//   10  2  bits per pixel                 14  2  bits per pixel
//                                         16  4  compression
//
// Pixel rows: height rows of ((width * bits + 31) / 32) * 4 bytes, each
// pixel of 24 bits stored as blue, green, red; the rest of a row is padding.

namespace imgconv {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kPixelOffsetAt = 10;
constexpr uint32_t kCoreHeaderSize = 12;
// The part of an info header that is read: up to the compression field.
constexpr uint32_t kInfoHeaderRead = 20;

enum Compression : uint32_t {
    kPlainRows = 0,
    kRunLength8 = 1,
    kRunLength4 = 2,
    kBitFields = 3,
};

uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int coreFormat(uint16_t bits) {
    switch (bits) {
        case 1:
            return Os2Bmp1;
        case 4:
            return Os2Bmp4;
        case 8:
            return Os2Bmp8;
        case 24:
            return Os2Bmp24;
        default:
            return 0;
    }
}

// Run-length bitmaps count as such whatever bit count the header gives.
int infoFormat(uint16_t bits, uint32_t compression) {
    if (compression == kRunLength8) return BmpRle8;
    if (compression == kRunLength4) return BmpRle4;
    switch (bits) {
        case 1:
            return Bmp1;
        case 4:
            return Bmp4;
        case 8:
            return Bmp8;
        case 16:
            return Bmp16;
        case 24:
            return Bmp24;
        case 32:
            return Bmp32;
        default:
            return 0;
    }
}

int64_t rowBytes(int64_t width) {
    return (width * 24 + 31) / 32 * 4;
}

}  // namespace

int BmpReader::open(const char* path, PixelImage& image, ProgressCallback progress) {
    close();
    // Other layouts than 24-bit plain rows are left to the other readers; so
    // is a picture too large to decode.
    if (path == nullptr || readHeaders(path) == 0 || (format_ != Bmp24 && format_ != Os2Bmp24) ||
        width_ * height_ > kMaxPixels) {
        close();
        return 0;
    }
    progress_ = progress;
    image_ = &image;
    opened_ = true;
    return 1;
}

int BmpReader::classify(const char* path) {
    BmpReader reader;
    return path != nullptr && reader.readHeaders(path) == 1 ? reader.format_ : 0;
}

// Opens the file and records its layout, size and row order. 0 when it is no
// bitmap, or when its headers are cut short or point outside the file.
int BmpReader::readHeaders(const char* path) {
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return 0;
    fileLength_ = fileUtil.fileLength(file_);

    unsigned char fileHeader[kFileHeaderSize];
    if (std::fread(fileHeader, 1, sizeof fileHeader, file_) != sizeof fileHeader) return 0;
    if (fileHeader[0] != 'B' || (fileHeader[1] != 'M' && fileHeader[1] != 'A')) return 0;

    // The bytes from 14 up to the pixel data hold the header (and a palette or
    // colour masks, which are not needed); they must at least have room for
    // the header's size field.
    pixelOffset_ = le32(fileHeader + kPixelOffsetAt);
    if (pixelOffset_ < kFileHeaderSize + 4 || pixelOffset_ > fileLength_) return 0;
    const uint32_t headerRoom = pixelOffset_ - kFileHeaderSize;

    unsigned char header[kInfoHeaderRead];
    const std::size_t wanted = headerRoom < kInfoHeaderRead ? headerRoom : kInfoHeaderRead;
    if (std::fread(header, 1, wanted, file_) != wanted) return 0;
    const uint32_t headerSize = le32(header);
    const bool core = headerSize == kCoreHeaderSize;
    // The fields read must lie before the rows, and so must the whole header
    // the file declares.
    if (headerRoom < (core ? kCoreHeaderSize : kInfoHeaderRead) || headerRoom < headerSize)
        return 0;

    if (core) {
        width_ = le16(header + 4);
        height_ = le16(header + 6);
        if (width_ < 1 || height_ == 0) return 0;
        bottomUp_ = true;
        format_ = coreFormat(le16(header + 10));
    } else {
        width_ = static_cast<int32_t>(le32(header + 4));
        const int64_t heightField = static_cast<int32_t>(le32(header + 8));
        const uint32_t compression = le32(header + 16);
        if (width_ < 1 || heightField == 0 || compression > kBitFields) return 0;
        height_ = heightField < 0 ? -heightField : heightField;
        bottomUp_ = heightField > 0;
        // Bit-field masks of a 24-bit file are ignored: its rows are plain.
        format_ = infoFormat(le16(header + 14), compression);
    }
    return format_ != 0 ? 1 : 0;
}

int BmpReader::read() {
    const int ok = opened_ ? readRows() : 0;
    notifyProgress(progress_, Reading, static_cast<int32_t>(height_ - 1),
                   static_cast<int32_t>(height_));
    close();
    return ok;
}

int BmpReader::readRows() {
    const int32_t width = static_cast<int32_t>(width_);
    const int32_t height = static_cast<int32_t>(height_);
    const int64_t stride = rowBytes(width_);
    // A file too short for its rows fails before an image of the declared
    // size is made for it.
    if (pixelOffset_ + stride * height_ > fileLength_) return 0;

    PixelImage& image = *image_;
    if (prepareRgbImage(image, width, height) == 0) return 0;
    ByteBlock row;
    if (fseeko(file_, pixelOffset_, SEEK_SET) != 0 ||
        row.allocate(static_cast<int32_t>(stride)) == 0)
        return 0;

    for (int32_t i = 0; i < height; ++i) {
        if (std::fread(row.data(), 1, row.size(), file_) != static_cast<std::size_t>(row.size()))
            return 0;
        const unsigned char* bgr = row.data();
        unsigned char* rgb = image.row(bottomUp_ ? height - 1 - i : i);
        for (int32_t x = 0; x < width; ++x, bgr += 3, rgb += 3) {
            rgb[0] = bgr[2];
            rgb[1] = bgr[1];
            rgb[2] = bgr[0];
        }
        notifyProgress(progress_, Reading, i, height);
    }
    return 1;
}

int BmpReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    progress_ = nullptr;
    file_ = nullptr;
    opened_ = false;
    fileLength_ = 0;
    pixelOffset_ = 0;
    format_ = 0;
    width_ = height_ = 0;
    bottomUp_ = false;
    image_ = nullptr;
    return 1;
}

}  // namespace imgconv
