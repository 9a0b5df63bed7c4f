// floor_to_jpeg: the least work a PNG to JPEG conversion can do with the
// libraries and settings of imgconv, as a yardstick for it.
//
//   floor_to_jpeg SOURCE TARGET
//
// SOURCE is an 8-bit RGB PNG; its pixels go into one malloc'd buffer, from
// which libjpeg writes TARGET with its defaults (islow DCT, 4:2:0) at
// quality 75, baseline tables and optimised Huffman coding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <png.h>

namespace {

constexpr int kQuality = 75;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "floor_to_jpeg: %s\n", what);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor_to_jpeg SOURCE TARGET\n");
        return 2;
    }
    std::FILE* source = std::fopen(argv[1], "rb");
    if (source == nullptr) fail("cannot open the source");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) fail("libpng");
    if (setjmp(png_jmpbuf(png)) != 0) fail("libpng could not read the source");
    png_init_io(png, source);
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB)
        fail("not an 8-bit RGB PNG");
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(stride * height));
    if (pixels == nullptr) fail("out of memory");
    std::vector<unsigned char*> rows(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = pixels + y * stride;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(source);

    std::FILE* target = std::fopen(argv[2], "wb");
    if (target == nullptr) fail("cannot create the target");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, target);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    cinfo.optimize_coding = TRUE;
    jpeg_set_quality(&cinfo, kQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                             cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    if (std::fclose(target) != 0) fail("cannot write the target");
    std::free(pixels);
    return 0;
}
