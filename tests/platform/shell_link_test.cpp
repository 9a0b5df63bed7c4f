#include "platform/shell_link.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/shortcut_builder.h"
#include "tests/support/test_files.h"

namespace lanzhou {
namespace {

using test::lnk::append;
using test::lnk::arguments;
using test::lnk::header;
using test::lnk::idList;
using test::lnk::kHasArguments;
using test::lnk::kHasIdList;
using test::lnk::kHasLinkInfo;
using test::lnk::kIsUnicode;
using test::lnk::localLinkInfo;
using test::lnk::networkLinkInfo;
using test::lnk::setDword;
using test::lnk::typicalShortcut;
using Bytes = test::lnk::LinkBytes;

std::string target(const Bytes& file) {
    return shortcutTarget(file.data(), file.size());
}

TEST(ShortcutTarget, LocalBasePathAndSuffixWithoutArguments) {
    EXPECT_EQ(target(typicalShortcut()), "C:\\test\\a.txt");

    Bytes noIdList = header(kHasLinkInfo);
    append(noIdList, localLinkInfo("D:\\pictures\\cat.png", ""));
    EXPECT_EQ(target(noIdList), "D:\\pictures\\cat.png");
}

TEST(ShortcutTarget, AnsiBytesStayAsStored) {
    // "图片" in code page 936.
    const std::string gbk = "C:\\\xCD\xBC\xC6\xAC.jpg";
    Bytes file = header(kHasLinkInfo);
    append(file, localLinkInfo(gbk, ""));
    EXPECT_EQ(target(file), gbk);
}

TEST(ShortcutTarget, UnicodePathsArePreferredAsUtf8) {
    const std::u16string base = u"C:\\照片\\";
    const std::u16string suffix = u"猫\U0001F408.png";
    Bytes file = header(kHasIdList | kHasLinkInfo);
    append(file, idList({Bytes(18, 0x1F)}));
    append(file, localLinkInfo("C:\\??\\", "??.png", &base, &suffix));
    EXPECT_EQ(target(file), "C:\\照片\\猫\U0001F408.png");

    Bytes ansiSuffix = header(kHasLinkInfo);
    append(ansiSuffix, localLinkInfo("C:\\??\\", "cat.png", &base));
    EXPECT_EQ(target(ansiSuffix), "C:\\照片\\cat.png");
}

TEST(ShortcutTarget, NetworkShareAndSuffix) {
    Bytes file = header(kHasLinkInfo);
    append(file, networkLinkInfo("\\\\server\\share", "docs\\a.jpg"));
    EXPECT_EQ(target(file), "\\\\server\\share\\docs\\a.jpg");
}

TEST(ShortcutTarget, DamagedFieldsGiveEmptyText) {
    const Bytes good = typicalShortcut();
    const std::size_t linkInfo = 0x4C + 2 + 18 + 2 + 5 + 2 + 40 + 2 + 44 + 2 + 2;
    ASSERT_EQ(good[linkInfo + 4], 0x1C) << "LinkInfo found where expected";

    struct Patch {
        const char* what;
        std::size_t offset;
        uint32_t value;
        int size;
    };
    const Patch patches[] = {
        {"wrong header size", 0, 0x4D, 4},
        {"wrong class id", 19, 0x47, 1},
        {"no link info", 20, kHasIdList, 4},
        {"link info to be ignored", 20, kHasIdList | kHasLinkInfo | 0x100, 4},
        {"ID list size beyond the end", 0x4C, 0xFFFF, 2},
        {"item beyond its list", 0x4E, 0xF0, 2},
        {"item of one byte", 0x4E, 1, 2},
        {"link info size beyond the end", linkInfo, 0x10000, 4},
        {"link info size below its header", linkInfo, 0x10, 4},
        {"link info header beyond its size", linkInfo + 4, 0x400, 4},
        {"neither local nor network", linkInfo + 8, 0, 4},
        {"base path offset beyond the link info", linkInfo + 16, 0x7FFFFFFF, 4},
        {"base path inside the header", linkInfo + 16, 4, 4},
        {"suffix offset beyond the link info", linkInfo + 24, 0xFFFFFFFF, 4},
    };
    for (const Patch& p : patches) {
        Bytes bad = good;
        for (int i = 0; i < p.size; ++i)
            bad[p.offset + i] = static_cast<unsigned char>(p.value >> (8 * i));
        EXPECT_EQ(target(bad), "") << p.what;
    }
}

TEST(ShortcutTarget, BrokenFilesGiveEmptyText) {
    const Bytes good = typicalShortcut();
    Bytes noTerminal = header(kHasIdList | kHasLinkInfo);
    append(noTerminal, Bytes{4, 0, 4, 0});  // one item filling the list, no terminal
    append(noTerminal, localLinkInfo("C:\\a", ""));
    Bytes unterminated = header(kHasLinkInfo);
    append(unterminated, localLinkInfo("C:\\abc", "x"));
    unterminated.back() = 'y';  // the suffix runs to the end of the link info
    Bytes network = header(kHasLinkInfo);
    append(network, networkLinkInfo("\\\\s\\x", ""));
    setDword(network, 0x4C + 0x1C + 8, 0x1000);  // NetNameOffset

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", Bytes()},
        {"shorter than the header", Bytes(good.begin(), good.begin() + 0x4B)},
        {"header only", header(kHasLinkInfo)},
        {"link info cut short", Bytes(good.begin(), good.end() - 40)},
        {"ID list without its terminal", noTerminal},
        {"string without its NUL", unterminated},
        {"net name beyond its link", network},
    };
    for (const auto& [what, file] : cases) EXPECT_EQ(target(file), "") << what;
}

TEST(ShortcutTarget, AZeroLengthItemEndsTheIdList) {
    // An early terminal: the list's own size still says where it ends.
    Bytes file = header(kHasIdList | kHasLinkInfo);
    append(file, Bytes{10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    append(file, localLinkInfo("C:\\b.ico", ""));
    EXPECT_EQ(target(file), "C:\\b.ico");
}

TEST(ReadShortcutTarget, ReadsFilesAndAnswersOthersAtOnce) {
    test::ScopedTempDir dir;
    const Bytes shortcut = typicalShortcut();
    const std::string path = dir.file("a.lnk");
    ASSERT_TRUE(test::writeFile(path, std::string(shortcut.begin(), shortcut.end())));
    EXPECT_EQ(readShortcutTarget(path), "C:\\test\\a.txt");

    // liblnk, an independent reader, sees the same target in our file.
    const std::string report = dir.file("lnkinfo.txt");
    ASSERT_EQ(std::system(("lnkinfo " + path + " > " + report).c_str()), 0);
    EXPECT_NE(test::readFile(report).find("Local path\t\t\t: C:\\test\\a.txt"), std::string::npos)
        << test::readFile(report);

    EXPECT_EQ(readShortcutTarget(dir.file("missing.lnk")), "");
    EXPECT_EQ(readShortcutTarget(dir.path()), "");
    const std::string fifo = dir.file("fifo.lnk");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readShortcutTarget(fifo), "");
}

}  // namespace
}  // namespace lanzhou
