#include "workflow/intake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iconlist/icon_theme.h"
#include "tests/iconlist/icon_samples.h"
#include "tests/support/shortcut_builder.h"
#include "tests/workflow/bmp_reader.h"
#include "tests/workflow/workflow_fixture.h"
#include "workflow/module_state.h"
#include "workflow/theme_icons.h"

namespace lanzhou::test {
namespace {

using platform::Control;

// 选择框1ico, 选择框2png, 选择框3jpg.
using Formats = std::vector<int>;

class Intake : public WorkflowTest {
  protected:
    Intake() {
        // A state no drop makes, so that "unchanged" shows; a size the drop must not touch.
        platform_.setChecked(Control::选择框1ico, 1);
        platform_.setChecked(Control::选择框3jpg, 1);
        platform_.setChecked(Control::单选框564, 1);
    }

    Formats formats() {
        return {platform_.checked(Control::选择框1ico), platform_.checked(Control::选择框2png),
                platform_.checked(Control::选择框3jpg)};
    }
    PictureBytes preview() { return platform_.picture(Control::图片框1); }

    // A Windows library whose one icon is `picture`, built by the MinGW binutils.
    std::string program(const Bitmap& picture) {
        EXPECT_TRUE(writeBytes(in_ + "/app.ico", icoFile({dibIcoImage(picture, 32)})));
        return buildResourceDll(in_, "1 ICON \"app.ico\"\n", false);
    }

    // A shortcut in in/ to `target`, named `name`.
    std::string shortcut(const std::string& name, const std::string& target) {
        const lnk::LinkBytes bytes = lnk::typicalShortcut(target, "");
        return inputFile(name, PictureBytes(bytes.begin(), bytes.end()));
    }
};

const Formats kUnchanged{1, 0, 1};

// `picture` drawn over white, as the icon preview shows it.
Bitmap onWhite(const Bitmap& picture) {
    Bitmap out = makeBitmap(picture.width, picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t p = picture.pixels[i];
        const uint32_t a = alphaOf(p);
        const auto mix = [a](uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
        out.pixels[i] = makeArgb(255, mix(redOf(p)), mix(greenOf(p)), mix(blueOf(p)));
    }
    return out;
}

TEST_F(Intake, TheExtensionDecidesPreviewAndFormat) {
    const PictureBytes jpeg = platform_.readFile(fixture("jpeg/testorig.jpg"));
    const PictureBytes png = platform_.readFile(fixture("png/pngsuite/basn2c08.png"));
    const PictureBytes ico = icoFile({dibIcoImage(samplePicture(32, 4), 8)});
    const PictureBytes bmp = platform_.readFile(fixture("bmp/im-24bit-v3.bmp"));
    struct Case {
        const char* name;
        const PictureBytes* bytes;
        bool ownBytes;
        Formats formats;
        int iconIndex;
    };
    const Case cases[] = {
        {"photo.jpg", &jpeg, true, {0, 0, 1}, -1},  {"photo.JPG", &jpeg, false, kUnchanged, -1},
        {"picture.png", &png, true, {0, 1, 0}, -1}, {"picture.Png", &png, false, kUnchanged, -1},
        {"icon.ico", &ico, true, {1, 0, 0}, 0},     {"image.bmp", &bmp, false, kUnchanged, -1},
        {"jpg", &jpeg, false, kUnchanged, -1},      {"photo.jpg.txt", &jpeg, false, kUnchanged, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform_.setChecked(Control::选择框1ico, 1);
        platform_.setChecked(Control::选择框2png, 0);
        platform_.setChecked(Control::选择框3jpg, 1);
        platform_.setPicture(Control::图片框1, {'o', 'l', 'd'});
        const std::string path = dropFile(c.name, *c.bytes);
        EXPECT_EQ(platform_.text(Control::编辑框1), path);
        EXPECT_EQ(preview(), c.ownBytes ? *c.bytes : PictureBytes());
        EXPECT_EQ(formats(), c.formats);
        EXPECT_EQ(workflow::lastIconIndex, c.iconIndex);
        EXPECT_EQ(platform_.checked(Control::单选框564), 1);
    }
    EXPECT_TRUE(platform_.boxes().empty());
}

TEST_F(Intake, AnUnreadablePictureClearsThePreviewAndStillSetsTheFormat) {
    platform_.setPicture(Control::图片框1, {'o', 'l', 'd'});
    platform_.dropFiles(in_ + "/gone.png");
    EXPECT_TRUE(preview().empty());
    EXPECT_EQ(formats(), (Formats{0, 1, 0}));
}

TEST(ExtensionTest, TheLastFourBytesComparedExactly) {
    using workflow::endsInExtension;
    EXPECT_TRUE(endsInExtension("/a/b.jpg", ".jpg"));
    EXPECT_TRUE(endsInExtension(".jpg", ".jpg"));
    EXPECT_FALSE(endsInExtension("/a/b.JPG", ".jpg"));
    EXPECT_FALSE(endsInExtension("jpg", ".jpg"));
    EXPECT_FALSE(endsInExtension("", ".jpg"));
    EXPECT_FALSE(endsInExtension("/a/b.jpg\r\n", ".jpg"));
}

TEST_F(Intake, AProgramShowsItsIconOnWhiteAndLeavesTheFormats) {
    const Bitmap icon = samplePicture(32, 7, true);
    const std::string dll = program(icon);
    ASSERT_FALSE(dll.empty());
    platform_.dropFiles(dll);
    ASSERT_EQ(preview().size(), 3126u);
    EXPECT_EQ(readBmp24(preview()).pixels, onWhite(icon).pixels);
    EXPECT_EQ(workflow::lastIconIndex, 0);
    EXPECT_EQ(formats(), kUnchanged);
}

TEST_F(Intake, ADesktopEntryShowsItsThemeIconThroughThePlatform) {
    const Bitmap icon = samplePicture(32, 3, true);
    platform::RgbaImage rgba{32, 32, {}};
    for (uint32_t p : icon.pixels)
        rgba.pixels.insert(rgba.pixels.end(),
                           {static_cast<uint8_t>(redOf(p)), static_cast<uint8_t>(greenOf(p)),
                            static_cast<uint8_t>(blueOf(p)), static_cast<uint8_t>(alphaOf(p))});
    platform_.setThemedIcon("lanzhou-viewer", rgba);
    const IconThemeLookup previous = setIconThemeLookup(workflow::platformIconTheme(platform_));
    dropFile("viewer.desktop", {'[', 'D', 'e', 's',  'k', 't', 'o', 'p', ' ', 'E', 'n', 't',
                                'r', 'y', ']', '\n', 'I', 'c', 'o', 'n', '=', 'l', 'a', 'n',
                                'z', 'h', 'o', 'u',  '-', 'v', 'i', 'e', 'w', 'e', 'r', '\n'});
    setIconThemeLookup(previous);
    EXPECT_EQ(readBmp24(preview()).pixels, onWhite(icon).pixels);
    EXPECT_EQ(formats(), kUnchanged);
}

TEST_F(Intake, AShortcutIsFollowedWithIcoCheckedFirst) {
    const Bitmap icon = samplePicture(32, 5);
    const std::string dll = program(icon);
    ASSERT_FALSE(dll.empty());
    const PictureBytes png = platform_.readFile(fixture("png/pngsuite/basn2c08.png"));
    const std::string picture = inputFile("target.png", png);
    struct Case {
        const char* what;
        std::string shortcutName;
        std::string target;
        std::string field;
        bool icon;
        PictureBytes preview;
        Formats formats;
    };
    const Case cases[] = {
        {"to a PNG", "picture.lnk", picture, picture, false, png, {0, 1, 0}},
        {"to a program", "program.lnk", dll, dll, true, {}, {1, 0, 0}},
        {"to a Windows path",
         "windows.lnk",
         "C:\\Tools\\tool.exe",
         "C:\\Tools\\tool.exe",
         false,
         {},
         {1, 0, 0}},
        {"named in capitals", "picture.LNK", picture, in_ + "/picture.LNK", false, {}, kUnchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform_.setChecked(Control::选择框1ico, 1);
        platform_.setChecked(Control::选择框2png, 0);
        platform_.setChecked(Control::选择框3jpg, 1);
        platform_.dropFiles(shortcut(c.shortcutName, c.target));
        EXPECT_EQ(platform_.text(Control::编辑框1), c.field);
        if (c.icon)
            EXPECT_EQ(readBmp24(preview()).pixels, onWhite(icon).pixels);
        else
            EXPECT_EQ(preview(), c.preview);
        EXPECT_EQ(formats(), c.formats);
    }
}

TEST_F(Intake, AShortcutThatCannotBeReadLeavesTheFieldEmptyAndChecksIco) {
    platform_.setPicture(Control::图片框1, {'o', 'l', 'd'});
    platform_.setChecked(Control::选择框3jpg, 1);
    dropFile("broken.lnk", {'L', 0, 0, 0, 1, 2, 3});
    EXPECT_EQ(platform_.text(Control::编辑框1), "");
    EXPECT_TRUE(preview().empty());
    EXPECT_EQ(formats(), (Formats{1, 0, 0}));
}

TEST_F(Intake, SeveralFilesGoIntoTheFieldAsTheyCame) {
    const std::string a = inputFile("a.png", {1});
    const std::string b = inputFile("b.png", {2});
    platform_.dropFiles(a + "\r\n" + b + "\r\n");
    EXPECT_EQ(platform_.text(Control::编辑框1), a + "\r\n" + b + "\r\n");
    EXPECT_TRUE(preview().empty());
    EXPECT_EQ(formats(), kUnchanged);
}

}  // namespace
}  // namespace lanzhou::test
