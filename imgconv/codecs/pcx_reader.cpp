#include "imgconv/codecs/pcx_reader.h"

#include <algorithm>
#include <cstring>

#include "imgconv/byte_block.h"
#include "imgconv/file_util.h"
#include "imgconv/mapped_file.h"

namespace imgconv {

namespace {

// The 128-byte header at offset 0, little-endian. Only these fields are read;
// version and encoding are ignored and the data is always run-length decoded.
constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kManufacturerAt = 0;   // 1 byte, always 0x0A
constexpr std::size_t kBitsPerPlaneAt = 3;   // 1 byte
constexpr std::size_t kXMinAt = 4;           // 2 bytes
constexpr std::size_t kYMinAt = 6;           // 2 bytes
constexpr std::size_t kXMaxAt = 8;           // 2 bytes, inclusive
constexpr std::size_t kYMaxAt = 10;          // 2 bytes, inclusive
constexpr std::size_t kPlanesAt = 65;        // 1 byte
constexpr std::size_t kBytesPerLineAt = 66;  // 2 bytes, of one plane of one scan line
constexpr unsigned char kManufacturer = 0x0A;

// A 256-colour file ends in its palette: 256 entries of red, green, blue.
// The marker byte PCX writers put before it counts as compressed data.
constexpr int kPaletteEntries = 256;
constexpr int64_t kPaletteBytes = 3 * kPaletteEntries;

// A byte with both top bits set starts a run: its low six bits are the count
// and the next byte is the value to repeat.
constexpr unsigned char kRunFlag = 0xC0;
constexpr unsigned char kRunCountMask = 0x3F;

uint16_t word(const unsigned char* header, std::size_t at) {
    return static_cast<uint16_t>(header[at] | (header[at + 1] << 8));
}

// The compressed scan lines in memory, read one line after the other.
struct RunLengthInput {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

// Decodes `length` bytes into `line`. A run that does not fit is cut at the
// line's end; the next line starts after its value byte. 0 when the data
// ends before the line is complete.
int decodeLine(RunLengthInput& input, unsigned char* line, std::size_t length) {
    std::size_t produced = 0;
    while (produced < length) {
        if (input.position >= input.size) return 0;
        const unsigned char byte = input.data[input.position++];
        if ((byte & kRunFlag) != kRunFlag) {
            line[produced++] = byte;
            continue;
        }
        if (input.position >= input.size) return 0;
        const unsigned char value = input.data[input.position++];
        const std::size_t count = std::min<std::size_t>(byte & kRunCountMask, length - produced);
        std::memset(line + produced, value, count);
        produced += count;
    }
    return 1;
}

int readExactly(std::FILE* file, int64_t offset, int origin, unsigned char* out,
                std::size_t bytes) {
    if (std::fseek(file, static_cast<long>(offset), origin) != 0) return 0;
    return std::fread(out, 1, bytes, file) == bytes ? 1 : 0;
}

}  // namespace

int PcxReader::open(const char* path, PixelImage& image, ProgressCallback progress) {
    close();
    progress_ = progress;
    path_.assign(path);
    if (path == nullptr || path[0] == '\0') return 0;

    file_ = std::fopen(path, "rb");
    if (file_ == nullptr || readExactly(file_, 0, SEEK_SET, header_, kHeaderBytes) == 0 ||
        header_[kManufacturerAt] != kManufacturer) {
        close();
        return 0;
    }

    // The extents are unsigned; xmax below xmin gives a size below 1, which
    // `read` cannot create.
    const int32_t xSpan = word(header_, kXMaxAt) - word(header_, kXMinAt);
    const int32_t ySpan = word(header_, kYMaxAt) - word(header_, kYMinAt);
    if (xSpan == 0 || ySpan == 0) {
        close();
        return 0;
    }
    width_ = xSpan + 1;
    height_ = ySpan + 1;
    depth_ = header_[kPlanesAt] * header_[kBitsPerPlaneAt];
    const bool tooLarge =
        width_ > 0 && height_ > 0 && static_cast<int64_t>(width_) * height_ > kMaxPixels;
    if ((depth_ != 8 && depth_ != 24) || tooLarge) {
        close();
        return 0;
    }
    image_ = &image;
    opened_ = true;
    return 1;
}

int PcxReader::read() {
    const int32_t height = height_;
    const ProgressCallback progress = progress_;
    MappedFile compressed;
    int result = 0;
    if (opened_) result = decode(compressed);
    notifyProgress(progress, Reading, height - 1, height);
    compressed.release(1);
    if (result == 0 && image_ != nullptr) image_->release();
    close();
    return result;
}

int PcxReader::decode(MappedFile& compressed) {
    const bool indexed = depth_ == 8;
    const int64_t fileSize = fileUtil.fileLength(file_);
    const int64_t dataBytes =
        fileSize - static_cast<int64_t>(kHeaderBytes) - (indexed ? kPaletteBytes : 0);
    if (dataBytes <= 0) return 0;
    if (compressed.create(static_cast<std::size_t>(dataBytes), kTempFilePrefix) == 0) return 0;
    if (image_->create(width_, height_, indexed ? 8 : 24, indexed ? kPaletteEntries : 0) == 0)
        return 0;

    // The planes of one scan line, one after the other. The buffer also has
    // room for every byte a row takes from it, so that a header whose planes
    // are shorter than the row reads zeros rather than beyond the buffer.
    const int32_t planeBytes = word(header_, kBytesPerLineAt);
    const std::size_t lineLength = static_cast<std::size_t>(header_[kPlanesAt]) * planeBytes;
    const std::size_t rowReach = 2 * static_cast<std::size_t>(planeBytes) + width_;
    ByteBlock line;
    if (line.allocate(static_cast<int32_t>(std::max(lineLength, rowReach))) == 0) return 0;

    if (indexed && readPalette() == 0) return 0;
    if (readExactly(file_, kHeaderBytes, SEEK_SET, compressed.data(), compressed.size()) == 0)
        return 0;
    compressed.flush(nullptr, 0);

    RunLengthInput input{compressed.data(), compressed.size(), 0};
    unsigned char* bytes = line.data();
    for (int32_t y = 0; y < height_; ++y) {
        if (decodeLine(input, bytes, lineLength) == 0) return 0;
        unsigned char* row = image_->row(y);
        if (indexed) {
            std::memcpy(row, bytes, static_cast<std::size_t>(width_));
        } else {
            for (int32_t x = 0; x < width_; ++x) {
                row[3 * x] = bytes[x];
                row[3 * x + 1] = bytes[planeBytes + x];
                row[3 * x + 2] = bytes[2 * planeBytes + x];
            }
        }
        notifyProgress(progress_, Reading, y, height_);
    }
    return 1;
}

int PcxReader::readPalette() {
    ByteBlock colours;
    if (colours.allocate(static_cast<int32_t>(kPaletteBytes)) == 0) return 0;
    if (readExactly(file_, -kPaletteBytes, SEEK_END, colours.data(), kPaletteBytes) == 0) return 0;
    PaletteEntry* entries = image_->paletteEntries();
    for (int i = 0; i < kPaletteEntries; ++i) {
        entries[i].red = colours.data()[3 * i];
        entries[i].green = colours.data()[3 * i + 1];
        entries[i].blue = colours.data()[3 * i + 2];
    }
    return 1;
}

int PcxReader::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    progress_ = nullptr;
    opened_ = false;
    std::memset(header_, 0, sizeof header_);
    depth_ = width_ = height_ = 0;
    image_ = nullptr;
    path_.clear();
    return 1;
}

}  // namespace imgconv
