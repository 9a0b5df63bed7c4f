// Makes the program's icon in the sizes the program and the desktop need from
// its 256 x 256 master, always by scaling the master down, never a small size up.
//   lanzhou_icon ico MASTER.svg OUT.ico        the notification area's 48 x 48, 32-bit ICO
//   lanzhou_icon png MASTER.svg SIZE OUT.png   a PNG of SIZE x SIZE (16 to 256)

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMasterSize = 256;
constexpr int kIcoSize = 48;

// The ICO's layout: ICONDIR (6 bytes), one ICONDIRENTRY (16), then the image as
// a 40-byte BITMAPINFOHEADER of doubled height, BGRA rows bottom-up and the
// 1-bit AND mask, rows padded to 32 bits, set where the pixel is transparent.
constexpr std::uint32_t kImageOffset = 6 + 16;
constexpr std::uint32_t kHeaderSize = 40;
constexpr std::uint32_t kPixelBytes = kIcoSize * kIcoSize * 4;
constexpr std::uint32_t kMaskRowBytes = (kIcoSize + 31) / 32 * 4;
constexpr std::uint32_t kMaskBytes = kMaskRowBytes * kIcoSize;
constexpr std::uint32_t kImageBytes = kHeaderSize + kPixelBytes + kMaskBytes;
// The directory entry names 32 in its colour-count byte and leaves planes and bit count 0.
constexpr std::uint8_t kEntryColourCount = 32;

QImage renderMaster(const char* path) {
    QSvgRenderer renderer{QString::fromLocal8Bit(path)};
    if (!renderer.isValid()) return {};
    QImage master(kMasterSize, kMasterSize, QImage::Format_ARGB32_Premultiplied);
    master.fill(Qt::transparent);
    QPainter painter(&master);
    renderer.render(&painter);
    return master;
}

QImage scaledDown(const QImage& master, int size) {
    const QImage scaled = size == master.width() ? master
                                                 : master.scaled(size, size, Qt::IgnoreAspectRatio,
                                                                 Qt::SmoothTransformation);
    return scaled.convertToFormat(QImage::Format_ARGB32);
}

void put16(QByteArray& out, std::uint16_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void put32(QByteArray& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

QByteArray icoBytes(const QImage& image) {
    QByteArray out;
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, 1);  // one image
    out.append(static_cast<char>(kIcoSize));
    out.append(static_cast<char>(kIcoSize));
    out.append(static_cast<char>(kEntryColourCount));
    out.append('\0');  // reserved
    put16(out, 0);     // planes
    put16(out, 0);     // bit count
    put32(out, kImageBytes);
    put32(out, kImageOffset);

    put32(out, kHeaderSize);
    put32(out, kIcoSize);
    put32(out, kIcoSize * 2);  // colour rows and mask rows
    put16(out, 1);             // planes
    put16(out, 32);            // bits per pixel
    put32(out, 0);             // no compression
    put32(out, kPixelBytes);
    for (int i = 0; i < 4; ++i) put32(out, 0);

    for (int y = kIcoSize - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kIcoSize; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = kIcoSize - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray mask(kMaskRowBytes, '\0');
        for (int x = 0; x < kIcoSize; ++x)
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
        out.append(mask);
    }
    return out;
}

bool writeFile(const char* path, const QByteArray& bytes) {
    QFile file{QString::fromLocal8Bit(path)};
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "lanzhou_icon: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (!((what == "ico" && argc == 4) || (what == "png" && argc == 5)))
        return fail("usage: lanzhou_icon ico MASTER OUT.ico | png MASTER SIZE OUT.png");
    const QImage master = renderMaster(argv[2]);
    if (master.isNull()) return fail(std::string("cannot read the master ") + argv[2]);

    if (what == "ico") {
        if (!writeFile(argv[3], icoBytes(scaledDown(master, kIcoSize))))
            return fail(std::string("cannot write ") + argv[3]);
        return 0;
    }
    const int size = std::atoi(argv[3]);
    if (size < 1 || size > kMasterSize) return fail("a size from 1 to 256, never above the master");
    if (!scaledDown(master, size).save(QString::fromLocal8Bit(argv[4]), "PNG"))
        return fail(std::string("cannot write ") + argv[4]);
    return 0;
}
