#include "update/http_get.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_files.h"
#include "tests/update/loopback_http_server.h"
#include "update/update_document.h"
#include "update/update_offer.h"
#include "update/update_url.h"
#include "update/version_number.h"

namespace update {
namespace {

using lanzhou::test::closedLoopbackPort;
using lanzhou::test::LoopbackHttpServer;
using lanzhou::test::ScopedEnv;

std::string closedPortUrl() {
    return "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/澜舟.xml";
}

TEST(UpdateUrl, FixedAddressUnlessTheEnvironmentNamesAnother) {
    {
        ScopedEnv unset("LANZHOU_UPDATE_URL", nullptr);
        EXPECT_EQ(updateUrl(), "https://update.lanzhou.example/澜舟.xml");
    }
    ScopedEnv mirror("LANZHOU_UPDATE_URL", "http://127.0.0.1:1/x.xml");
    EXPECT_EQ(updateUrl(), "http://127.0.0.1:1/x.xml");
}

TEST(HttpGetBytes, SendsTheRequestOfAnOldBrowserDirectly) {
    LoopbackHttpServer server(
        [](const std::string&) { return LoopbackHttpServer::response(200, "<r/>"); });
    // A proxy in the environment is not used: the connection goes direct.
    ScopedEnv proxy("http_proxy", closedPortUrl().c_str());
    ScopedEnv mirror("LANZHOU_UPDATE_URL", server.url("/澜舟.xml").c_str());

    EXPECT_EQ(httpGetBytes(updateUrl()), "<r/>");
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string head = server.requests()[0];
    EXPECT_EQ(head.rfind("GET /%E6%BE%9C%E8%88%9F.xml HTTP/1.0\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"),
              std::string::npos)
        << head;
    EXPECT_NE(head.find("\r\nAccept: */*\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nPragma: no-cache\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << head;
}

TEST(HttpGetBytes, ReturnsTheBodyAsItCame) {
    const std::string oneMegabyte(kMaxBodyBytes, 'm');
    struct Case {
        const char* what;
        std::string response;
        std::string body;
    } cases[] = {
        {"an error page", LoopbackHttpServer::response(404, "<html>Not Found</html>", "text/html"),
         "<html>Not Found</html>"},
        {"zero bytes kept", LoopbackHttpServer::response(200, std::string("a\0b", 3)),
         std::string("a\0b", 3)},
        {"an empty body", LoopbackHttpServer::response(200, ""), ""},
        {"no length, ends with the connection", "HTTP/1.0 200 OK\r\n\r\n<r/>", "<r/>"},
        {"cut off mid-transfer", "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n<r><e v=\"1",
         "<r><e v=\"1"},
        {"exactly the limit", LoopbackHttpServer::response(200, oneMegabyte), oneMegabyte},
        {"beyond the limit", LoopbackHttpServer::response(200, oneMegabyte + "beyond"),
         oneMegabyte},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server([&](const std::string&) { return c.response; });
        const std::string body = httpGetBytes(server.url("/x"));
        EXPECT_EQ(body.size(), c.body.size()) << c.what;
        EXPECT_TRUE(body == c.body) << c.what;
    }
}

TEST(HttpGetBytes, NothingWhenNoServerAnswers) {
    EXPECT_EQ(httpGetBytes(closedPortUrl()), "");
    EXPECT_EQ(httpGetBytes("ftp://127.0.0.1/x"), "");
    EXPECT_EQ(httpGetBytes("not a url"), "");
    // The kept session still serves after failures.
    LoopbackHttpServer server(
        [](const std::string&) { return LoopbackHttpServer::response(200, "ok"); });
    EXPECT_EQ(httpGetBytes(server.url("/x")), "ok");
}

std::string versionDocument(const std::string& versionInfo) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<最新版本>\n  " + versionInfo +
           "\n</最新版本>\n";
}

// The documents a server may send and what the update check reads from them.
TEST(FetchUpdateDocument, ReadsTheOfferedVersion) {
    struct Case {
        const char* what;
        std::string response;
        double version;
        bool newer;
    } cases[] = {
        {"3.2", versionDocument("<版本信息 版本号=\"3.2\"/>"), 3.2, false},
        {"3.2000001", versionDocument("<版本信息 版本号=\"3.2000001\"/>"), 3.2000001, false},
        {"3.1", versionDocument("<版本信息 版本号=\"3.1\"/>"), 3.1, false},
        {"3.10", versionDocument("<版本信息 版本号=\"3.10\"/>"), 3.1, false},
        {"3.3", versionDocument("<版本信息 版本号=\"3.3\"/>"), 3.3, true},
        {"full-width 3.3", versionDocument("<版本信息 版本号=\"３．３\"/>"), 3.3, true},
        {"V3.3", versionDocument("<版本信息 版本号=\"V3.3\"/>"), 0, false},
        {"with an end tag", versionDocument("<版本信息 版本号=\"3.3\">文字</版本信息>"), 3.3, true},
        {"one level deeper", versionDocument("<其他><版本信息 版本号=\"3.3\"/></其他>"), 0, false},
        {"another root", "<最新版><版本信息 版本号=\"3.3\"/></最新版>", 0, false},
        {"repeated attribute", versionDocument("<版本信息 版本号=\"3.3\" 版本号=\"3.3\"/>"), 0,
         false},
        {"with a byte order mark", "\xEF\xBB\xBF" + versionDocument("<版本信息 版本号=\"3.3\"/>"),
         3.3, true},
    };
    UpdateDocument document;
    for (const Case& c : cases) {
        LoopbackHttpServer server(
            [&](const std::string&) { return LoopbackHttpServer::response(200, c.response); });
        EXPECT_TRUE(fetchUpdateDocument(document, server.url("/澜舟.xml"))) << c.what;
        EXPECT_DOUBLE_EQ(offeredVersion(document), c.version) << c.what;
        EXPECT_EQ(isNewerVersion(offeredVersion(document)), c.newer) << c.what;
    }
}

TEST(FetchUpdateDocument, AnErrorPageIsReachedButOffersNothing) {
    UpdateDocument document;
    LoopbackHttpServer server([](const std::string&) {
        return LoopbackHttpServer::response(
            404, "<html><head><title>404</title></head><body>Not Found</body></html>", "text/html");
    });
    EXPECT_TRUE(fetchUpdateDocument(document, server.url("/澜舟.xml")));
    EXPECT_EQ(offeredVersion(document), 0);
    EXPECT_EQ(offerValue(document, kDownloadAddressAttribute), "");
}

TEST(FetchUpdateDocument, AClosedPortIsNotReached) {
    UpdateDocument document;
    ASSERT_TRUE(document.loadFromBytes("<a/>"));
    EXPECT_FALSE(fetchUpdateDocument(document, closedPortUrl()));
}

TEST(FetchUpdateDocument, ValuesComeBackInUtf8WithReferencesReplaced) {
    LoopbackHttpServer server([](const std::string&) {
        return LoopbackHttpServer::response(
            200, versionDocument("<版本信息 版本号=\"3.3\" 升级说明=\"修正 &amp; 改进\r\n"
                                 "第二行 😀\" 下载地址=\"https://x.example/get?a=1&amp;b=2\" "
                                 "文件标题=\"&quote;澜舟&quote; 3.3\" 文件名=\"澜舟\"/>"));
    });
    UpdateDocument document;
    ASSERT_TRUE(fetchUpdateDocument(document, server.url("/澜舟.xml")));
    EXPECT_EQ(offerValue(document, kVersionAttribute), "3.3");
    const UpdaterValues values = offeredUpdaterValues(document);
    EXPECT_EQ(values.releaseNotes, "修正 & 改进\r\n第二行 ?");
    EXPECT_EQ(values.downloadAddress, "https://x.example/get?a=1&b=2");
    EXPECT_EQ(values.fileTitle, "\"澜舟\" 3.3");
    EXPECT_EQ(values.fileName, "澜舟");
}

}  // namespace
}  // namespace update
