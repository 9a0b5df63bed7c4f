#include "workflow/snapshot.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/workflow/bmp_reader.h"
#include "tests/workflow/workflow_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;

class Snapshot : public WorkflowTest {
  protected:
    platform::WindowHandle preview() { return platform_.windowHandle(Control::图片框1); }
};

TEST_F(Snapshot, TheTargetSizeRuleAndTheBmpLayout) {
    struct Case {
        int32_t width, height;
        int32_t wantWidth, wantHeight;
        std::size_t bytes;
    };
    const Case cases[] = {
        {32, 32, 32, 32, 3126},
        {64, 64, 64, 64, 12342},
        {128, 128, 128, 128, 49206},
        {0, 0, 208, 96, 54 + 624 * 96},
        {-50, 0, 104, 96, 54 + 312 * 96},
        {-3, 0, 21, 96, 54 + 64 * 96},  // 10 percent, rounded; 63 bytes padded to 64
        {0, -150, 208, 144, 54 + 624 * 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const PictureBytes bmp = workflow::snapshotWindow(platform_, preview(), c.width, c.height);
        ASSERT_EQ(bmp.size(), c.bytes);
        const Bitmap read = readBmp24(bmp);
        EXPECT_EQ(read.width, c.wantWidth);
        EXPECT_EQ(read.height, c.wantHeight);
        EXPECT_EQ(read.pixels,
                  workflow::snapshotPixels(platform_, preview(), c.width, c.height).pixels);
        EXPECT_TRUE(near(read.at(read.width / 4, read.height / 2), 0xFF0000, 8));
        EXPECT_TRUE(near(read.at(3 * read.width / 4, read.height / 2), 0x0000FF, 8));
    }
}

TEST_F(Snapshot, TheScreenAWindowThatIsGoneAndSidesOfNothing) {
    platform::RgbaImage screen{800, 600, platform::Bytes(800 * 600 * 4, 0x80)};
    platform_.setWindowPixels(platform::kNoWindow, screen);
    EXPECT_EQ(readBmp24(workflow::snapshotWindow(platform_, platform::kNoWindow)).width, 800);
    EXPECT_EQ(workflow::snapshotWindow(platform_, platform::kNoWindow, 32, 32).size(), 3126u);

    platform_.destroyWindow(preview());
    EXPECT_TRUE(workflow::snapshotWindow(platform_, preview(), 32, 32).empty());
    EXPECT_TRUE(workflow::snapshotPixels(platform_, preview(), 32, 32).empty());

    platform::RgbaImage tiny{4, 4, platform::Bytes(4 * 4 * 4, 0xFF)};
    platform_.setWindowPixels(77, tiny);
    EXPECT_TRUE(workflow::snapshotWindow(platform_, 77, -10, 0).empty()) << "10 % of 4 is 0";
    EXPECT_TRUE(workflow::snapshotWindow(platform_, 77, 0, -1).empty());
}

TEST_F(Snapshot, ScreensOf16BitsOrFewerPickPixelsInsteadOfSmoothing) {
    // How many pixels of a 37 x 37 snapshot have a colour the window does not show.
    const auto newColours = [this] {
        const std::set<uint32_t> shown{0xFF000000, 0xFFFF0000, 0xFF0000FF};
        int count = 0;
        for (uint32_t p : workflow::snapshotPixels(platform_, preview(), 37, 37).pixels)
            count += shown.count(p) == 0 ? 1 : 0;
        return count;
    };
    platform_.setScreenDepth(16);
    EXPECT_EQ(newColours(), 0);
    platform_.setScreenDepth(24);
    EXPECT_GT(newColours(), 0);
}

}  // namespace
}  // namespace lanzhou::test
