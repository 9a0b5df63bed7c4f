#include "imgconv/path_string.h"

#include <gtest/gtest.h>

#include <string>

namespace imgconv {
namespace {

std::string textOf(const PathString& s) {
    return s.text() != nullptr ? s.text() : "";
}

TEST(PathString, EmptyStringOwnsNothing) {
    PathString s;
    EXPECT_EQ(s.text(), nullptr);
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(s.size(), 0u);

    EXPECT_EQ(s.assign(""), 0);
    EXPECT_EQ(s.assign(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(s.text(), nullptr);

    ASSERT_EQ(s.assign("abc"), 1);
    EXPECT_EQ(s.assign(""), 0);
    EXPECT_EQ(s.text(), nullptr) << "assigning an empty text empties the string";
}

TEST(PathString, AppendAndNumbers) {
    PathString s;
    EXPECT_EQ(s.append("x"), 1) << "an empty string appends as assign";
    EXPECT_EQ(textOf(s), "x");
    EXPECT_EQ(s.append(""), 0);
    EXPECT_EQ(textOf(s), "x");
    EXPECT_EQ(s.size(), 2u);

    PathString a("a");
    ASSERT_EQ(a.appendNumber(-5), 1);
    EXPECT_EQ(textOf(a), "a-5");
    EXPECT_EQ(a.length(), 3);
    EXPECT_EQ(a.size(), 4u);

    PathString big;
    big.appendNumber(INT32_MIN);
    EXPECT_EQ(textOf(big), "-2147483648");
}

TEST(PathString, MultibyteCharactersCountAsOne) {
    // Two ASCII letters and one CJK character (three bytes in UTF-8).
    const PathString s("ab\xE6\xBE\x9C");
    EXPECT_EQ(s.length(), 3);
    EXPECT_EQ(s.size(), 6u);

    PathString out;
    ASSERT_EQ(s.right(out, 1), 1);
    EXPECT_EQ(textOf(out), "\xE6\xBE\x9C");
    ASSERT_EQ(s.left(out, 2), 1);
    EXPECT_EQ(textOf(out), "ab");
    ASSERT_EQ(s.substring(out, 2, 2), 1);
    EXPECT_EQ(textOf(out), "b\xE6\xBE\x9C");

    // A lead byte without its continuation bytes is one character by itself.
    const PathString broken("\xE6z");
    EXPECT_EQ(broken.length(), 2);
}

TEST(PathString, OutOfRangeRequestsLeaveTheTargetAlone) {
    const PathString s("abc");
    struct Case {
        const char* what;
        int start, count;
    } cases[] = {{"start 0", 0, 1}, {"count 0", 1, 0}, {"past the end", 3, 2}, {"negative", -1, 2}};
    for (const Case& c : cases) {
        PathString out("keep");
        EXPECT_EQ(s.substring(out, c.start, c.count), 0) << c.what;
        EXPECT_EQ(textOf(out), "keep") << c.what;
    }
    PathString out("keep");
    EXPECT_EQ(s.right(out, 4), 0);
    EXPECT_EQ(s.left(out, 4), 0);
    EXPECT_EQ(textOf(out), "keep");
    EXPECT_EQ(s.right(out, 3), 1);
    EXPECT_EQ(textOf(out), "abc");
}

TEST(PathString, Equality) {
    const PathString s("Photo.JPG");
    EXPECT_EQ(s.equals("Photo.JPG", 0), 1);
    EXPECT_EQ(s.equals("photo.jpg", 0), 0);
    EXPECT_EQ(s.equals("photo.jpg", 1), 1);
    EXPECT_EQ(s.equals("photo.jp", 1), 0);
    EXPECT_EQ(PathString().equals("", 0), 1);
    EXPECT_EQ(PathString().equals(nullptr, 1), 1);
}

TEST(PathString, CopiesAreIndependent) {
    PathString a("one");
    PathString b(a);
    b.append("two");
    EXPECT_EQ(textOf(a), "one");
    EXPECT_EQ(textOf(b), "onetwo");
    a = PathString();
    EXPECT_EQ(a.text(), nullptr);
    a.assign(a.text());
    b.append(b.text());
    EXPECT_EQ(textOf(b), "onetwoonetwo");
}

}  // namespace
}  // namespace imgconv
