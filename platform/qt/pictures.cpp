#include "platform/qt/pictures.h"

#include "platform/qt/decode_picture.h"

#include <QBuffer>
#include <QImageReader>
#include <cstring>

namespace lanzhou::platform::qt {

QImage decodeImage(const QByteArray& bytes) {
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source);
    return reader.read();
}

bool isAnimated(const QByteArray& bytes) {
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source);
    return reader.supportsAnimation() && reader.imageCount() > 1;
}

RgbaImage toRgbaImage(const QImage& image) {
    RgbaImage result;
    if (image.isNull()) return result;
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    result.width = rgba.width();
    result.height = rgba.height();
    const std::size_t rowBytes = static_cast<std::size_t>(result.width) * 4;
    result.pixels.resize(rowBytes * static_cast<std::size_t>(result.height));
    for (int y = 0; y < result.height; ++y)
        std::memcpy(result.pixels.data() + rowBytes * static_cast<std::size_t>(y),
                    rgba.constScanLine(y), rowBytes);
    return result;
}

RgbaImage decodePicture(const Bytes& bytes) {
    return toRgbaImage(decodeImage(toQByteArray(bytes)));
}

QByteArray toQByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

Bytes toBytes(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return Bytes(data, data + bytes.size());
}

}  // namespace lanzhou::platform::qt
