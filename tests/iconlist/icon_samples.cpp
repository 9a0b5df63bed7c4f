#include "tests/iconlist/icon_samples.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "tests/support/test_files.h"

namespace lanzhou::test {
namespace {

void putWord(Bytes& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void putDword(Bytes& out, uint32_t value) {
    putWord(out, value & 0xFFFF);
    putWord(out, value >> 16);
}

uint32_t stripeColour(int index) {
    // Well apart from each other and from black.
    return makeArgb(255, (index * 97 + 40) & 0xFF, (index * 53 + 90) & 0xFF,
                    (index * 31 + 150) & 0xFF);
}

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

int run(const std::string& command) {
    return std::system(command.c_str());
}

}  // namespace

Bitmap samplePicture(int32_t side, int colours, bool partialAlpha) {
    Bitmap picture = makeBitmap(side, side);
    for (int32_t y = 0; y < side; ++y) {
        for (int32_t x = 0; x < side; ++x) {
            if (x + y < side / 2) {
                picture.at(x, y) = 0;
                continue;
            }
            uint32_t colour = stripeColour((x / 3 + y / 2) % colours);
            if (partialAlpha)
                colour = (colour & 0xFFFFFF) | static_cast<uint32_t>(1 + (x * 254) / (side - 1))
                                                   << 24;
            picture.at(x, y) = colour;
        }
    }
    return picture;
}

Bytes dibImage(const Bitmap& picture, int bits) {
    std::vector<uint32_t> palette;
    std::map<uint32_t, uint32_t> indexOf;
    if (bits <= 8) {
        for (uint32_t pixel : picture.pixels) {
            const uint32_t rgb = pixel & 0xFFFFFF;
            if (indexOf.emplace(rgb, static_cast<uint32_t>(palette.size())).second)
                palette.push_back(rgb);
        }
    }
    Bytes out;
    putDword(out, 40);
    putDword(out, static_cast<uint32_t>(picture.width));
    putDword(out, static_cast<uint32_t>(picture.height * 2));
    putWord(out, 1);
    putWord(out, static_cast<uint32_t>(bits));
    putDword(out, 0);
    putDword(out, 0);
    putDword(out, 0);
    putDword(out, 0);
    putDword(out, static_cast<uint32_t>(palette.size()));
    putDword(out, 0);
    for (uint32_t rgb : palette) putDword(out, rgb);

    const std::size_t stride = (static_cast<std::size_t>(picture.width) * bits + 31) / 32 * 4;
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.at(x, y);
            switch (bits) {
                case 1:
                case 4:
                case 8: {
                    const uint32_t index = indexOf.at(pixel & 0xFFFFFF);
                    const int perByte = 8 / bits;
                    const int shift = 8 - bits * (x % perByte + 1);
                    row[x / perByte] |= static_cast<unsigned char>(index << shift);
                    break;
                }
                case 24:
                    row[3 * x] = static_cast<unsigned char>(blueOf(pixel));
                    row[3 * x + 1] = static_cast<unsigned char>(greenOf(pixel));
                    row[3 * x + 2] = static_cast<unsigned char>(redOf(pixel));
                    break;
                default:
                    for (int i = 0; i < 4; ++i)
                        row[4 * x + i] = static_cast<unsigned char>(pixel >> (8 * i));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    const std::size_t maskStride = (static_cast<std::size_t>(picture.width) + 31) / 32 * 4;
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int32_t x = 0; x < picture.width; ++x)
            if (alphaOf(picture.at(x, y)) == 0)
                row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes pngImage(const Bitmap& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<unsigned char> rgba(picture.pixels.size() * 4);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t pixel = picture.pixels[i];
        rgba[4 * i] = static_cast<unsigned char>(redOf(pixel));
        rgba[4 * i + 1] = static_cast<unsigned char>(greenOf(pixel));
        rgba[4 * i + 2] = static_cast<unsigned char>(blueOf(pixel));
        rgba[4 * i + 3] = static_cast<unsigned char>(alphaOf(pixel));
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height));
    for (int32_t y = 0; y < picture.height; ++y)
        rows[y] = rgba.data() + static_cast<std::size_t>(y) * picture.width * 4;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, appendPng, noFlush);
        png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    } else {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

IcoImage dibIcoImage(const Bitmap& picture, int bits) {
    return {picture.width, picture.height, bits, dibImage(picture, bits)};
}

IcoImage pngIcoImage(const Bitmap& picture) {
    return {picture.width, picture.height, 32, pngImage(picture)};
}

Bytes icoFile(const std::vector<IcoImage>& images) {
    Bytes out;
    putWord(out, 0);
    putWord(out, 1);
    putWord(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IcoImage& image : images) {
        out.push_back(static_cast<unsigned char>(image.width & 0xFF));
        out.push_back(static_cast<unsigned char>(image.height & 0xFF));
        out.push_back(image.bits <= 4 ? static_cast<unsigned char>(1 << image.bits) : 0);
        out.push_back(0);
        putWord(out, 1);
        putWord(out, static_cast<uint32_t>(image.bits));
        putDword(out, static_cast<uint32_t>(image.data.size()));
        putDword(out, offset);
        offset += static_cast<uint32_t>(image.data.size());
    }
    for (const IcoImage& image : images)
        out.insert(out.end(), image.data.begin(), image.data.end());
    return out;
}

std::string buildResourceDll(const std::string& dir, const std::string& rc, bool bits64) {
    const std::string windres = bits64 ? LANZHOU_WINDRES_X86_64 : LANZHOU_WINDRES_I686;
    const std::string ld = bits64 ? LANZHOU_LD_X86_64 : LANZHOU_LD_I686;
    const std::string name = bits64 ? "icons64" : "icons32";
    std::ofstream(dir + "/" + name + ".rc") << rc;
    // No C preprocessor is needed for these scripts, and none is installed.
    const std::string cd = "cd '" + dir + "' && ";
    if (run(cd + "'" + windres + "' --preprocessor=cat " + name + ".rc -O coff -o " + name +
            ".o") != 0 ||
        run(cd + "'" + ld + "' --dll -e 0 -o " + name + ".dll " + name + ".o") != 0)
        return std::string();
    return dir + "/" + name + ".dll";
}

uint32_t dwordAt(const Bytes& bytes, std::size_t offset) {
    return bytes.at(offset) | bytes.at(offset + 1) << 8 | bytes.at(offset + 2) << 16 |
           static_cast<uint32_t>(bytes.at(offset + 3)) << 24;
}

void setDword(Bytes& bytes, std::size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

void setWord(Bytes& bytes, std::size_t offset, uint32_t value) {
    for (int i = 0; i < 2; ++i) bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

SectionPlace findSection(const Bytes& pe, const char* name) {
    const std::size_t peOffset = dwordAt(pe, 0x3C);
    const std::size_t count = pe.at(peOffset + 6) | pe.at(peOffset + 7) << 8;
    const std::size_t optionalSize = pe.at(peOffset + 20) | pe.at(peOffset + 21) << 8;
    const std::size_t table = peOffset + 24 + optionalSize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t header = table + 40 * i;
        if (std::strncmp(reinterpret_cast<const char*>(pe.data() + header), name, 8) == 0)
            return {dwordAt(pe, header + 20), dwordAt(pe, header + 16), dwordAt(pe, header + 12)};
    }
    return SectionPlace();
}

Bytes patched(const Bytes& bytes, const FieldPatch& patch) {
    Bytes out = bytes;
    if (patch.size == 4)
        setDword(out, patch.offset, patch.value);
    else
        setWord(out, patch.offset, patch.value);
    return out;
}

Bytes readBytes(const std::string& path) {
    const std::string text = readFile(path);
    return Bytes(text.begin(), text.end());
}

bool writeBytes(const std::string& path, const Bytes& bytes) {
    return writeFile(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace lanzhou::test
