#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/update/loopback_http_server.h"
#include "tests/window/program_run.h"

namespace lanzhou::test {
namespace {

using namespace std::chrono_literals;

// The new version: a script that leaves a marker in its current folder,
// "new" when the old version's instance claim was free as it started.
const std::string kNewProgram =
    "#!/bin/sh\n"
    "if flock -n \"$XDG_RUNTIME_DIR/lanzhou.$(id -u).instance\" true\n"
    "then echo new > started-by-update\n"
    "else echo \"old version still running\" > started-by-update\n"
    "fi\n";

// The real program copied into a run folder of its own, started as a person
// starts it with an update server on the loopback address; a Qt plugin
// chooses "检测升级" in its window and reports its captions, and every box
// answers itself with its default button (the offer's is OK).
class UpdateProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(mkdir(runFolder_.c_str(), 0755), 0);
        ASSERT_TRUE(writeFile(program(), readFile(LANZHOU_PROGRAM)));
        ASSERT_EQ(chmod(program().c_str(), 0755), 0);
    }

    std::string program() const { return runFolder_ + "/lanzhou"; }
    std::string updater() const { return runFolder_ + "/升级文件/update"; }

    std::string answer(const std::string& head) const {
        if (head.rfind("GET /new ", 0) == 0) return LoopbackHttpServer::response(200, kNewProgram);
        return LoopbackHttpServer::response(
            200,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<最新版本>\n  <版本信息 版本号=\"3.3\" "
            "升级说明=\"修正 保存\" 下载地址=\"" +
                server_.url("/new") +
                "\" 文件标题=\"澜舟 3.3\" 文件名=\"lanzhou\"/>\n</最新版本>\n");
    }

    std::string offerOutput() const {
        return "caption 检测升级中...\n版本升级\n发现有新版本可以更新！\r\n\r\n版本号：3.3\r\n"
               "下载说明：修正 保存\n";
    }

    bool markerAppears() const {
        for (int waited = 0; waited < 300; ++waited) {
            if (!readFile(runFolder_ + "/started-by-update").empty()) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    ScopedTempDir temp_;
    const std::string runFolder_ = temp_.file("app");
    LoopbackHttpServer server_{[this](const std::string& head) { return answer(head); }};
    ScopedEnv display_{"QT_QPA_PLATFORM", "offscreen"};
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", temp_.path().c_str()};
    ScopedEnv answers_{"LANZHOU_TEST_ANSWERS", "1"};
    ScopedEnv url_{"LANZHOU_UPDATE_URL", server_.url("/澜舟.xml").c_str()};
    ScopedEnv pluginFolder_{"QT_PLUGIN_PATH", LANZHOU_TEST_PLUGINS};
    ScopedEnv chooser_{"QT_QPA_GENERIC_PLUGINS", "lanzhou-choose-update-check"};
};

TEST_F(UpdateProgramTest, AcceptingTheOfferReplacesTheProgramAndStartsTheNewVersion) {
    const std::string oldProgram = readFile(program());
    ProgramRun run(program(), true);

    EXPECT_EQ(run.exitCode(), 0);
    ASSERT_TRUE(markerAppears());
    EXPECT_EQ(readFile(runFolder_ + "/started-by-update"), "new\n");
    EXPECT_EQ(readFile(program()), kNewProgram);
    EXPECT_EQ(readFile(program() + ".bak"), oldProgram);
    EXPECT_EQ(readFile(updater()), readFile(LANZHOU_UPDATER));
    EXPECT_EQ(run.output(), offerOutput());
    EXPECT_EQ(entryNames(runFolder_), (std::vector<std::string>{"lanzhou", "lanzhou.bak",
                                                                "started-by-update", "升级文件"}));
}

// Where the updater cannot be written or cannot start, the program says where
// the new version is and runs on, and nothing is downloaded or written.
TEST_F(UpdateProgramTest, AnUpdaterThatCannotStartLeavesTheProgramRunning) {
    const struct {
        const char* what;
        bool folderIsAFile;
    } cases[] = {{"no folder for the updater", true}, {"an updater nobody may run", false}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(runFolder_ + "/升级文件");
        if (c.folderIsAFile) {
            ASSERT_TRUE(writeFile(runFolder_ + "/升级文件", "not a folder"));
        } else {
            ASSERT_EQ(mkdir((runFolder_ + "/升级文件").c_str(), 0755), 0);
            ASSERT_TRUE(writeFile(updater(), "#!/bin/sh\necho ran > updater-ran\n"));
            ASSERT_EQ(chmod(updater().c_str(), 0644), 0);
        }
        ProgramRun run(program(), true);

        const std::string expected = offerOutput() +
                                     "版本升级\n升级程序无法启动，请手动下载新版本：" +
                                     server_.url("/new") + "\ncaption 澜舟\n";
        EXPECT_TRUE(run.waitForOutput(expected)) << c.what << ": " << run.output(0ms);
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(run.running()) << c.what;
        run.terminate();
        EXPECT_EQ(run.exitCode(), 0) << c.what;
        EXPECT_EQ(run.output(), expected) << c.what;
        EXPECT_EQ(entryNames(runFolder_), (std::vector<std::string>{"lanzhou", "升级文件"}))
            << c.what;
    }
    for (const std::string& request : server_.requests())
        EXPECT_NE(request.rfind("GET /new ", 0), 0u) << "nothing is downloaded";
}

}  // namespace
}  // namespace lanzhou::test
