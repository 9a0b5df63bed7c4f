// make_picture: the benchmark's source picture, made from nothing but its
// size, so that every run on every machine converts the same bytes.
//
//   make_picture WIDTH HEIGHT PREFIX
//
// writes PREFIX.ppm (the pixels), PREFIX.jpg (libjpeg defaults, quality 90),
// PREFIX.png (libpng defaults, not interlaced) and PREFIX.bmp (24 bits,
// bottom-up). The picture is photo-like: smooth gradients, hard-edged shapes,
// a band of fine texture, and noise over all of it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <png.h>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kJpegQuality = 90;
// Noise amplitude in levels: about what a camera sensor leaves in a photo.
constexpr int kNoise = 7;

// A stateless hash, so that the noise of a pixel depends on its place only.
uint32_t hash(uint32_t x, uint32_t y, uint32_t channel) {
    uint64_t h = (static_cast<uint64_t>(x) << 32 | y) ^ (static_cast<uint64_t>(channel) << 61);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return static_cast<uint32_t>(h);
}

unsigned char clampLevel(double value) {
    if (value < 0) return 0;
    if (value > 255) return 255;
    return static_cast<unsigned char>(value + 0.5);
}

struct Disc {
    double cx, cy, radius;
    double r, g, b;
};

// Positions in units of the picture's height, so that both sizes show the
// same scene.
const Disc kDiscs[] = {
    {0.30, 0.35, 0.18, 230, 180, 40}, {0.85, 0.55, 0.25, 40, 90, 200},
    {1.20, 0.30, 0.12, 200, 40, 60},  {0.55, 0.75, 0.10, 250, 250, 240},
    {1.35, 0.80, 0.15, 30, 30, 35},
};

void shade(double u, double v, double aspect, double out[3]) {
    // Sky above, ground below, both gently curved.
    const double horizon = 0.55 + 0.05 * std::sin(2 * kPi * u / aspect * 1.5);
    if (v < horizon) {
        const double t = v / horizon;
        out[0] = 90 + 80 * t + 15 * std::sin(2 * kPi * (u * 0.4 + t * 0.3));
        out[1] = 130 + 70 * t + 10 * std::cos(2 * kPi * u * 0.7);
        out[2] = 220 - 30 * t;
    } else {
        const double t = (v - horizon) / (1 - horizon);
        // Fine texture: grass-like stripes whose frequency rises towards us.
        const double blades = std::sin(2 * kPi * (u * (60 + 240 * t) + 3 * std::sin(v * 40)));
        out[0] = 70 + 40 * t + 25 * blades;
        out[1] = 110 + 30 * t + 35 * blades;
        out[2] = 40 + 10 * t + 10 * blades;
    }
    for (const Disc& d : kDiscs) {
        const double dx = u - d.cx;
        const double dy = v - d.cy;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < d.radius) {
            // Lit from the upper left.
            const double light = 0.75 + 0.35 * (-dx - dy) / d.radius;
            out[0] = d.r * light;
            out[1] = d.g * light;
            out[2] = d.b * light;
        }
    }
    // A window-like grid of hard-edged rectangles on the right.
    if (u > aspect * 0.78 && v > 0.15 && v < 0.5) {
        const double cu = std::fmod((u - aspect * 0.78) * 25, 1.0);
        const double cv = std::fmod((v - 0.15) * 25, 1.0);
        if (cu < 0.7 && cv < 0.6) {
            out[0] = 250;
            out[1] = 230;
            out[2] = 150;
        } else {
            out[0] = out[1] = out[2] = 60;
        }
    }
}

std::vector<unsigned char> makePixels(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    const double aspect = static_cast<double>(width) / height;
    unsigned char* p = pixels.data();
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height;
        for (int x = 0; x < width; ++x, p += 3) {
            double rgb[3];
            shade((x + 0.5) / height, v, aspect, rgb);
            for (int c = 0; c < 3; ++c) {
                // Triangular noise: the sum of two uniform values.
                const uint32_t h = hash(x, y, c);
                const int noise =
                    static_cast<int>(h & 0xFF) + static_cast<int>(h >> 8 & 0xFF) - 255;
                p[c] = clampLevel(rgb[c] + noise * kNoise / 255.0);
            }
        }
    }
    return pixels;
}

std::FILE* create(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    return file;
}

void finish(std::FILE* file, const std::string& path) {
    if (std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void writePpm(const std::string& path, const std::vector<unsigned char>& pixels, int width,
              int height) {
    std::FILE* file = create(path);
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    std::fwrite(pixels.data(), 1, pixels.size(), file);
    finish(file, path);
}

void writeJpeg(const std::string& path, const std::vector<unsigned char>& pixels, int width,
               int height) {
    std::FILE* file = create(path);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) + cinfo.next_scanline * stride;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    finish(file, path);
}

void writePng(const std::string& path, const std::vector<unsigned char>& pixels, int width,
              int height) {
    std::FILE* file = create(path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        std::fprintf(stderr, "%s: libpng failed\n", path.c_str());
        std::exit(1);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<unsigned char*>(pixels.data()) + y * stride);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    finish(file, path);
}

void put16(std::FILE* file, uint32_t value) {
    std::fputc(value & 0xFF, file);
    std::fputc(value >> 8 & 0xFF, file);
}

void put32(std::FILE* file, uint32_t value) {
    put16(file, value & 0xFFFF);
    put16(file, value >> 16);
}

// 14-byte file header, 40-byte info header, bottom-up rows of blue, green,
// red padded to 4 bytes.
void writeBmp(const std::string& path, const std::vector<unsigned char>& pixels, int width,
              int height) {
    constexpr uint32_t kHeaders = 14 + 40;
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    std::FILE* file = create(path);
    std::fputs("BM", file);
    put32(file, kHeaders + stride * height);
    put32(file, 0);
    put32(file, kHeaders);
    put32(file, 40);
    put32(file, width);
    put32(file, height);
    put16(file, 1);
    put16(file, 24);
    for (int i = 0; i < 6; ++i) put32(file, 0);  // no compression, sizes, resolution, colours
    std::vector<unsigned char> row(stride, 0);
    for (int y = height - 1; y >= 0; --y) {
        const unsigned char* rgb = pixels.data() + static_cast<std::size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = rgb[3 * x + 2];
            row[3 * x + 1] = rgb[3 * x + 1];
            row[3 * x + 2] = rgb[3 * x];
        }
        std::fwrite(row.data(), 1, stride, file);
    }
    finish(file, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_picture WIDTH HEIGHT PREFIX\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    if (width < 1 || height < 1 || static_cast<int64_t>(width) * height > 100000000) {
        std::fprintf(stderr, "make_picture: bad size\n");
        return 2;
    }
    const std::string prefix = argv[3];
    const std::vector<unsigned char> pixels = makePixels(width, height);
    writePpm(prefix + ".ppm", pixels, width, height);
    writeJpeg(prefix + ".jpg", pixels, width, height);
    writePng(prefix + ".png", pixels, width, height);
    writeBmp(prefix + ".bmp", pixels, width, height);
    return 0;
}
