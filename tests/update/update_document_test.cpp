#include "update/update_document.h"

#include <gtest/gtest.h>

#include <string>

#include "update/gbk_text.h"

namespace update {
namespace {

// The reader works on code page 936; the documents here are written in UTF-8
// and converted on the way in, as the update check does.
bool load(UpdateDocument& document, const std::string& utf8) {
    return document.loadFromBytes(utf8ToGbk(utf8));
}

std::string withZeroByte(const std::string& before, const std::string& after) {
    return before + std::string(1, '\0') + after;
}

std::string value(const UpdateDocument& document, const std::string& path,
                  const std::string& name) {
    return gbkToUtf8(document.attributeValue(utf8ToGbk(path), utf8ToGbk(name)));
}

const char kServerDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<!-- 澜舟的升级信息 -->\r\n"
    "<最新版本>\r\n"
    "  <版本信息 版本号=\"3.3\" 升级说明=\"修正若干问题\r\n  第二行\" "
    "下载地址=\"https://update.lanzhou.example/lanzhou-3.3\" 文件标题=\"澜舟 3.3\" "
    "文件名=\"澜舟\"/>\r\n"
    "</最新版本>\r\n";

TEST(UpdateDocument, ReadsTheServersDocument) {
    UpdateDocument document;
    ASSERT_TRUE(load(document, kServerDocument));
    const std::string path = "最新版本/版本信息";
    EXPECT_EQ(value(document, path, "版本号"), "3.3");
    EXPECT_EQ(value(document, path, "升级说明"), "修正若干问题\r\n  第二行");
    EXPECT_EQ(value(document, path, "下载地址"), "https://update.lanzhou.example/lanzhou-3.3");
    EXPECT_EQ(value(document, path, "文件标题"), "澜舟 3.3");
    EXPECT_EQ(value(document, path, "文件名"), "澜舟");
    EXPECT_EQ(value(document, path, "缺少"), "");
    EXPECT_EQ(value(document, "最新版本/缺少", "版本号"), "");
    EXPECT_EQ(value(document, "最新版本", "版本号"), "");
    EXPECT_EQ(value(document, "其他/版本信息", "版本号"), "");
    EXPECT_EQ(value(document, "", "版本号"), "");
    EXPECT_EQ(value(document, "最新版本/版本信息/", "版本号"), "");

    document.release();
    EXPECT_EQ(value(document, path, "版本号"), "");
}

// Each document and the value of attribute "v" of the element at "r/e"; an
// unreadable document gives empty values.
TEST(UpdateDocument, ReaderRules) {
    struct Case {
        const char* what;
        std::string document;
        bool readable;
        std::string value;
    } cases[] = {
        {"empty element", "<r><e v=\"1\"/></r>", true, "1"},
        {"end tag and text content", "<r>text<e v=\"1\">ignored <b/></e></r>", true, "1"},
        {"blanks around = and line breaks between attributes",
         "<r><e\r\n\tv = \"1\"\n w=\"2\"/></r>", true, "1"},
        {"single quotes", "<r><e v='a\"b'/></r>", true, "a\"b"},
        {"the six references", "<r><e v=\"&lt;&gt;&amp;&apos;&quot;&quote;\"/></r>", true,
         "<>&'\"\""},
        {"other references kept as written", "<r><e v=\"&copy; &#38; a&b &amp\"/></r>", true,
         "&copy; &#38; a&b &amp"},
        {"blanks and line breaks in a value", "<r><e v=\" a  b\r\n\"/></r>", true, " a  b\r\n"},
        {"declaration, doctype with subset, comments, CDATA",
         "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x \"<y>\">]><!-- <r><e v=\"no\"/></r> -->"
         "<r><![CDATA[<e v=\"no\"/>]]><!----><e v=\"1\"/></r><!-- after -->",
         true, "1"},
        {"first child of the name wins", "<r><x/><e v=\"1\"/><e v=\"2\"/></r>", true, "1"},
        {"one level deeper is not a child", "<r><x><e v=\"1\"/></x></r>", true, ""},
        {"names are case-sensitive", "<r><E v=\"1\"/></r>", true, ""},
        {"attribute names are case-sensitive", "<r><e V=\"1\"/></r>", true, ""},
        {"another root", "<R><e v=\"1\"/></R>", true, ""},
        {"text before the root", "\xEF\xBB\xBFjunk <r><e v=\"1\"/></r> tail", true, "1"},
        {"end at the first zero byte", withZeroByte("<r><e v=\"1\"/></r>", "<x"), true, "1"},

        {"repeated attribute", "<r><e v=\"1\" w=\"2\" v=\"3\"/></r>", false, ""},
        {"repeated attribute elsewhere", "<r a=\"1\" a=\"1\"><e v=\"1\"/></r>", false, ""},
        {"zero byte inside the root", withZeroByte("<r><e v=\"1\"/>", "</r>"), false, ""},
        {"empty", "", false, ""},
        {"no element", "<!-- only a comment -->", false, ""},
        {"unterminated comment", "<r><e v=\"1\"/></r><!-- ", false, ""},
        {"unterminated declaration", "<?xml <r><e v=\"1\"/></r>", false, ""},
        {"unterminated doctype", "<!DOCTYPE r [ <r><e v=\"1\"/></r>", false, ""},
        {"missing end tag", "<r><e v=\"1\"/>", false, ""},
        {"mismatched end tag", "<r><e v=\"1\"></x></r>", false, ""},
        {"stray end tag", "</r><r><e v=\"1\"/></r>", false, ""},
        {"second root", "<r><e v=\"1\"/></r><r/>", false, ""},
        {"unterminated value", "<r><e v=\"1/></r>", false, ""},
        {"attribute without value", "<r><e v/></r>", false, ""},
        {"unquoted value", "<r><e v=1/></r>", false, ""},
        {"unterminated start tag", "<r><e v=\"1\"", false, ""},
        {"no name", "<r>< e v=\"1\"/></r>", false, ""},
    };
    for (const Case& c : cases) {
        UpdateDocument document;
        EXPECT_EQ(document.loadFromBytes(c.document), c.readable) << c.what;
        EXPECT_EQ(document.attributeValue("r/e", "v"), c.value) << c.what;
    }
}

TEST(UpdateDocument, FailedLoadDropsTheEarlierDocument) {
    UpdateDocument document;
    ASSERT_TRUE(document.loadFromBytes("<r><e v=\"1\"/></r>"));
    EXPECT_FALSE(document.loadFromBytes("<r><e v=\"2\" v=\"3\"/></r>"));
    EXPECT_EQ(document.attributeValue("r/e", "v"), "");
    ASSERT_TRUE(document.loadFromBytes("<r><e v=\"4\"/></r>"));
    EXPECT_EQ(document.attributeValue("r/e", "v"), "4");
}

TEST(UpdateDocument, DeepNestingNeedsNoStack) {
    constexpr int kDepth = 100000;
    std::string open, close;
    for (int i = 0; i < kDepth; ++i) open += "<a>";
    for (int i = 0; i < kDepth; ++i) close += "</a>";

    UpdateDocument document;
    EXPECT_TRUE(document.loadFromBytes(open + "<e v=\"deep\"/>" + close));
    EXPECT_TRUE(document.loadFromBytes("<r>" + open + close + "<e v=\"1\"/></r>"));
    EXPECT_EQ(document.attributeValue("r/e", "v"), "1");
    EXPECT_FALSE(document.loadFromBytes(open));
    EXPECT_FALSE(document.loadFromBytes(open + close + "</a>"));
}

TEST(UpdateDocument, HostileBodiesEndCleanly) {
    // More than the fetch ever keeps is refused at once.
    std::string huge = "<r><e v=\"1\"/>";
    huge += std::string(50 * 1024 * 1024, 'x');
    huge += "</r>";
    // Within the limit: many attributes, many siblings, a long comment.
    std::string attributes = "<r><e";
    for (int i = 0; i < 50000; ++i) attributes += " a" + std::to_string(i) + "=\"\"";
    attributes += " v=\"1\"/></r>";
    std::string siblings = "<r>";
    for (int i = 0; i < 100000; ++i) siblings += "<x/>";
    siblings += "<e v=\"1\"/></r>";
    const std::string longComment = "<r><e v=\"1\"/></r><!--" + std::string(1000000, '-');

    struct Case {
        const char* what;
        const std::string& document;
        bool readable;
    } cases[] = {
        {"50 MB body", huge, false},
        {"50,000 attributes", attributes, true},
        {"100,000 siblings", siblings, true},
        {"unterminated megabyte comment", longComment, false},
    };
    for (const Case& c : cases) {
        UpdateDocument document;
        EXPECT_EQ(document.loadFromBytes(c.document), c.readable) << c.what;
        EXPECT_EQ(document.attributeValue("r/e", "v"), c.readable ? "1" : "") << c.what;
    }
}

}  // namespace
}  // namespace update
