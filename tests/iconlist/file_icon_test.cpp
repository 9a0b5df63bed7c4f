#include "iconlist/file_icon.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "iconlist/desktop_entry.h"
#include "iconlist/icon_directory.h"
#include "tests/iconlist/icon_samples.h"
#include "tests/iconlist/theme_lookup.h"
#include "tests/support/test_files.h"

namespace lanzhou {
namespace {

using test::Bytes;

Bitmap iconOfIco(const Bytes& ico, int32_t side = 32) {
    return iconFromIcoFile(ico.data(), ico.size(), side);
}

TEST(IcoFileIcon, TheImageBestFittingTheSize) {
    const Bitmap s16 = test::samplePicture(16, 3);
    const Bitmap s32 = test::samplePicture(32, 4, true);
    const Bitmap s256 = test::samplePicture(256, 5, true);
    const Bytes ico = test::icoFile(
        {test::dibIcoImage(s16, 4), test::pngIcoImage(s256), test::dibIcoImage(s32, 32)});
    EXPECT_EQ(iconOfIco(ico).pixels, s32.pixels);
    EXPECT_EQ(iconOfIco(ico, 16).pixels, s16.pixels);
    EXPECT_EQ(iconOfIco(ico, 200).pixels, s256.pixels);
}

TEST(IcoFileIcon, TiesGoToMoreBitsThenToTheFirst) {
    const Bitmap few = test::samplePicture(32, 2);
    const Bitmap many = test::samplePicture(32, 3);
    EXPECT_EQ(
        iconOfIco(test::icoFile({test::dibIcoImage(few, 4), test::dibIcoImage(many, 24)})).pixels,
        many.pixels);
    EXPECT_EQ(
        iconOfIco(test::icoFile({test::dibIcoImage(few, 8), test::dibIcoImage(many, 8)})).pixels,
        few.pixels);
}

TEST(IcoFileIcon, BrokenDirectoriesGiveNoIcon) {
    const Bytes good = test::icoFile({test::dibIcoImage(test::samplePicture(32, 9), 8)});
    ASSERT_FALSE(iconOfIco(good).empty());
    const test::FieldPatch cases[] = {
        {"count overrunning the directory", 4, 0xFFFF, 2},
        {"no entries", 4, 0, 2},
        {"cursor", 2, 2, 2},
        {"image beyond the end", 6 + 12, 0x7FFFFFFF, 4},
        {"image offset of 4 GB", 6 + 12, 0xFFFFFFFF, 4},
        {"image size of 4 GB", 6 + 8, 0xFFFFFFFF, 4},
        {"image too short for its header", 6 + 8, 39, 4},
        {"image with a bad header", 22, 0x11, 4},
    };
    for (const test::FieldPatch& c : cases)
        EXPECT_TRUE(iconOfIco(test::patched(good, c)).empty()) << c.what;
    EXPECT_TRUE(iconOfIco(Bytes(good.begin(), good.begin() + 5)).empty());
}

TEST(DesktopEntryIcon, TheIconKeyOfTheDesktopEntryGroup) {
    struct Case {
        const char* text;
        const char* icon;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nType=Application\nIcon=firefox\n", "firefox"},
        {"# launcher\n\n[Desktop Entry]\r\nName=X\r\nIcon = gimp \r\nExec=x\r\n", "gimp"},
        {"[Desktop Entry]\nIcon[zh_CN]=other\nIcon=/usr/share/x.png\n", "/usr/share/x.png"},
        {"[Desktop Entry]\nIcon=/opt/my\\sapp/icon\\\\1.png", "/opt/my app/icon\\1.png"},
        {"[Desktop Entry]\nName=no icon\n[Desktop Action new]\nIcon=action\n", ""},
        {"[Other]\nIcon=wrong\n[Desktop Entry]\nIcon=right\n", "right"},
        {"Icon=outside\n[Desktop Entry]\n", ""},
        {"[Desktop Entry]\nIcons=plural\nXIcon=x\n#Icon=comment\n", ""},
        {"[Desktop Entry]\nIcon=\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(desktopEntryIcon(text.data(), text.size()), c.icon) << c.text;
    }
}

class ExtractFileIcon : public testing::Test {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = dir_.file(name);
        EXPECT_TRUE(test::writeFile(path, text));
        return path;
    }

    test::ScopedTempDir dir_;
};

TEST_F(ExtractFileIcon, DesktopEntriesThroughTheThemeLookup) {
    test::ScopedThemeLookup theme;
    const Bitmap sample = test::readPng(test::ScopedThemeLookup::samplePath());
    ASSERT_EQ(sample.width, 32);

    const std::string named = write("app.desktop", "[Desktop Entry]\nIcon=lanzhou-sample\n");
    EXPECT_EQ(extractFileIcon(named, 0, 32).pixels, sample.pixels);
    const std::string byPath =
        write("path.desktop", "[Desktop Entry]\nIcon=" + test::ScopedThemeLookup::samplePath());
    EXPECT_EQ(extractFileIcon(byPath, 0, 32).pixels, sample.pixels);

    EXPECT_TRUE(extractFileIcon(named, 1, 32).empty()) << "one icon only";
    EXPECT_TRUE(extractFileIcon(write("unknown.desktop", "[Desktop Entry]\nIcon=nothing\n"), 0, 32)
                    .empty());
    EXPECT_TRUE(extractFileIcon(write("none.desktop", "[Desktop Entry]\nName=x\n"), 0, 32).empty());
    EXPECT_TRUE(
        extractFileIcon(write("app.txt", "[Desktop Entry]\nIcon=lanzhou-sample\n"), 0, 32).empty())
        << "only names ending .desktop are desktop entries";
    EXPECT_TRUE(
        extractFileIcon(write("app.DESKTOP", "[Desktop Entry]\nIcon=lanzhou-sample\n"), 0, 32)
            .empty());
}

TEST_F(ExtractFileIcon, NoThemeLookupNoIcon) {
    const IconThemeLookup previous = setIconThemeLookup(nullptr);
    EXPECT_TRUE(
        extractFileIcon(write("app.desktop", "[Desktop Entry]\nIcon=lanzhou-sample\n"), 0, 32)
            .empty());
    setIconThemeLookup(previous);
}

TEST_F(ExtractFileIcon, IcoFilesByContentOtherFilesNone) {
    const Bitmap picture = test::samplePicture(32, 7);
    const std::string ico = dir_.file("whatever.bin");
    ASSERT_TRUE(test::writeBytes(ico, test::icoFile({test::dibIcoImage(picture, 8)})));
    EXPECT_EQ(extractFileIcon(ico, 0, 32).pixels, picture.pixels);
    EXPECT_TRUE(extractFileIcon(ico, 1, 32).empty());

    EXPECT_TRUE(extractFileIcon(test::fixture("jpeg/testorig.jpg"), 0, 32).empty());
    EXPECT_TRUE(extractFileIcon(test::fixture("png/pngsuite/basn6a08.png"), 0, 32).empty());
    EXPECT_TRUE(extractFileIcon(write("empty.exe", ""), 0, 32).empty());
    EXPECT_TRUE(extractFileIcon(dir_.file("missing.exe"), 0, 32).empty());
    EXPECT_TRUE(extractFileIcon(dir_.path(), 0, 32).empty());
    const std::string fifo = dir_.file("fifo.ico");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(extractFileIcon(fifo, 0, 32).empty()) << "answered at once";
}

TEST(DecodePng, PngSuiteInterlacedAndPlainAgree) {
    // Every colour type and depth decodes alike with and without Adam7.
    for (const char* kind : {"0g01", "0g02", "0g04", "0g08", "0g16", "2c08", "2c16", "3p01", "3p02",
                             "3p04", "3p08", "4a08", "4a16", "6a08", "6a16"}) {
        const Bitmap plain =
            test::readPng(test::fixture(std::string("png/pngsuite/basn") + kind + ".png"));
        const Bitmap interlaced =
            test::readPng(test::fixture(std::string("png/pngsuite/basi") + kind + ".png"));
        ASSERT_EQ(plain.width, 32) << kind;
        EXPECT_EQ(plain.pixels, interlaced.pixels) << kind;
    }
    // Opaque red, green, blue and grey as ImageMagick reports them.
    const Bitmap grey = test::readPng(test::fixture("png/pngsuite/basn0g08.png"));
    EXPECT_EQ(grey.at(0, 0), 0xFF000000u);
    EXPECT_EQ(grey.at(31, 0), 0xFF1F1F1Fu);
    const Bitmap rgba = test::readPng(test::fixture("png/pngsuite/basn6a08.png"));
    EXPECT_EQ(rgba.at(0, 0), 0x00FF0008u);
}

TEST(DecodePng, CorruptPngSuiteFilesAreRefused) {
    for (const char* name :
         {"xc1n0g08", "xc9n2c08", "xcrn0g04", "xcsn0g01", "xd0n2c08", "xd3n2c08", "xd9n2c08",
          "xdtn0g01", "xhdn0g08", "xlfn0g04", "xs1n0g01", "xs2n0g01", "xs4n0g01", "xs7n0g01"})
        EXPECT_TRUE(
            test::readPng(test::fixture(std::string("png/pngsuite/") + name + ".png")).empty())
            << name;
}

}  // namespace
}  // namespace lanzhou
