#include "imgconv/codecs/pcd_reader.h"

#include <cmath>
#include <cstring>

#include "imgconv/file_util.h"

namespace imgconv {

namespace {

// An image pack holds each image at a fixed offset as height / 2 row pairs
// of 3 x width bytes: the upper row's luma, the lower row's luma, and one
// chroma row shared by both (width / 2 samples of C1, then width / 2 of C2,
// each sample covering two pixels).
struct Resolution {
    int32_t width;
    int32_t height;
    PixelFormat format;
    int64_t offset;
};
constexpr Resolution kResolutions[] = {
    {192, 128, PcdBase16, 0x2000},
    {384, 256, PcdBase4, 0xB800},
    {768, 512, PcdBase, 0x30000},
};

// The least an image pack on a disc holds; every image above lies within it.
constexpr int64_t kMinimumFileBytes = 0x100000;
// The image pack's information block names itself.
constexpr long kSignatureAt = 0x800;
constexpr char kSignature[] = "PCD_IPI";
constexpr std::size_t kSignatureBytes = sizeof kSignature - 1;

// Whole row pairs, within the smallest file accepted and the pixel limit.
constexpr bool layoutsAreSound() {
    for (const Resolution& r : kResolutions)
        if (r.height % 2 != 0 ||
            r.offset + static_cast<int64_t>(r.height) / 2 * 3 * r.width > kMinimumFileBytes ||
            static_cast<int64_t>(r.width) * r.height > kMaxPixels)
            return false;
    return true;
}
static_assert(layoutsAreSound(), "every image is whole row pairs that a file can hold");

uint8_t clampToByte(double value) {
    const double rounded = std::floor(value + 0.5);
    if (rounded < 0) return 0;
    if (rounded > 255) return 255;
    return static_cast<uint8_t>(rounded);
}

// Photo CD YCC to red, green, blue.
void storePixel(int luma, int chroma1, int chroma2, unsigned char* rgb) {
    const double y = luma;
    const double c1 = chroma1 - 156;
    const double c2 = chroma2 - 137;
    rgb[0] = clampToByte(1.407488 * y + 1.3230336 * c2 + 0.0000256 * c1);
    rgb[1] = clampToByte(1.407488 * y - (0.67392 * c2 + 0.3954176 * c1));
    rgb[2] = clampToByte(1.407488 * y + 2.0360448 * c1 + 0.0000256 * c2);
}

void storeRow(const unsigned char* luma, const unsigned char* chroma, int32_t width,
              unsigned char* row) {
    const unsigned char* chroma2 = chroma + width / 2;
    for (int32_t x = 0; x < width; ++x)
        storePixel(luma[x], chroma[x / 2], chroma2[x / 2], row + 3 * x);
}

bool hasSignature(std::FILE* file) {
    char text[kSignatureBytes];
    return std::fseek(file, kSignatureAt, SEEK_SET) == 0 &&
           std::fread(text, 1, kSignatureBytes, file) == kSignatureBytes &&
           std::memcmp(text, kSignature, kSignatureBytes) == 0;
}

}  // namespace

int PcdReader::open(const char* path, PixelImage& image, int resolution,
                    ProgressCallback progress) {
    close();
    if (path == nullptr || path[0] == '\0') return 0;
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return 0;

    const unsigned choice = static_cast<unsigned>(resolution) & 0xFF;
    if (fileUtil.fileLength(file_) < kMinimumFileBytes || choice > 2 || !hasSignature(file_)) {
        close();
        return 0;
    }
    width_ = kResolutions[choice].width;
    height_ = kResolutions[choice].height;
    format_ = kResolutions[choice].format;
    bitsPerPixel_ = 24;
    opened_ = true;
    progress_ = progress;
    path_.assign(path);
    image_ = &image;
    return 1;
}

int PcdReader::read() {
    const int32_t height = height_;
    const ProgressCallback progress = progress_;
    MappedFile rows[3];
    int result = 0;
    if (opened_) result = decode(rows);
    notifyProgress(progress, Reading, height - 1, height);
    for (MappedFile& buffer : rows) buffer.release(1);
    if (result == 0 && image_ != nullptr) image_->release();
    close();
    return result;
}

int PcdReader::decode(MappedFile (&rows)[3]) {
    if (image_->create(width_, height_, bitsPerPixel_, 0) == 0) return 0;
    const std::size_t width = static_cast<std::size_t>(width_);
    for (MappedFile& buffer : rows)
        if (buffer.create(width, kTempFilePrefix) == 0) return 0;

    int64_t offset = 0;
    for (const Resolution& r : kResolutions)
        if (r.format == format_) offset = r.offset;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;

    MappedFile& upper = rows[0];
    MappedFile& lower = rows[1];
    MappedFile& chroma = rows[2];
    for (int32_t r = 0; r < height_; r += 2) {
        for (MappedFile& buffer : rows)
            if (std::fread(buffer.data(), 1, width, file_) != width) return 0;
        storeRow(upper.data(), chroma.data(), width_, image_->row(r));
        storeRow(lower.data(), chroma.data(), width_, image_->row(r + 1));
        notifyProgress(progress_, Reading, r, height_);
    }
    return 1;
}

int PcdReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    progress_ = nullptr;
    opened_ = false;
    width_ = height_ = bitsPerPixel_ = 0;
    format_ = 0;
    image_ = nullptr;
    path_.clear();
    return 1;
}

}  // namespace imgconv
