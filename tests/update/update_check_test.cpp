#include "update/update_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"
#include "tests/update/loopback_http_server.h"
#include "update/updater_command.h"
#include "update/updater_payload.h"

namespace update {
namespace {

using lanzhou::platform::BoxButtons;
using lanzhou::platform::BoxIcon;
using lanzhou::platform::BoxResult;
using lanzhou::platform::Control;
using lanzhou::platform::MessageBox;
using lanzhou::test::closedLoopbackPort;
using lanzhou::test::entryNames;
using lanzhou::test::LoopbackHttpServer;
using lanzhou::test::readFile;
using lanzhou::test::ScopedEnv;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::ScriptedPlatform;
using lanzhou::test::writeFile;
using Log = std::vector<std::string>;

// The scripted platform with what the handler does to the window and the
// process noted in order.
class LoggingPlatform : public ScriptedPlatform {
  public:
    Log log;

    void setText(Control control, const std::string& text) override {
        if (control == Control::MainWindow) log.push_back("caption " + text);
        ScriptedPlatform::setText(control, text);
    }
    BoxResult messageBox(const MessageBox& box) override {
        log.push_back("box " + box.title + ": " + box.text);
        return ScriptedPlatform::messageBox(box);
    }
    void pause(int ms) override {
        log.push_back("pause " + std::to_string(ms));
        ScriptedPlatform::pause(ms);
    }
    void processPendingEvents() override {
        log.push_back("pending events");
        ScriptedPlatform::processPendingEvents();
    }
    bool startProcess(const std::string& program, const std::vector<std::string>& args) override {
        log.push_back("start " + program);
        return ScriptedPlatform::startProcess(program, args);
    }
    void endProcess() override {
        log.push_back("end");
        ScriptedPlatform::endProcess();
    }
};

struct Offer {
    std::string version = "3.3";
    std::string notes = "修正保存";
    std::string address = "http://127.0.0.1:1/new";
    std::string title = "澜舟 3.3";
    std::string fileName = "lanzhou";
};

std::string documentOf(const Offer& offer) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- 澜舟 -->\n<最新版本>\n"
           "  <版本信息 版本号=\"" +
           offer.version + "\" 升级说明=\"" + offer.notes + "\" 下载地址=\"" + offer.address +
           "\" 文件标题=\"" + offer.title + "\" 文件名=\"" + offer.fileName + "\"/>\n</最新版本>\n";
}

std::string offerText(const std::string& version, const std::string& notes) {
    return "box 版本升级: 发现有新版本可以更新！\r\n\r\n版本号：" + version + "\r\n下载说明：" +
           notes;
}

const Log kNoNewerVersion = {"caption 检测升级中...", "caption 未检测到新版本", "pause 3000",
                             "caption 澜舟", "pending events"};

mode_t modeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

const std::string& payload() {
    static const std::string bytes(reinterpret_cast<const char*>(updaterPayload()),
                                   updaterPayloadSize());
    return bytes;
}

// The program in a run folder of its own, MainWindow as designed, and an
// update server on the loopback address answering what the test serves.
class UpdateCheckTest : public ::testing::Test {
  protected:
    UpdateCheckTest() {
        EXPECT_EQ(mkdir(runFolder_.c_str(), 0755), 0);
        platform_.placeExecutable(runFolder_, "lanzhou");
        platform_.loadMainWindow();
        platform_.log.clear();
    }

    void serve(const std::string& response) {
        std::lock_guard<std::mutex> lock(mutex_);
        response_ = response;
    }
    void serve(const Offer& offer) { serve(LoopbackHttpServer::response(200, documentOf(offer))); }

    Log check() {
        platform_.log.clear();
        checkForUpdate(platform_, document_);
        return platform_.log;
    }

    std::string updater() const { return updaterPath(runFolder_); }

    ScopedTempDir temp_;
    const std::string runFolder_ = temp_.file("app");
    std::mutex mutex_;
    std::string response_;
    LoopbackHttpServer server_{[this](const std::string&) {
        std::lock_guard<std::mutex> lock(mutex_);
        return response_;
    }};
    ScopedEnv url_{"LANZHOU_UPDATE_URL", server_.url("/澜舟.xml").c_str()};
    LoggingPlatform platform_;
    UpdateDocument document_;
};

TEST_F(UpdateCheckTest, AnUnreachableServerIsReportedForThreeSeconds) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x";
    ScopedEnv url("LANZHOU_UPDATE_URL", closed.c_str());

    EXPECT_EQ(check(),
              (Log{"caption 检测升级中...", "box 提示信息: 未接通升级服务器", "caption 澜舟"}));
    ASSERT_EQ(platform_.boxes().size(), 1u);
    const auto& box = platform_.boxes()[0];
    EXPECT_EQ(box.request.buttons, BoxButtons::Ok);
    EXPECT_EQ(box.request.icon, BoxIcon::None);
    EXPECT_FALSE(box.request.taskModal);
    EXPECT_EQ(box.result, BoxResult::TimedOut);
    EXPECT_EQ(box.closedAtMs - box.openedAtMs, 3000);
    EXPECT_EQ(readFile(updater()), payload()) << "the updater is written whatever the outcome";
}

TEST_F(UpdateCheckTest, NoNewerVersionShowsInTheCaptionForThreeSeconds) {
    const auto withVersion = [](const char* version) {
        Offer offer;
        offer.version = version;
        return LoopbackHttpServer::response(200, documentOf(offer));
    };
    const struct {
        const char* what;
        std::string response;
    } cases[] = {
        {"the own version", withVersion("3.2")},
        {"within the threshold", withVersion("3.2000001")},
        {"older", withVersion("3.1")},
        {"3.10 is 3.1", withVersion("3.10")},
        {"a letter first", withVersion("V3.3")},
        {"not a number", withVersion("")},
        {"nested one level deeper",
         LoopbackHttpServer::response(
             200, "<最新版本><旧版><版本信息 版本号=\"3.3\"/></旧版></最新版本>")},
        {"another root",
         LoopbackHttpServer::response(200, "<版本列表><版本信息 版本号=\"3.3\"/></版本列表>")},
        {"a repeated attribute",
         LoopbackHttpServer::response(
             200, "<最新版本><版本信息 版本号=\"3.3\" 版本号=\"3.3\"/></最新版本>")},
        {"an error page",
         LoopbackHttpServer::response(404, "<html><body>404 Not Found</body></html>", "text/html")},
    };
    for (const auto& c : cases) {
        serve(c.response);
        EXPECT_EQ(check(), kNoNewerVersion) << c.what;
    }
    EXPECT_TRUE(platform_.boxes().empty());
    EXPECT_FALSE(platform_.processEnded());
}

TEST_F(UpdateCheckTest, ANewerVersionIsOfferedAndCancellingLeavesTheProgramRunning) {
    for (const char* version : {"3.3", "３．３"}) {
        Offer offer;
        offer.version = version;
        serve(offer);
        platform_.pressAtNextBox(BoxResult::Cancel, 1500);

        EXPECT_EQ(check(), (Log{"caption 检测升级中...", offerText(version, "修正保存"),
                                "caption 澜舟", "pending events"}))
            << version;
        const auto& box = platform_.boxes().back().request;
        EXPECT_EQ(box.buttons, BoxButtons::OkCancel);
        EXPECT_EQ(box.icon, BoxIcon::Information);
        EXPECT_TRUE(box.taskModal);
        EXPECT_EQ(box.timeoutMs, 0);
    }
    EXPECT_TRUE(platform_.startedProcesses().empty());
    EXPECT_FALSE(platform_.processEnded());
    EXPECT_EQ(platform_.text(Control::MainWindow), "澜舟");
    EXPECT_EQ(readFile(updater()), payload());
    EXPECT_EQ(modeOf(updater()), 0755u);
}

TEST_F(UpdateCheckTest, TheUpdaterIsWrittenWhenMissingAndAnExistingOneIsKept) {
    Offer offer;
    offer.version = "3.2";
    serve(offer);
    check();
    ASSERT_EQ(readFile(updater()), payload());

    ASSERT_EQ(unlink(updater().c_str()), 0);
    serve("");  // the server closes without an answer
    EXPECT_EQ(check().at(1), "box 提示信息: 未接通升级服务器");
    EXPECT_EQ(readFile(updater()), payload());

    ASSERT_TRUE(writeFile(updater(), "an updater of an earlier version"));
    serve(offer);
    check();
    EXPECT_EQ(readFile(updater()), "an updater of an earlier version");
    EXPECT_EQ(entryNames(updaterFolder(runFolder_)), std::vector<std::string>{"update"});
}

// Values with blanks, a line break and references: each blank of the command
// line separates two arguments, nothing else does.
TEST_F(UpdateCheckTest, AcceptingStartsTheUpdaterWithTheCommandLinesArgumentsAndEnds) {
    Offer offer;
    offer.notes = "修正 &amp; 改进\r\n1. 保存 PNG";
    offer.address = "http://127.0.0.1:1/new?a=1&amp;b=2";
    offer.title = "澜舟 3.3 &quote;春季版&quote;";
    serve(offer);
    platform_.pressAtNextBox(BoxResult::Ok);

    EXPECT_EQ(check(), (Log{"caption 检测升级中...", offerText("3.3", "修正 & 改进\r\n1. 保存 PNG"),
                            "start " + updater(), "end"}));
    ASSERT_EQ(platform_.startedProcesses().size(), 1u);
    const auto& started = platform_.startedProcesses()[0];
    EXPECT_EQ(started.program, runFolder_ + "/升级文件/update");
    EXPECT_EQ(started.args,
              (std::vector<std::string>{"青松白鹤", "http://127.0.0.1:1/new?a=1&b=2", "澜舟", "3.3",
                                        "\"春季版\"", "运行", "澜舟.exe", "lanzhou", "修正", "&",
                                        "改进\r\n1.", "保存", "PNG"}));
    std::string joined = started.program;
    for (const std::string& arg : started.args) joined += " " + arg;
    EXPECT_EQ(joined, runFolder_ +
                          "/升级文件/update 青松白鹤 http://127.0.0.1:1/new?a=1&b=2 澜舟 3.3 "
                          "\"春季版\" 运行 澜舟.exe lanzhou 修正 & 改进\r\n1. 保存 PNG");
    EXPECT_TRUE(platform_.processEnded());
    EXPECT_EQ(readFile(updater()), payload());
}

// Without a running updater the program does not end: the user is told where
// the new version is and keeps the program.
TEST_F(UpdateCheckTest, AnUpdaterThatCannotStartLeavesTheProgramRunning) {
    const struct {
        const char* what;
        bool folderIsAFile;
        bool installed;
        bool starts;
    } cases[] = {
        {"no folder for the updater", true, false, true},
        {"the updater does not start", false, false, false},
        {"an installed copy, which its package manager updates", false, true, true},
    };
    for (const auto& c : cases) {
        ScopedTempDir temp;
        // The layout of an install prefix: bin/ beside share/applications/.
        const std::string runFolder = temp.file("bin");
        ASSERT_EQ(mkdir(runFolder.c_str(), 0755), 0);
        if (c.folderIsAFile) {
            ASSERT_TRUE(writeFile(updaterFolder(runFolder), "not a folder"));
        }
        if (c.installed) {
            ASSERT_EQ(mkdir(temp.file("share").c_str(), 0755), 0);
            ASSERT_EQ(mkdir(temp.file("share/applications").c_str(), 0755), 0);
            ASSERT_TRUE(
                writeFile(temp.file("share/applications/lanzhou.desktop"), "[Desktop Entry]"));
        }
        LoggingPlatform platform;
        platform.placeExecutable(runFolder, "lanzhou");
        platform.loadMainWindow();
        platform.setStartProcessResult(c.starts);
        serve(Offer{});
        platform.pressAtNextBox(BoxResult::Ok);
        platform.pressAtNextBox(BoxResult::Ok, 5000);

        checkForUpdate(platform, document_);

        Log expected{"caption 检测升级中...", offerText("3.3", "修正保存")};
        if (!c.folderIsAFile && !c.installed) expected.push_back("start " + updaterPath(runFolder));
        expected.insert(expected.end(),
                        {"box 版本升级: 升级程序无法启动，请手动下载新版本：http://127.0.0.1:1/new",
                         "caption 澜舟", "pending events"});
        EXPECT_EQ(platform.log, expected) << c.what;
        ASSERT_EQ(platform.boxes().size(), 2u) << c.what;
        const auto& box = platform.boxes()[1].request;
        EXPECT_EQ(box.buttons, BoxButtons::Ok) << c.what;
        EXPECT_EQ(box.timeoutMs, 0) << c.what;
        EXPECT_TRUE(box.taskModal) << c.what;
        EXPECT_FALSE(platform.processEnded()) << c.what;
        EXPECT_EQ(platform.text(Control::MainWindow), "澜舟") << c.what;
        if (c.folderIsAFile) {
            EXPECT_EQ(readFile(updaterFolder(runFolder)), "not a folder");
            EXPECT_EQ(entryNames(runFolder), std::vector<std::string>{"升级文件"});
        }
        if (c.installed) {
            EXPECT_EQ(entryNames(runFolder), std::vector<std::string>{})
                << "nothing is written under the install prefix";
        }
    }
}

}  // namespace
}  // namespace update
