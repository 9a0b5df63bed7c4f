#include "tests/imgconv/codec_test_support.h"

#include <dirent.h>
#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "imgconv/codecs/png_codec.h"
#include "imgconv/file_util.h"

namespace lanzhou::test {

namespace {

// The log `ProgressLog::callback` writes to.
ProgressLog* currentLog = nullptr;

struct TestJpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

[[noreturn]] void jumpBack(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<TestJpegErrors*>(codec->err)->recovery, 1);
}

// The functions below set recovery points: they make no C++ object of their
// own, they only fill the caller's.

bool decodeJpegFrom(std::FILE* file, Picture& out) {
    jpeg_decompress_struct decoder;
    std::memset(&decoder, 0, sizeof(decoder));
    TestJpegErrors errors;
    decoder.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    out.progressive = decoder.progressive_mode != 0;
    jpeg_start_decompress(&decoder);
    out.width = static_cast<int>(decoder.output_width);
    out.height = static_cast<int>(decoder.output_height);
    out.components = decoder.output_components;
    const std::size_t stride = static_cast<std::size_t>(out.width) * out.components;
    out.pixels.assign(stride * out.height, 0);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = out.pixels.data() + stride * decoder.output_scanline;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return true;
}

bool encodeJpegTo(unsigned char** buffer, unsigned long* size, int width, int height,
                  int components, const uint8_t* pixels, const jpeg_scan_info* scans,
                  int scanCount) {
    jpeg_compress_struct encoder;
    std::memset(&encoder, 0, sizeof(encoder));
    TestJpegErrors errors;
    encoder.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_compress(&encoder);
        return false;
    }
    jpeg_create_compress(&encoder);
    jpeg_mem_dest(&encoder, buffer, size);
    encoder.image_width = static_cast<JDIMENSION>(width);
    encoder.image_height = static_cast<JDIMENSION>(height);
    encoder.input_components = components;
    encoder.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 90, TRUE);
    if (scanCount > 0) {
        encoder.scan_info = scans;
        encoder.num_scans = scanCount;
    }
    jpeg_start_compress(&encoder, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * components;
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels) + stride * encoder.next_scanline;
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    return true;
}

bool encodePngTo(std::FILE* file, int width, int height, int colourType, png_bytep* rows,
                 const std::vector<uint8_t>& palette, bool interlaced) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!palette.empty()) {
        png_set_PLTE(png, info, reinterpret_cast<png_colorp>(const_cast<uint8_t*>(palette.data())),
                     static_cast<int>(palette.size() / 3));
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool decodePngFrom(std::FILE* file, Picture& out, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    png_get_IHDR(png, info, &width, &height, &out.bitDepth, &out.colourType, &out.interlace,
                 nullptr, nullptr);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) != 0) {
        out.hasPalette = true;
        for (int i = 0; i < count; ++i) {
            out.palette.push_back(entries[i].red);
            out.palette.push_back(entries[i].green);
            out.palette.push_back(entries[i].blue);
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.components = png_get_channels(png, info);
    const std::size_t stride = png_get_rowbytes(png, info);
    out.pixels.assign(stride * height, 0);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.pixels.data() + stride * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void put32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

void CodecTest::SetUp() {
    ASSERT_EQ(mkdir(out_.c_str(), 0755), 0);
}

void CodecTest::TearDown() {
    EXPECT_EQ(temporaryFiles(), 0) << "a temporary file was left behind";
}

std::string CodecTest::write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.file(name);
    EXPECT_TRUE(writeFile(path, bytes));
    return path;
}

int CodecTest::temporaryFiles() const {
    return countEntries(dir_.path(), imgconv::kTempFilePrefix);
}

std::ostream& operator<<(std::ostream& out, Outcome outcome) {
    switch (outcome) {
        case Outcome::Declined:
            return out << "declined";
        case Outcome::ReadFailed:
            return out << "read failed";
        default:
            return out << "loaded";
    }
}

int writePng(const std::string& path, imgconv::PixelImage& image, int bits, int paletteSize,
             imgconv::ProgressCallback progress) {
    imgconv::PngCodec codec;
    if (codec.openForWrite(path.c_str(), image, bits, paletteSize, progress) == 0) return 0;
    return codec.write();
}

void PrintTo(const ProgressCall& call, std::ostream* out) {
    *out << "{" << call.direction << ", " << call.percent << ", " << call.row << ", "
         << call.reserved << "}";
}

ProgressLog::ProgressLog() : previous_(currentLog) {
    currentLog = this;
}

ProgressLog::~ProgressLog() {
    currentLog = previous_;
}

void ProgressLog::callback(int32_t direction, int32_t percent, int32_t row, int32_t reserved) {
    if (currentLog != nullptr) currentLog->calls_.push_back({direction, percent, row, reserved});
}

std::vector<ProgressCall> rowCalls(int32_t direction, int32_t height, int passes) {
    std::vector<ProgressCall> calls;
    for (int pass = 0; pass < passes; ++pass)
        for (int32_t row = 0; row < height; ++row)
            calls.push_back({direction, static_cast<int32_t>((row + 1) * 100.0 / height), row, 0});
    calls.push_back({direction, 100, height - 1, 0});
    return calls;
}

Picture readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Picture picture;
    in >> magic >> picture.width >> picture.height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255) return {};
    picture.components = 3;
    picture.pixels.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
        return {};
    picture.ok = true;
    return picture;
}

Picture testPhoto() {
    return readPpm(fixture("jpeg/testorig.ppm"));
}

Picture decodeJpeg(const std::string& path) {
    Picture picture;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return picture;
    picture.ok = decodeJpegFrom(file, picture);
    std::fclose(file);
    return picture;
}

Picture decodePng(const std::string& path) {
    Picture picture;
    std::vector<png_bytep> rows;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return picture;
    picture.ok = decodePngFrom(file, picture, rows);
    std::fclose(file);
    return picture;
}

std::string encodeJpeg(int width, int height, int components, const std::vector<uint8_t>& pixels,
                       const std::vector<jpeg_scan_info>& scans) {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::string out;
    if (encodeJpegTo(&buffer, &size, width, height, components, pixels.data(), scans.data(),
                     static_cast<int>(scans.size())))
        out.assign(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

std::vector<jpeg_scan_info> longScanScript(int count) {
    std::vector<jpeg_scan_info> scans;
    jpeg_scan_info dc{};
    dc.comps_in_scan = 1;
    scans.push_back(dc);
    // Each coefficient takes a first scan and `refinements` more.
    int extra = count - 64;
    for (int k = 1; k <= 63; ++k) {
        const int refinements = std::min(extra, 10);
        extra -= refinements;
        jpeg_scan_info scan{};
        scan.comps_in_scan = 1;
        scan.Ss = scan.Se = k;
        scan.Al = refinements;
        scans.push_back(scan);
        for (int al = refinements - 1; al >= 0; --al) {
            scan.Ah = al + 1;
            scan.Al = al;
            scans.push_back(scan);
        }
    }
    return scans;
}

std::string encodePng(int width, int height, int colourType, const std::vector<uint8_t>& pixels,
                      const std::vector<uint8_t>& palette, bool interlaced) {
    const int channels = colourType == PNG_COLOR_TYPE_RGB          ? 3
                         : colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                   : 1;
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] =
            const_cast<uint8_t*>(pixels.data()) + static_cast<std::size_t>(y) * width * channels;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&buffer, &size);
    const bool ok = file != nullptr &&
                    encodePngTo(file, width, height, colourType, rows.data(), palette, interlaced);
    if (file != nullptr) std::fclose(file);
    std::string out = ok ? std::string(buffer, size) : std::string();
    std::free(buffer);
    return out;
}

std::string pngChunk(const std::string& type, const std::string& data) {
    std::string out;
    put32(out, static_cast<uint32_t>(data.size()));
    out += type;
    out += data;
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    put32(out, static_cast<uint32_t>(crc));
    return out;
}

std::string pngHeader(uint32_t width, uint32_t height, int bitDepth, int colourType) {
    std::string ihdr;
    put32(ihdr, width);
    put32(ihdr, height);
    ihdr += static_cast<char>(bitDepth);
    ihdr += static_cast<char>(colourType);
    ihdr += std::string(3, '\0');
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr);
}

std::string deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()), 9);
    out.resize(size);
    return out;
}

void putLe16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void putLe32(std::string& out, uint32_t value) {
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

std::vector<uint8_t> pixelsOf(const imgconv::PixelImage& image) {
    if (image.pixels() == nullptr) return {};
    return std::vector<uint8_t>(image.pixels(), image.pixels() + image.storageSize());
}

int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int difference = std::abs(a[i] - b[i]);
        if (difference > largest) largest = difference;
    }
    return largest;
}

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

std::vector<std::string> listFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void fillPattern(imgconv::PixelImage& image, int width, int height, int bitsPerPixel,
                 int paletteSize) {
    image.create(width, height, bitsPerPixel, paletteSize);
    for (int i = 0; i < image.paletteSize(); ++i) {
        imgconv::PaletteEntry& entry = image.paletteEntries()[i];
        entry.red = static_cast<uint8_t>(i * 53);
        entry.green = static_cast<uint8_t>(255 - i * 29);
        entry.blue = static_cast<uint8_t>(i * 97 + 40);
        entry.alpha = 255;
    }
    for (int y = 0; y < height; ++y) {
        unsigned char* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t red = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
            const uint8_t green = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
            const uint8_t blue = static_cast<uint8_t>((red + green) / 2);
            switch (bitsPerPixel) {
                case 8:
                    row[x] = paletteSize > 0 ? static_cast<uint8_t>((x + y) % paletteSize)
                                             : static_cast<uint8_t>((red + green) / 2);
                    break;
                case 16: {
                    const uint16_t word = imgconv::packRgb16(red, green, blue);
                    row[2 * x] = static_cast<uint8_t>(word & 0xFF);
                    row[2 * x + 1] = static_cast<uint8_t>(word >> 8);
                    break;
                }
                case 24:
                    row[3 * x] = red;
                    row[3 * x + 1] = green;
                    row[3 * x + 2] = blue;
                    break;
                default:
                    row[4 * x] = static_cast<uint8_t>(255 - (x * 7 + y) % 200);
                    row[4 * x + 1] = red;
                    row[4 * x + 2] = green;
                    row[4 * x + 3] = blue;
                    break;
            }
        }
    }
}

}  // namespace lanzhou::test
