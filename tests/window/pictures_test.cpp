#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPalette>
#include <QTest>
#include <set>

#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Bytes;
using platform::Control;
using platform::RgbaImage;

// Two frames of 4 x 4, red then blue, a tenth of a second each, as ImageMagick wrote them.
const unsigned char kRedBlueGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x04, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45,
    0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00,
    0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x21,
    0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00,
    0x80, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};

QRgb pixel(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p =
        image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return qRgba(p[0], p[1], p[2], p[3]);
}

bool near(QRgb actual, QRgb wanted) {
    return std::abs(qRed(actual) - qRed(wanted)) < 40 &&
           std::abs(qGreen(actual) - qGreen(wanted)) < 40 &&
           std::abs(qBlue(actual) - qBlue(wanted)) < 40;
}

// Left half red, right half blue, as Qt writes it in a format.
Bytes halvesIn(const char* format) {
    QImage image(8, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) image.setPixel(x, y, x < 4 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, format);
    writer.setQuality(100);
    EXPECT_TRUE(writer.write(image)) << format;
    return Bytes(bytes.begin(), bytes.end());
}

class PicturesTest : public QtFixture {
  protected:
    PicturesTest() { startWith({}); }

    RgbaImage preview() {
        QTest::qWait(20);
        return platform_->grabWindow(platform_->windowHandle(Control::图片框1));
    }
    QRgb background() const {
        return control<QWidget>("图片框1")->palette().color(QPalette::Button).rgb();
    }
};

TEST_F(PicturesTest, ThePreviewStretchesEachFormatOverItsWholeClientArea) {
    for (const char* format : {"bmp", "png", "jpeg", "ico"}) {
        SCOPED_TRACE(format);
        const Bytes bytes = halvesIn(format);
        platform_->setPicture(Control::图片框1, bytes);
        EXPECT_EQ(platform_->picture(Control::图片框1), bytes);
        const RgbaImage shown = preview();
        ASSERT_EQ(shown.width, 208);
        ASSERT_EQ(shown.height, 96);
        EXPECT_TRUE(near(pixel(shown, 0, 0), qRgb(0, 0, 0)));  // the border
        EXPECT_TRUE(near(pixel(shown, 1, 1), qRgb(255, 0, 0)));
        EXPECT_TRUE(near(pixel(shown, 50, 48), qRgb(255, 0, 0)));
        EXPECT_TRUE(near(pixel(shown, 157, 48), qRgb(0, 0, 255)));
        EXPECT_TRUE(near(pixel(shown, 206, 94), qRgb(0, 0, 255)));
    }
}

TEST_F(PicturesTest, NoPictureOrOneNothingCanReadShowsOnlyTheBackground) {
    const Bytes garbage{'n', 'o', ' ', 'p', 'i', 'c'};
    for (const Bytes& bytes : {Bytes{}, garbage}) {
        platform_->setPicture(Control::图片框1, halvesIn("png"));
        platform_->setPicture(Control::图片框1, bytes);
        EXPECT_EQ(platform_->picture(Control::图片框1), bytes);
        EXPECT_TRUE(near(pixel(preview(), 100, 48), background()));
    }
}

TEST_F(PicturesTest, AnAnimatedPicturePlays) {
    platform_->setPicture(Control::图片框1, Bytes(std::begin(kRedBlueGif), std::end(kRedBlueGif)));
    std::set<QRgb> seen;
    for (int i = 0; i < 20; ++i) seen.insert(pixel(preview(), 100, 48) | 0xFF000000);
    EXPECT_TRUE(seen.count(qRgb(255, 0, 0)) && seen.count(qRgb(0, 0, 255)));
}

TEST_F(PicturesTest, DecodingGivesPixelsAndSizeOrNothing) {
    const RgbaImage rgba =
        platform_->decodePicture(platform_->readFile(fixture("png/pngsuite/basn6a08.png")));
    ASSERT_EQ(rgba.width, 32);
    ASSERT_EQ(rgba.height, 32);
    EXPECT_EQ(rgba.pixels.size(), 32u * 32u * 4u);
    std::set<int> alphas;
    for (std::size_t i = 3; i < rgba.pixels.size(); i += 4) alphas.insert(rgba.pixels[i]);
    EXPECT_GT(alphas.size(), 10u);

    EXPECT_TRUE(platform_->decodePicture({1, 2, 3}).empty());
    EXPECT_TRUE(platform_->decodePicture({}).empty());
}

TEST_F(PicturesTest, GrabbingTheScreenAWindowAndAWindowThatIsGone) {
    const RgbaImage screen = platform_->grabWindow(platform::kNoWindow);
    EXPECT_FALSE(screen.empty());
    EXPECT_GT(platform_->screenDepth(), 16);

    auto* passing = new QWidget;
    passing->setWindowTitle(QStringLiteral("临时窗口"));
    passing->resize(40, 30);
    passing->show();
    const platform::WindowHandle handle = platform_->findTopLevelWindow("临时窗口");
    ASSERT_NE(handle, platform::kNoWindow);
    const RgbaImage shown = platform_->grabWindow(handle);
    EXPECT_EQ(shown.width, 40);
    EXPECT_EQ(shown.height, 30);
    delete passing;
    EXPECT_TRUE(platform_->grabWindow(handle).empty());
}

TEST_F(PicturesTest, DesktopIconsComeByPathAtMostAtTheSizeAsked) {
    for (int size : {64, 8}) {
        QImage icon(size, size, QImage::Format_ARGB32);
        icon.fill(qRgba(0, 128, 0, 200));
        ASSERT_TRUE(icon.save(QString::fromStdString(temp_.file("icon.png"))));
        const RgbaImage found = platform_->themedIcon(temp_.file("icon.png"), 32);
        EXPECT_EQ(found.width, std::min(size, 32));
        EXPECT_EQ(found.height, std::min(size, 32));
    }
    EXPECT_TRUE(platform_->themedIcon("lanzhou-no-such-icon", 32).empty());
    EXPECT_TRUE(platform_->themedIcon(temp_.file("missing.png"), 32).empty());
}

}  // namespace
}  // namespace lanzhou::test
