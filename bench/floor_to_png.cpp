// floor_to_png: the least work a JPEG or BMP to PNG conversion can do with
// the libraries and settings of imgconv, as a yardstick for it.
//
//   floor_to_png SOURCE TARGET
//
// SOURCE is a JPEG file (libjpeg defaults) or a 24-bit uncompressed BMP;
// its pixels go into one malloc'd buffer, from which libpng writes TARGET as
// 8-bit RGB, Adam7-interlaced, with libpng's default filters and compression.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <png.h>

namespace {

struct Picture {
    unsigned char* pixels = nullptr;  // red, green, blue; rows top first, unpadded
    uint32_t width = 0;
    uint32_t height = 0;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "floor_to_png: %s\n", what);
    std::exit(1);
}

unsigned char* allocatePixels(uint32_t width, uint32_t height) {
    void* pixels = std::malloc(static_cast<std::size_t>(width) * height * 3);
    if (pixels == nullptr) fail("out of memory");
    return static_cast<unsigned char*>(pixels);
}

// libjpeg's default error handling ends the process, which is all we need.
Picture readJpeg(std::FILE* file) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    if (cinfo.out_color_components != 3) fail("not a colour JPEG");
    Picture picture;
    picture.width = cinfo.output_width;
    picture.height = cinfo.output_height;
    picture.pixels = allocatePixels(picture.width, picture.height);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = picture.pixels + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return picture;
}

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// 24 bits, no compression, an info header; bottom-up or top-down rows.
Picture readBmp(std::FILE* file) {
    unsigned char header[54];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) fail("short BMP");
    const int32_t heightField = static_cast<int32_t>(le32(header + 22));
    if (header[28] != 24 || le32(header + 30) != 0 || heightField == 0)
        fail("not a plain 24-bit BMP");
    Picture picture;
    picture.width = le32(header + 18);
    picture.height = heightField < 0 ? -heightField : heightField;
    picture.pixels = allocatePixels(picture.width, picture.height);
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) / 4 * 4;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(stride));
    if (row == nullptr || std::fseek(file, le32(header + 10), SEEK_SET) != 0) fail("bad BMP");
    for (uint32_t i = 0; i < picture.height; ++i) {
        if (std::fread(row, 1, stride, file) != stride) fail("short BMP");
        const uint32_t y = heightField > 0 ? picture.height - 1 - i : i;
        unsigned char* rgb = picture.pixels + static_cast<std::size_t>(y) * picture.width * 3;
        for (uint32_t x = 0; x < picture.width; ++x, rgb += 3) {
            rgb[0] = row[3 * x + 2];
            rgb[1] = row[3 * x + 1];
            rgb[2] = row[3 * x];
        }
    }
    std::free(row);
    return picture;
}

void writePng(const Picture& picture, std::FILE* file) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) fail("libpng");
    if (setjmp(png_jmpbuf(png)) != 0) fail("libpng could not write");
    png_init_io(png, file);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    for (int pass = 0; pass < passes; ++pass)
        for (uint32_t y = 0; y < picture.height; ++y)
            png_write_row(png, picture.pixels + y * stride);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor_to_png SOURCE TARGET\n");
        return 2;
    }
    std::FILE* source = std::fopen(argv[1], "rb");
    if (source == nullptr) fail("cannot open the source");
    unsigned char magic[2] = {0, 0};
    if (std::fread(magic, 1, 2, source) != 2 || std::fseek(source, 0, SEEK_SET) != 0)
        fail("cannot read the source");
    Picture picture;
    if (magic[0] == 0xFF && magic[1] == 0xD8)
        picture = readJpeg(source);
    else if (magic[0] == 'B' && magic[1] == 'M')
        picture = readBmp(source);
    else
        fail("the source is neither JPEG nor BMP");
    std::fclose(source);

    std::FILE* target = std::fopen(argv[2], "wb");
    if (target == nullptr) fail("cannot create the target");
    writePng(picture, target);
    if (std::fclose(target) != 0) fail("cannot write the target");
    std::free(picture.pixels);
    return 0;
}
