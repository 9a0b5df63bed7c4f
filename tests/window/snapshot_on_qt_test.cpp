#include <QPalette>
#include <QTest>
#include <QWidget>

#include "tests/window/qt_fixture.h"
#include "tests/workflow/bmp_reader.h"
#include "workflow/snapshot.h"

namespace lanzhou::test {
namespace {

using platform::Control;

class SnapshotOnQt : public QtFixture {
  protected:
    SnapshotOnQt() { startWith({}); }
    platform::WindowHandle preview() { return platform_->windowHandle(Control::图片框1); }
};

// The real grab of 图片框1, frame included, through the size rule into BMP bytes.
TEST_F(SnapshotOnQt, ThePreviewBoxAtEverySizeTheRuleGives) {
    struct Case {
        int32_t width, height;
        int32_t wantWidth, wantHeight;
        std::size_t bytes;
    };
    const Case cases[] = {
        {32, 32, 32, 32, 3126},           {64, 64, 64, 64, 12342},
        {128, 128, 128, 128, 49206},      {0, 0, 208, 96, 54 + 624 * 96},
        {-50, 0, 104, 96, 54 + 312 * 96}, {-3, 0, 21, 96, 54 + 64 * 96},
    };
    const QRgb background = control<QWidget>("图片框1")->palette().color(QPalette::Button).rgb();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const PictureBytes bmp = workflow::snapshotWindow(*platform_, preview(), c.width, c.height);
        ASSERT_EQ(bmp.size(), c.bytes);
        const Bitmap read = readBmp24(bmp);
        EXPECT_EQ(read.width, c.wantWidth);
        EXPECT_EQ(read.height, c.wantHeight);
        EXPECT_EQ(read.at(read.width / 2, read.height / 2) & 0xFFFFFF, background & 0xFFFFFF);
    }
    const Bitmap unscaled = readBmp24(workflow::snapshotWindow(*platform_, preview()));
    EXPECT_NE(unscaled.at(0, 0) & 0xFFFFFF, background & 0xFFFFFF) << "the border";
}

TEST_F(SnapshotOnQt, TheScreenAndAWindowThatIsGone) {
    const Bitmap screen = readBmp24(workflow::snapshotWindow(*platform_, platform::kNoWindow));
    EXPECT_EQ(screen.width, platform_->grabWindow(platform::kNoWindow).width);
    EXPECT_EQ(workflow::snapshotWindow(*platform_, platform::kNoWindow, 32, 32).size(), 3126u);

    auto* passing = new QWidget;
    passing->setWindowTitle(QStringLiteral("临时窗口"));
    passing->resize(40, 30);
    passing->show();
    const platform::WindowHandle handle = platform_->findTopLevelWindow("临时窗口");
    EXPECT_EQ(readBmp24(workflow::snapshotWindow(*platform_, handle)).width, 40);
    delete passing;
    EXPECT_TRUE(workflow::snapshotWindow(*platform_, handle, 32, 32).empty());
}

}  // namespace
}  // namespace lanzhou::test
