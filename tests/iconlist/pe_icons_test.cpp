#include "iconlist/pe_icons.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/iconlist/icon_samples.h"
#include "tests/support/test_files.h"

namespace lanzhou {
namespace {

using test::Bytes;

Bitmap iconOf(const Bytes& pe, int32_t index = 0, int32_t side = 32) {
    return iconFromPeFile(pe.data(), pe.size(), index, side);
}

class PeIcons : public testing::Test {
  protected:
    // Writes an .ico file of the images into the folder, under `name`.
    void ico(const std::string& name, const std::vector<test::IcoImage>& images) {
        ASSERT_TRUE(test::writeBytes(dir_.file(name), test::icoFile(images)));
    }
    Bytes dll(const std::string& rc, bool bits64 = false) {
        const std::string path = test::buildResourceDll(dir_.path(), rc, bits64);
        EXPECT_FALSE(path.empty()) << "the MinGW toolchain failed on:\n" << rc;
        return path.empty() ? Bytes() : test::readBytes(path);
    }

    test::ScopedTempDir dir_;
};

TEST_F(PeIcons, TheImageNearest32FromEveryDepth_32And64Bit) {
    const Bitmap small = test::samplePicture(16, 15);
    const Bitmap large = test::samplePicture(48, 200);
    for (int bits : {1, 4, 8, 24, 32}) {
        const int colours = bits == 1 ? 1 : bits == 4 ? 15 : 200;
        const Bitmap wanted = test::samplePicture(32, colours, bits == 32);
        ico("app.ico", {test::dibIcoImage(small, 4), test::dibIcoImage(wanted, bits),
                        test::dibIcoImage(large, 8)});
        for (bool bits64 : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, 64-bit " << bits64);
            const Bytes pe = dll("1 ICON \"app.ico\"\n", bits64);
            EXPECT_EQ(iconOf(pe).pixels, wanted.pixels);
            EXPECT_EQ(iconOf(pe, 0, 16).pixels, small.pixels);
            EXPECT_EQ(iconOf(pe, 0, 64).pixels, large.pixels);
        }
    }
}

TEST_F(PeIcons, NearestSizeWhenNoneFitsExactly) {
    const Bitmap s16 = test::samplePicture(16, 3);
    const Bitmap s24 = test::samplePicture(24, 4);
    const Bitmap s48 = test::samplePicture(48, 5);
    const Bitmap s64 = test::samplePicture(64, 6);
    ico("equal.ico", {test::dibIcoImage(s16, 8), test::dibIcoImage(s48, 8)});
    ico("nearer.ico", {test::dibIcoImage(s64, 8), test::dibIcoImage(s24, 8)});
    const Bytes pe = dll("1 ICON \"equal.ico\"\n2 ICON \"nearer.ico\"\n");
    EXPECT_EQ(iconOf(pe, 0).pixels, s48.pixels) << "the larger of two equally near";
    EXPECT_EQ(iconOf(pe, 1).pixels, s24.pixels);
}

TEST_F(PeIcons, PngCompressedImages) {
    const Bitmap big = test::samplePicture(256, 120, true);
    const Bitmap normal = test::samplePicture(32, 60, true);
    ico("png.ico", {test::pngIcoImage(big), test::pngIcoImage(normal)});
    ico("big.ico", {test::pngIcoImage(big)});
    for (bool bits64 : {false, true}) {
        const Bytes pe = dll("1 ICON \"png.ico\"\n2 ICON \"big.ico\"\n", bits64);
        EXPECT_EQ(iconOf(pe, 0).pixels, normal.pixels);
        EXPECT_EQ(iconOf(pe, 1).pixels, big.pixels);
    }
}

TEST_F(PeIcons, GroupsInDirectoryOrder) {
    // Named groups come first, then numbered ones by number.
    const Bitmap first = test::samplePicture(32, 1);
    const Bitmap second = test::samplePicture(32, 2);
    const Bitmap third = test::samplePicture(32, 3);
    ico("first.ico", {test::dibIcoImage(first, 24)});
    ico("second.ico", {test::dibIcoImage(second, 24)});
    ico("third.ico", {test::dibIcoImage(third, 24)});
    const Bytes pe =
        dll("7 ICON \"third.ico\"\nAPPICON ICON \"first.ico\"\n2 ICON \"second.ico\"\n");
    EXPECT_EQ(iconOf(pe, 0).pixels, first.pixels);
    EXPECT_EQ(iconOf(pe, 1).pixels, second.pixels);
    EXPECT_EQ(iconOf(pe, 2).pixels, third.pixels);
    EXPECT_TRUE(iconOf(pe, 3).empty());
    EXPECT_TRUE(iconOf(pe, -1).empty());
}

TEST_F(PeIcons, ProgramsWithoutIcons) {
    EXPECT_TRUE(iconOf(dll("STRINGTABLE\nBEGIN\n  1 \"no icon here\"\nEND\n")).empty());
    EXPECT_TRUE(iconOf(Bytes{'M', 'Z'}).empty());
    EXPECT_TRUE(iconOf(Bytes()).empty());
}

// The places in a built DLL that the hostile variants change, found by
// walking its resource tree here in the test.
struct Places {
    std::size_t peOffset;
    test::SectionPlace rsrc;
    std::size_t groupTypeEntry;      // root entry of RT_GROUP_ICON
    std::size_t groupNameEntry;      // first entry under it
    std::size_t groupLanguageEntry;  // first entry under that
    std::size_t groupDataEntry;      // IMAGE_RESOURCE_DATA_ENTRY
    std::size_t groupData;           // GRPICONDIR
    std::size_t iconData;            // the one RT_ICON image
};

std::size_t entryOf(const Bytes& pe, const test::SectionPlace& rsrc, uint32_t directory,
                    uint32_t id) {
    const std::size_t header = rsrc.offset + directory;
    const std::size_t count = pe.at(header + 12) + pe.at(header + 14);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = header + 16 + 8 * i;
        if (id == UINT32_MAX || test::dwordAt(pe, entry) == id) return entry;
    }
    return 0;
}

Places findPlaces(const Bytes& pe) {
    Places p{};
    p.peOffset = test::dwordAt(pe, 0x3C);
    p.rsrc = test::findSection(pe, ".rsrc");
    const auto under = [&](std::size_t entry, uint32_t id) {
        return entryOf(pe, p.rsrc, test::dwordAt(pe, entry + 4) & 0x7FFFFFFF, id);
    };
    const auto data = [&](std::size_t dataEntry) {
        return p.rsrc.offset + (test::dwordAt(pe, dataEntry) - p.rsrc.virtualAddress);
    };
    p.groupTypeEntry = entryOf(pe, p.rsrc, 0, 14);
    p.groupNameEntry = under(p.groupTypeEntry, UINT32_MAX);
    p.groupLanguageEntry = under(p.groupNameEntry, UINT32_MAX);
    p.groupDataEntry = p.rsrc.offset + test::dwordAt(pe, p.groupLanguageEntry + 4);
    p.groupData = data(p.groupDataEntry);
    const std::size_t iconType = entryOf(pe, p.rsrc, 0, 3);
    p.iconData = data(p.rsrc.offset + test::dwordAt(pe, under(under(iconType, 1), UINT32_MAX) + 4));
    return p;
}

TEST_F(PeIcons, HostileFilesGiveNoIcon) {
    ico("app.ico", {test::dibIcoImage(test::samplePicture(32, 100), 8)});
    const Bytes good = dll("1 ICON \"app.ico\"\n");
    ASSERT_FALSE(iconOf(good).empty());
    const Places at = findPlaces(good);
    ASSERT_NE(at.rsrc.offset, 0u);
    ASSERT_EQ(test::dwordAt(good, at.groupData), 0x10000u) << "GRPICONDIR found";
    ASSERT_EQ(test::dwordAt(good, at.iconData), 40u) << "icon image found";
    const std::size_t fileHeader = at.peOffset + 4;
    const std::size_t optional = fileHeader + 20;
    const std::size_t sectionTable =
        optional + (good[fileHeader + 16] | good[fileHeader + 17] << 8);

    const std::size_t size = good.size();
    const test::FieldPatch cases[] = {
        {"e_lfanew beyond the end", 0x3C, static_cast<uint32_t>(size + 100), 4},
        {"e_lfanew at the very end", 0x3C, static_cast<uint32_t>(size - 2), 4},
        {"e_lfanew of 0xFFFFFFFF", 0x3C, 0xFFFFFFFF, 4},
        {"no PE signature", at.peOffset, 0x00004550 ^ 0x20, 4},
        {"section count 0xFFFF", fileHeader + 2, 0xFFFF, 2},
        {"no sections", fileHeader + 2, 0, 2},
        {"optional header beyond the end", fileHeader + 16, 0xFFFF, 2},
        {"optional header too short", fileHeader + 16, 64, 2},
        {"unknown optional header", optional, 0x107, 2},
        {"no resource directory", optional + 92, 2, 4},
        {"resource directory at 0", optional + 96 + 16, 0, 4},
        {"resource directory outside every section", optional + 96 + 16, 0x7FFFFFF0, 4},
        {"section data beyond the end", sectionTable + 2 * 40 + 20, static_cast<uint32_t>(size), 4},
        {"root entry count 0xFFFF", at.rsrc.offset + 14, 0xFFFF, 2},
        {"group type pointing back to the root", at.groupTypeEntry + 4, 0x80000000, 4},
        {"language level pointing back to the root", at.groupLanguageEntry + 4, 0x80000000, 4},
        {"name level leading to data", at.groupNameEntry + 4,
         test::dwordAt(good, at.groupLanguageEntry + 4), 4},
        {"subdirectory beyond the section", at.groupTypeEntry + 4, 0x8FFFFFF0, 4},
        {"data entry beyond the section", at.groupLanguageEntry + 4, 0x0FFFFFF0, 4},
        {"group data RVA beyond every section", at.groupDataEntry, 0xFFFFFF00, 4},
        {"group data size of 4 GB", at.groupDataEntry + 4, 0xFFFFFFFF, 4},
        {"group count overrunning its data", at.groupData + 4, 0xFFFF, 2},
        {"group count 0", at.groupData + 4, 0, 2},
        {"group of cursors", at.groupData + 2, 2, 2},
        {"icon id not in the program", at.groupData + 6 + 12, 99, 2},
        {"icon image with a core header", at.iconData, 12, 4},
        {"icon image of 2^31 pixels width", at.iconData + 4, 0x7FFFFFFF, 4},
        {"icon image of negative height", at.iconData + 8, 0x80000000, 4},
    };
    for (const test::FieldPatch& c : cases)
        EXPECT_TRUE(iconOf(test::patched(good, c)).empty()) << c.what;
    for (std::size_t cut : {std::size_t{0x40}, at.peOffset + 30, at.rsrc.offset + 20,
                            at.groupData + 10, at.iconData + 60})
        EXPECT_TRUE(iconOf(Bytes(good.begin(), good.begin() + cut)).empty()) << "cut at " << cut;
}

TEST_F(PeIcons, SurvivesRandomDamage) {
    ico("app.ico", {test::dibIcoImage(test::samplePicture(16, 10), 4),
                    test::pngIcoImage(test::samplePicture(32, 10, true))});
    const Bytes good = dll("1 ICON \"app.ico\"\n2 ICON \"app.ico\"\n", true);
    const test::SectionPlace rsrc = test::findSection(good, ".rsrc");
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        Bytes bad = good;
        const int flips = 1 + round % 4;
        for (int i = 0; i < flips; ++i) {
            // Mostly inside the headers and the resources, where it matters.
            const bool inResources = random() % 4 != 0;
            const std::size_t at =
                inResources ? rsrc.offset + random() % rsrc.size : random() % 0x200;
            bad[at] = static_cast<unsigned char>(random());
        }
        iconOf(bad, round % 3, round % 2 == 0 ? 32 : 16);
    }
}

}  // namespace
}  // namespace lanzhou
