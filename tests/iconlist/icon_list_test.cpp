#include "iconlist/icon_list.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/iconlist/icon_samples.h"
#include "tests/iconlist/theme_lookup.h"
#include "tests/support/test_files.h"
#include "tests/workflow/bmp_reader.h"

namespace lanzhou {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// `picture` drawn over an opaque background given as 0xRRGGBB.
Bitmap over(const Bitmap& picture, uint32_t rgb) {
    Bitmap out = makeBitmap(picture.width, picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t p = picture.pixels[i];
        const uint32_t a = alphaOf(p);
        const auto mix = [a](uint32_t c, uint32_t b) {
            return (c * a + b * (255 - a) + 127) / 255;
        };
        out.pixels[i] = makeArgb(255, mix(redOf(p), redOf(rgb)), mix(greenOf(p), greenOf(rgb)),
                                 mix(blueOf(p), blueOf(rgb)));
    }
    return out;
}

class IconList : public testing::Test {
  protected:
    std::string icoPath(const std::string& name, const std::vector<test::IcoImage>& images) {
        const std::string path = dir_.file(name);
        EXPECT_TRUE(test::writeBytes(path, test::icoFile(images)));
        return path;
    }

    test::ScopedTempDir dir_;
};

TEST_F(IconList, NewListBytes) {
    const PictureBytes list = createIconList(32, 32);
    ASSERT_GT(list.size(), 8u);
    EXPECT_EQ(0, std::memcmp(list.data(), "MITL\x00\x00\x00\xFF", 8));
    EXPECT_TRUE(renderIconListImage(list, 0).empty()) << "no image yet";
    for (auto [w, h] : {std::pair{0, 32}, {32, 0}, {-32, 32}, {257, 32}, {32, 100000}})
        EXPECT_TRUE(createIconList(w, h).empty()) << w << " x " << h;
}

TEST_F(IconList, ProgramIconRoundTripOnWhiteAndBlack) {
    const Bitmap picture = test::samplePicture(32, 40, true);
    icoPath("app.ico",
            {test::dibIcoImage(test::samplePicture(16, 3), 8), test::pngIcoImage(picture)});
    const std::string program = test::buildResourceDll(dir_.path(), "1 ICON \"app.ico\"\n", false);
    ASSERT_FALSE(program.empty());

    PictureBytes list = createIconList(32, 32);
    const PictureBytes empty = list;
    ASSERT_EQ(addFileIcon(list, program), 0);
    EXPECT_NE(list, empty);

    const PictureBytes onWhite = renderIconListImage(list, 0);
    ASSERT_EQ(onWhite.size(), 3126u);
    EXPECT_EQ(test::readBmp24(onWhite).pixels, over(picture, 0xFFFFFF).pixels);
    EXPECT_EQ(renderIconListImage(list, 0, kWhite), onWhite);
    const PictureBytes onBlack = renderIconListImage(list, 0, kBlack);
    EXPECT_EQ(test::readBmp24(onBlack).pixels, over(picture, 0x000000).pixels);
    EXPECT_EQ(test::readBmp24(onBlack).at(0, 0), 0xFF000000u) << "transparent corner";
    // Windows colour values are 0x00BBGGRR.
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 0, 0x0000FF)).at(0, 0), 0xFFFF0000u);

    EXPECT_TRUE(renderIconListImage(list, 1).empty());
    EXPECT_TRUE(renderIconListImage(list, -1).empty());
}

TEST_F(IconList, ImagesAppendAndKeepTheirIndex) {
    const Bitmap first = test::samplePicture(32, 5);
    const Bitmap second = test::samplePicture(32, 9, true);
    const std::string a = icoPath("a.ico", {test::dibIcoImage(first, 8)});
    const std::string b = icoPath("b.ico", {test::dibIcoImage(second, 32)});
    PictureBytes list = createIconList(32, 32);
    EXPECT_EQ(addFileIcon(list, a), 0);
    EXPECT_EQ(addFileIcon(list, b), 1);
    EXPECT_EQ(addFileIcon(list, a), 2);
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 0)).pixels, over(first, 0xFFFFFF).pixels);
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 1)).pixels, over(second, 0xFFFFFF).pixels);
    EXPECT_EQ(renderIconListImage(list, 2), renderIconListImage(list, 0));
}

TEST_F(IconList, IconsAreFittedToTheListSize) {
    const std::string big = icoPath("big.ico", {test::pngIcoImage(test::samplePicture(48, 4))});
    PictureBytes list = createIconList(32, 32);
    ASSERT_EQ(addFileIcon(list, big), 0);
    EXPECT_EQ(renderIconListImage(list, 0).size(), 3126u);

    PictureBytes wide = createIconList(20, 10);
    ASSERT_EQ(addFileIcon(wide, big), 0);
    const Bitmap drawn = test::readBmp24(renderIconListImage(wide, 0));
    EXPECT_EQ(drawn.width, 20);
    EXPECT_EQ(drawn.height, 10);
}

TEST_F(IconList, SmallIconsComeFromThe16PixelImage) {
    const Bitmap small = test::samplePicture(16, 2);
    const Bitmap large = test::samplePicture(32, 6);
    const std::string both =
        icoPath("both.ico", {test::dibIcoImage(large, 8), test::dibIcoImage(small, 8)});
    PictureBytes list = createIconList(16, 16);
    ASSERT_EQ(addFileIcon(list, both, 0, true), 0);
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 0)).pixels, over(small, 0xFFFFFF).pixels);
    // With only a large image, the small icon is the large one fitted.
    const std::string onlyLarge = icoPath("large.ico", {test::dibIcoImage(large, 8)});
    EXPECT_EQ(addFileIcon(list, onlyLarge, 0, true), 1);
}

TEST_F(IconList, DesktopEntryIcons) {
    test::ScopedThemeLookup theme;
    const std::string entry = dir_.file("viewer.desktop");
    ASSERT_TRUE(test::writeFile(entry, "[Desktop Entry]\nType=Application\nIcon=lanzhou-sample\n"));
    PictureBytes list = createIconList(32, 32);
    ASSERT_EQ(addFileIcon(list, entry), 0);
    const Bitmap sample = test::readPng(test::ScopedThemeLookup::samplePath());
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 0)).pixels, over(sample, 0xFFFFFF).pixels);
    EXPECT_EQ(test::readBmp24(renderIconListImage(list, 0, kBlack)).pixels,
              over(sample, 0x000000).pixels);
}

TEST_F(IconList, FilesWithoutIconsLeaveTheBytesAlone) {
    const std::string program =
        test::buildResourceDll(dir_.path(), "STRINGTABLE\nBEGIN\n  1 \"x\"\nEND\n", true);
    ASSERT_FALSE(program.empty());
    PictureBytes list = createIconList(32, 32);
    const PictureBytes before = list;
    for (const std::string& path : {program, test::fixture("jpeg/testorig.jpg"),
                                    dir_.file("missing.exe"), dir_.path(), std::string()}) {
        EXPECT_EQ(addFileIcon(list, path), -1) << path;
        EXPECT_EQ(list, before) << path;
    }
    EXPECT_TRUE(renderIconListImage(list, -1).empty());
}

TEST_F(IconList, BytesThatAreNoListAreRefused) {
    const std::string ico = icoPath("a.ico", {test::dibIcoImage(test::samplePicture(32, 5), 8)});
    PictureBytes good = createIconList(32, 32);
    ASSERT_EQ(addFileIcon(good, ico), 0);

    const auto refused = [&](PictureBytes bytes, const char* what) {
        const PictureBytes before = bytes;
        EXPECT_EQ(addFileIcon(bytes, ico), -1) << what;
        EXPECT_EQ(bytes, before) << what;
        EXPECT_TRUE(renderIconListImage(bytes, 0).empty()) << what;
    };
    refused(PictureBytes(), "empty");
    refused(PictureBytes(good.begin(), good.begin() + 8), "8 bytes");
    refused(PictureBytes(good.begin(), good.begin() + 7), "7 bytes");
    PictureBytes wrongTag = good;
    wrongTag[3] = 'X';
    refused(wrongTag, "no MITL tag");
    refused(PictureBytes(good.begin(), good.end() - 1), "image cut short");
    PictureBytes moreImages = good;
    moreImages[16] = 2;
    refused(moreImages, "count beyond the images");
    PictureBytes hugeSide = good;
    test::setDword(hugeSide, 8, 0x7FFFFFFF);
    refused(hugeSide, "huge width");
    PictureBytes noSide = good;
    test::setDword(noSide, 12, 0);
    refused(noSide, "zero height");

    // The second word is written but not checked.
    PictureBytes otherWord = good;
    otherWord[7] = 0;
    EXPECT_EQ(renderIconListImage(otherWord, 0), renderIconListImage(good, 0));
    EXPECT_EQ(addFileIcon(otherWord, ico), 1);
}

}  // namespace
}  // namespace lanzhou
