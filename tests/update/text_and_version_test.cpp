#include <gtest/gtest.h>

#include <string>

#include "update/gbk_text.h"
#include "update/version_number.h"

namespace update {
namespace {

TEST(Utf8ToGbk, ConvertsAndMarksWhatCodePage936Lacks) {
    struct Case {
        const char* what;
        std::string utf8;
        std::string gbk;
    } cases[] = {
        {"ASCII", "<a v=\"1\"/>\r\n", "<a v=\"1\"/>\r\n"},
        {"Chinese", "澜舟", "\xC0\xBD\xD6\xDB"},
        {"full-width digits and space", "３．３　", "\xA3\xB3\xA3\xAE\xA3\xB3\xA1\xA1"},
        {"a character outside code page 936", "a😀b", "a?b"},
        {"stray bytes",
         "a\xFF\xBE"
         "b",
         "a??b"},
        {"sequence cut at the end", "a\xE6\xBE", "a??"},
        {"up to the first zero byte", std::string("ab\0cd", 5), "ab"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToGbk(c.utf8), c.gbk) << c.what;
}

TEST(GbkToUtf8, ComesBackForShownValues) {
    const std::string text = "澜舟 3.3：修正\r\n第二行 ＆";
    EXPECT_EQ(gbkToUtf8(utf8ToGbk(text)), text);
    EXPECT_EQ(gbkToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(gbkToUtf8("a\xC0"), "a?");
}

TEST(VersionNumber, ReadsALeadingDecimalNumber) {
    struct Case {
        std::string utf8;
        double number;
    } cases[] = {
        {"3.2", 3.2},         {"3.3", 3.3},      {"3.10", 3.1},  {"３．３", 3.3}, {"　３．３", 3.3},
        {"３．３版", 3.3},    {"V3.3", 0},       {"Ｖ3.3", 0},   {"", 0},         {"abc", 0},
        {" \t3.3 beta", 3.3}, {"+3.5", 3.5},     {"-3.5", -3.5}, {".5", 0.5},     {"3.", 3},
        {"3.3e1", 33},        {"3.3E-1x", 0.33}, {"3e", 3},      {"0x10", 0},     {"inf", 0},
        {"nan", 0},           {"-", 0},          {".", 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(versionNumber(utf8ToGbk(c.utf8)), c.number) << c.utf8;
}

TEST(VersionNumber, FullWidthFormsOnlyAsWholeCharacters) {
    // 0xB0 0xA3 is one character (a Chinese one) whose trail byte happens to
    // be the full-width lead; the next bytes must not be read as 0xA3 0xB3.
    EXPECT_DOUBLE_EQ(versionNumber("\xB0\xA3\xB3"
                                   "3"),
                     0);
    EXPECT_DOUBLE_EQ(versionNumber("\xA3\xB3\xA3"), 3);
}

TEST(IsNewerVersion, ExceedsTheOwnVersionByMoreThanTheThreshold) {
    EXPECT_FALSE(isNewerVersion(3.2));
    EXPECT_FALSE(isNewerVersion(3.2000001));
    EXPECT_FALSE(isNewerVersion(3.1));
    EXPECT_FALSE(isNewerVersion(0));
    EXPECT_TRUE(isNewerVersion(3.2000002));
    EXPECT_TRUE(isNewerVersion(3.3));
    EXPECT_TRUE(isNewerVersion(4));
}

}  // namespace
}  // namespace update
