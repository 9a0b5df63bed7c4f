#include "tests/workflow/output_checks.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace lanzhou::test {
namespace {

constexpr std::size_t kImageOffset = 6 + 16;
constexpr std::size_t kInfoHeaderSize = 40;

}  // namespace

uint32_t fieldAt(const PictureBytes& bytes, std::size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
    return value;
}

QImage readIcoWithQt(const PictureBytes& bytes) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

Bitmap readIcoFile(const PictureBytes& bytes) {
    EXPECT_GE(bytes.size(), kImageOffset + kInfoHeaderSize);
    if (bytes.size() < kImageOffset + kInfoHeaderSize) return Bitmap();
    EXPECT_EQ(fieldAt(bytes, 0, 2), 0u) << "reserved";
    EXPECT_EQ(fieldAt(bytes, 2, 2), 1u) << "icon type";
    EXPECT_EQ(fieldAt(bytes, 4, 2), 1u) << "one image";
    const int32_t width = bytes[6] == 0 ? 256 : bytes[6];
    const int32_t height = bytes[7] == 0 ? 256 : bytes[7];
    EXPECT_EQ(fieldAt(bytes, 10, 2), 1u) << "planes";
    EXPECT_EQ(fieldAt(bytes, 12, 2), 32u) << "bits per pixel";
    EXPECT_EQ(fieldAt(bytes, 14, 4), bytes.size() - kImageOffset) << "image size";
    EXPECT_EQ(fieldAt(bytes, 18, 4), kImageOffset) << "image offset";

    const std::size_t info = kImageOffset;
    EXPECT_EQ(fieldAt(bytes, info, 4), kInfoHeaderSize);
    EXPECT_EQ(static_cast<int32_t>(fieldAt(bytes, info + 4, 4)), width);
    EXPECT_EQ(static_cast<int32_t>(fieldAt(bytes, info + 8, 4)), 2 * height) << "doubled height";
    EXPECT_EQ(fieldAt(bytes, info + 12, 2), 1u);
    EXPECT_EQ(fieldAt(bytes, info + 14, 2), 32u);
    EXPECT_EQ(fieldAt(bytes, info + 16, 4), 0u) << "BI_RGB";

    const std::size_t colour = info + kInfoHeaderSize;
    const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t mask = colour + static_cast<std::size_t>(width) * height * 4;
    EXPECT_EQ(bytes.size(), mask + maskStride * height);
    if (bytes.size() != mask + maskStride * height) return Bitmap();

    Bitmap stored = makeBitmap(width, height);
    int maskErrors = 0;
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t argb = fieldAt(bytes, colour + (row * width + x) * 4, 4);
            stored.at(x, y) = argb;
            const bool masked = bytes[mask + row * maskStride + x / 8] & (0x80 >> (x % 8));
            if (masked != (alphaOf(argb) == 0)) ++maskErrors;
        }
    }
    EXPECT_EQ(maskErrors, 0) << "mask bits that disagree with alpha";

    const QImage read = readIcoWithQt(bytes);
    EXPECT_EQ(read.width(), width);
    EXPECT_EQ(read.height(), height);
    if (read.width() != width || read.height() != height) return stored;
    int pixelErrors = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t want = stored.at(x, y);
            const uint32_t got = read.pixel(x, y);
            // Qt keeps pixels premultiplied: colours of faint pixels come back rounded.
            const int tolerance = alphaOf(want) == 0 ? 255 : static_cast<int>(255 / alphaOf(want));
            const auto close = [tolerance](uint32_t a, uint32_t b) {
                return std::abs(static_cast<int>(a) - static_cast<int>(b)) <= tolerance;
            };
            if (alphaOf(got) != alphaOf(want) || !close(redOf(got), redOf(want)) ||
                !close(greenOf(got), greenOf(want)) || !close(blueOf(got), blueOf(want)))
                ++pixelErrors;
        }
    }
    EXPECT_EQ(pixelErrors, 0) << "pixels Qt reads otherwise";
    return stored;
}

Picture expectRgbPng(const std::string& path, int width, int height) {
    const Picture png = decodePng(path);
    EXPECT_TRUE(png.ok) << path;
    EXPECT_EQ(png.width, width);
    EXPECT_EQ(png.height, height);
    EXPECT_EQ(png.colourType, 2) << "RGB";
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.interlace, 1) << "Adam7";
    return png;
}

Picture expectColourJpeg(const std::string& path, int width, int height) {
    const Picture jpeg = decodeJpeg(path);
    EXPECT_TRUE(jpeg.ok) << path;
    EXPECT_EQ(jpeg.width, width);
    EXPECT_EQ(jpeg.height, height);
    EXPECT_EQ(jpeg.components, 3);
    return jpeg;
}

bool near(uint32_t argb, uint32_t rgb, int tolerance) {
    const auto close = [tolerance](uint32_t a, uint32_t b) {
        return std::abs(static_cast<int>(a) - static_cast<int>(b)) <= tolerance;
    };
    return alphaOf(argb) == 255 && close(redOf(argb), (rgb >> 16) & 0xFF) &&
           close(greenOf(argb), (rgb >> 8) & 0xFF) && close(blueOf(argb), rgb & 0xFF);
}

uint32_t rgbAt(const Picture& picture, int x, int y) {
    const uint8_t* p = picture.pixel(x, y);
    return makeArgb(255, p[0], p[1], p[2]);
}

}  // namespace lanzhou::test
