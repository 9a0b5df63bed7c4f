#include "platform/shell_link.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace lanzhou {
namespace {

using Bytes = std::vector<unsigned char>;

void putWord(Bytes& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void putDword(Bytes& out, uint32_t value) {
    putWord(out, value & 0xFFFF);
    putWord(out, value >> 16);
}

void setDword(Bytes& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes ansi(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

Bytes utf16(const std::u16string& text) {
    Bytes out;
    for (char16_t c : text) putWord(out, c);
    putWord(out, 0);
    return out;
}

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// Link flags of the shell link header.
constexpr uint32_t kHasIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kIsUnicode = 0x80;

// ShellLinkHeader: 0x4C bytes, the shell link CLSID, flags, the rest zero
// but for a normal show command.
Bytes header(uint32_t flags) {
    Bytes out;
    putDword(out, 0x4C);
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    out.insert(out.end(), clsid, clsid + 16);
    putDword(out, flags);
    out.resize(0x3C, 0);
    putDword(out, 1);  // SW_SHOWNORMAL
    out.resize(0x4C, 0);
    return out;
}

// LinkTargetIDList: the size, the items each led by its own size, a zero
// terminal.
Bytes idList(const std::vector<Bytes>& items) {
    Bytes list;
    for (const Bytes& item : items) {
        putWord(list, static_cast<uint32_t>(item.size() + 2));
        append(list, item);
    }
    putWord(list, 0);
    Bytes out;
    putWord(out, static_cast<uint32_t>(list.size()));
    append(out, list);
    return out;
}

// A VolumeID of a fixed drive with a label.
Bytes volumeId() {
    Bytes out;
    putDword(out, 0x11 + 5);
    putDword(out, 3);           // DRIVE_FIXED
    putDword(out, 0x12345678);  // serial number
    putDword(out, 0x10);        // label offset
    append(out, ansi("DATA"));
    return out;
}

// LinkInfo with VolumeIDAndLocalBasePath: header, VolumeID, base path,
// suffix, and with Unicode strings the 0x24-byte header and their copies.
Bytes localLinkInfo(const std::string& base, const std::string& suffix,
                    const std::u16string* unicodeBase = nullptr,
                    const std::u16string* unicodeSuffix = nullptr) {
    const bool unicode = unicodeBase != nullptr;
    const uint32_t headerSize = unicode ? 0x24 : 0x1C;
    Bytes body;
    const uint32_t volumeOffset = headerSize;
    append(body, volumeId());
    const uint32_t baseOffset = headerSize + static_cast<uint32_t>(body.size());
    append(body, ansi(base));
    const uint32_t suffixOffset = headerSize + static_cast<uint32_t>(body.size());
    append(body, ansi(suffix));
    uint32_t unicodeBaseOffset = 0, unicodeSuffixOffset = 0;
    if (unicode) {
        unicodeBaseOffset = headerSize + static_cast<uint32_t>(body.size());
        append(body, utf16(*unicodeBase));
        if (unicodeSuffix != nullptr) {
            unicodeSuffixOffset = headerSize + static_cast<uint32_t>(body.size());
            append(body, utf16(*unicodeSuffix));
        }
    }
    Bytes out;
    putDword(out, headerSize + static_cast<uint32_t>(body.size()));
    putDword(out, headerSize);
    putDword(out, 0x1);  // VolumeIDAndLocalBasePath
    putDword(out, volumeOffset);
    putDword(out, baseOffset);
    putDword(out, 0);  // no network link
    putDword(out, suffixOffset);
    if (unicode) {
        putDword(out, unicodeBaseOffset);
        putDword(out, unicodeSuffixOffset);
    }
    append(out, body);
    return out;
}

// LinkInfo with CommonNetworkRelativeLinkAndPathSuffix only.
Bytes networkLinkInfo(const std::string& netName, const std::string& suffix) {
    Bytes link;
    putDword(link, 0x14 + static_cast<uint32_t>(netName.size() + 1));
    putDword(link, 0);     // no device name, no provider
    putDword(link, 0x14);  // NetNameOffset
    putDword(link, 0);
    putDword(link, 0);
    append(link, ansi(netName));
    Bytes out;
    putDword(out, static_cast<uint32_t>(0x1C + link.size() + suffix.size() + 1));
    putDword(out, 0x1C);
    putDword(out, 0x2);
    putDword(out, 0);
    putDword(out, 0);
    putDword(out, 0x1C);
    putDword(out, static_cast<uint32_t>(0x1C + link.size()));
    append(out, link);
    append(out, ansi(suffix));
    return out;
}

// StringData with the arguments, as Unicode counted characters.
Bytes arguments(const std::u16string& text) {
    Bytes out;
    putWord(out, static_cast<uint32_t>(text.size()));
    for (char16_t c : text) putWord(out, c);
    return out;
}

// A shortcut to C:\test\a.txt as the Windows shell writes one: an ID list
// (root, drive, folder, file items), the link information, arguments.
Bytes typicalShortcut() {
    Bytes file = header(kHasIdList | kHasLinkInfo | kHasArguments | kIsUnicode);
    append(file, idList({Bytes(18, 0x1F), ansi("/C:\\"), Bytes(40, 0x31), Bytes(44, 0x32)}));
    append(file, localLinkInfo("C:\\test\\", "a.txt"));
    append(file, arguments(u"/quiet"));
    Bytes extraTerminal(4, 0);
    append(file, extraTerminal);
    return file;
}

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
