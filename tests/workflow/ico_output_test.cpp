#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/qt/decode_picture.h"
#include "tests/iconlist/icon_samples.h"
#include "tests/workflow/bmp_reader.h"
#include "tests/workflow/output_checks.h"
#include "tests/workflow/workflow_fixture.h"
#include "workflow/ico_wrapping.h"
#include "workflow/rgba_bitmap.h"
#include "workflow/snapshot.h"

namespace lanzhou::test {
namespace {

using platform::Control;
using workflow::previewToIcoFile;

// The reader that shows the preview.
Bitmap decodeAsThePreview(const PictureBytes& bytes) {
    return workflow::bitmapFromRgba(platform::qt::decodePicture(bytes));
}

PictureBytes wrap(const PictureBytes& bytes) {
    return previewToIcoFile(bytes, decodeAsThePreview);
}

PictureBytes jpegOf(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    const std::string jpeg = encodeJpeg(width, height, 3, pixels);
    return PictureBytes(jpeg.begin(), jpeg.end());
}

TEST(IcoWrapping, IcoBytesStayAsTheyAre) {
    const PictureBytes ico =
        icoFile({dibIcoImage(samplePicture(16, 3), 4), pngIcoImage(samplePicture(48, 9, true))});
    EXPECT_EQ(wrap(ico), ico);
    int decoded = 0;
    EXPECT_EQ(previewToIcoFile(ico,
                               [&decoded](const PictureBytes&) {
                                   ++decoded;
                                   return Bitmap();
                               }),
              ico);
    EXPECT_EQ(decoded, 0);
}

TEST(IcoWrapping, APictureKeepsItsSizeAndAlpha) {
    const Bitmap picture = samplePicture(40, 6, true);
    const Bitmap read = readIcoFile(wrap(pngImage(picture)));
    ASSERT_EQ(read.width, 40);
    ASSERT_EQ(read.height, 40);
    EXPECT_EQ(read.pixels, picture.pixels);
    EXPECT_EQ(alphaOf(read.at(0, 0)), 0u) << "the transparent corner";
}

TEST(IcoWrapping, LargerPicturesShrinkToFit256KeepingTheirAspect) {
    struct Case {
        int width, height, fitWidth, fitHeight;
    };
    for (const Case& c : {Case{600, 300, 256, 128}, Case{100, 1000, 26, 256},
                          Case{256, 256, 256, 256}, Case{257, 20, 256, 20}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const Bitmap read = readIcoFile(wrap(jpegOf(c.width, c.height)));
        EXPECT_EQ(read.width, c.fitWidth);
        EXPECT_EQ(read.height, c.fitHeight);
        for (uint32_t p : read.pixels) ASSERT_EQ(alphaOf(p), 255u);
    }
}

TEST(IcoWrapping, BytesNothingDecodesGiveNothing) {
    EXPECT_TRUE(wrap({}).empty());
    EXPECT_TRUE(wrap({'B', 'M', 1, 2, 3}).empty());
    const PictureBytes png = pngImage(samplePicture(8, 2));
    EXPECT_TRUE(previewToIcoFile(png, nullptr).empty());
    EXPECT_TRUE(previewToIcoFile(png, [](const PictureBytes&) { return Bitmap(); }).empty());
}

class OriginalSizeIco : public WorkflowTest {
  protected:
    Bitmap saveAndRead(const std::string& dropped, const PictureBytes& bytes) {
        dropFile(dropped, bytes);
        platform_.answerNextDialog(output("P"));
        platform_.click(Control::单选框1原大小);
        platform_.click(Control::选择框1ico);
        EXPECT_EQ(messages(), std::vector<std::string>{"提示信息: 保存成功 默认大小"});
        return readIcoFile(platform_.readFile(output("P原大小.ico")));
    }
};

TEST_F(OriginalSizeIco, ADroppedPngWithAlphaIsSavedWithItsTransparency) {
    const Bitmap picture = samplePicture(32, 12, true);
    EXPECT_EQ(saveAndRead("picture.png", pngImage(picture)).pixels, picture.pixels);
}

TEST_F(OriginalSizeIco, AProgramsIconIsSavedAsTheOpaqueIconShown) {
    ASSERT_TRUE(
        writeBytes(in_ + "/app.ico", icoFile({dibIcoImage(samplePicture(32, 5, true), 32)})));
    const std::string dll = buildResourceDll(in_, "1 ICON \"app.ico\"\n", true);
    ASSERT_FALSE(dll.empty());
    platform_.dropFiles(dll);
    const Bitmap shown = readBmp24(platform_.picture(Control::图片框1));
    platform_.answerNextDialog(output("P"));
    platform_.click(Control::单选框1原大小);
    platform_.click(Control::选择框1ico);
    EXPECT_EQ(readIcoFile(platform_.readFile(output("P原大小.ico"))).pixels, shown.pixels);
}

TEST_F(OriginalSizeIco, ADroppedIcoFileIsSavedUnchanged) {
    const PictureBytes ico =
        icoFile({dibIcoImage(samplePicture(16, 3), 8), dibIcoImage(samplePicture(32, 3), 8)});
    dropFile("icon.ico", ico);
    platform_.answerNextDialog(output("P"));
    platform_.click(Control::单选框1原大小);
    platform_.click(Control::选择框1ico);
    EXPECT_EQ(platform_.readFile(output("P原大小.ico")), ico);
}

TEST_F(WorkflowTest, ASizedIcoIsTheOpaqueCaptureWithAnEmptyMask) {
    dropPhoto();
    platform_.answerNextDialog(output("P"));
    platform_.click(Control::单选框432);
    platform_.click(Control::选择框1ico);
    const PictureBytes ico = platform_.readFile(output("P32.ico"));
    ASSERT_EQ(ico.size(), 22u + 40 + 32 * 32 * 4 + 32 * 4);
    const Bitmap read = readIcoFile(ico);
    EXPECT_EQ(read.pixels,
              workflow::snapshotPixels(platform_, platform_.windowHandle(Control::图片框1), 32, 32)
                  .pixels);
}

}  // namespace
}  // namespace lanzhou::test
