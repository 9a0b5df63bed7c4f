#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/update/loopback_http_server.h"
#include "update/updater/download.h"
#include "update/updater/install_update.h"
#include "update/updater_command.h"
#include "update/updater_file.h"
#include "update/updater_payload.h"

extern char** environ;

namespace update {
namespace {

using lanzhou::test::entryNames;
using lanzhou::test::LoopbackHttpServer;
using lanzhou::test::readFile;
using lanzhou::test::ScopedEnv;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::writeFile;

TEST(UpdaterChecks, OnlyPlainFileNames) {
    for (const char* name : {"澜舟", "lanzhou", "lanzhou-3.3.AppImage", ".hidden", "a b", "..."})
        EXPECT_TRUE(updater::isPlainFileName(name)) << name;
    for (const char* name : {"", ".", "..", "../澜舟", "a/b", "/usr/bin/x", "a\nb", "a\tb", "\x7f"})
        EXPECT_FALSE(updater::isPlainFileName(name)) << name;
}

TEST(UpdaterChecks, OnlyHttpsOrLoopbackHttp) {
    for (const char* url :
         {"https://update.lanzhou.example/澜舟", "HTTPS://update.lanzhou.example/x",
          "http://127.0.0.1:8080/x", "http://127.255.0.1/x", "http://[::1]:8080/x",
          "http://user@127.0.0.1/x"})
        EXPECT_TRUE(updater::isAllowedDownloadAddress(url)) << url;
    for (const char* url :
         {"http://update.lanzhou.example/x", "http://localhost/x", "http://128.0.0.1/x",
          "http://127.0.0.1.lanzhou.example/x", "http://127.0.0.1@update.lanzhou.example/x",
          "http://[::ffff:127.0.0.1]/x", "ftp://127.0.0.1/x", "file:///etc/passwd", "https://",
          "update.lanzhou.example/x", ""})
        EXPECT_FALSE(updater::isAllowedDownloadAddress(url)) << url;
}

TEST(UpdaterChecks, RunFolderIsTheParentOfTheUpdatersFolder) {
    EXPECT_EQ(updater::runFolderOfExecutable("/opt/lanzhou/升级文件/update"), "/opt/lanzhou");
    EXPECT_EQ(updater::runFolderOfExecutable("/升级文件/update"), "/");
}

// The folder of this test's own executable: a starter running from there
// counts as the program the updater replaces.
std::string ownFolder() {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    return self.substr(0, self.rfind('/'));
}

// A starter process (a child of the test, running this test's executable)
// starts an "updater" (a grandchild) that waits for it with `runFolder`, and
// ends 200 ms later. The answer: 'e' when the wait returned after the
// starter had ended, 'r' when it returned while the starter still ran.
char waitInAGrandchild(const std::string& runFolder) {
    int verdict[2];
    if (pipe(verdict) != 0) return '?';
    const pid_t starter = fork();
    if (starter == 0) {
        if (fork() == 0) {
            const pid_t parent = getppid();
            updater::waitForStarterToEnd(parent, runFolder, 20000);
            const char answer = getppid() != parent ? 'e' : 'r';
            _exit(write(verdict[1], &answer, 1) == 1 ? 0 : 1);
        }
        usleep(200 * 1000);
        _exit(0);
    }
    close(verdict[1]);
    waitpid(starter, nullptr, 0);
    char answer = '?';
    if (read(verdict[0], &answer, 1) != 1) answer = '?';
    close(verdict[0]);
    return answer;
}

TEST(UpdaterChecks, WaitsForTheProgramItReplacesToEnd) {
    EXPECT_EQ(waitInAGrandchild(ownFolder()), 'e');
    EXPECT_EQ(waitInAGrandchild("/nonexistent-folder"), 'r')
        << "a starter from another folder is not waited for";
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

const std::string kOldProgram = "#!/bin/sh\necho old > ran-old\n";
// The new program leaves a marker in its current folder when it starts.
const std::string kNewProgram = "#!/bin/sh\necho new > started-by-update\n";
constexpr const char* kMarker = "started-by-update";

// A run folder with the old program and the updater written out from the
// embedded bytes, and a loopback server with the new version.
class UpdaterProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        runFolder_ = dir_.file("app");
        ASSERT_EQ(mkdir(runFolder_.c_str(), 0755), 0);
        ASSERT_EQ(mkdir(dir_.file("runtime").c_str(), 0700), 0);
        ASSERT_TRUE(ensureUpdater(runFolder_, updaterPayload(), updaterPayloadSize()));
        ASSERT_TRUE(writeFile(program(), kOldProgram));
        ASSERT_EQ(chmod(program().c_str(), 0750), 0);
    }

    std::string program() const { return runFolder_ + "/澜舟"; }

    static std::string answer(const std::string& head) {
        if (head.rfind("GET /new ", 0) == 0) return LoopbackHttpServer::response(200, kNewProgram);
        if (head.rfind("GET /broken ", 0) == 0)
            return "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + kNewProgram;
        if (head.rfind("GET /redirect ", 0) == 0)
            return "HTTP/1.0 302 Found\r\nLocation: /new\r\nContent-Length: 0\r\n\r\n";
        return LoopbackHttpServer::response(404, "<html>Not Found</html>", "text/html");
    }

    // Runs the written-out updater as 澜舟 would start it, without a screen;
    // its exit code, or -1 when it did not end in time.
    int runUpdater(const std::vector<std::string>& arguments) {
        std::vector<char*> argv;
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
        ScopedEnv runtime("XDG_RUNTIME_DIR", dir_.file("runtime").c_str());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, dir_.file("stderr").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) return -1;
        for (int waited = 0; waited < 1200; ++waited) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }

    int runUpdater(const UpdaterValues& values) {
        return runUpdater(updaterArguments(runFolder_, values));
    }

    std::string errors() const { return readFile(dir_.file("stderr")); }

    bool markerAppears() const {
        for (int waited = 0; waited < 100; ++waited) {
            if (readFile(runFolder_ + "/" + kMarker) == "new\n") return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    ScopedTempDir dir_;
    std::string runFolder_;
    LoopbackHttpServer server_{answer};
};

TEST_F(UpdaterProgram, ReplacesTheProgramKeepsTheOldOneAndStartsTheNew) {
    const UpdaterValues values{server_.url("/new"), "澜舟 3.3  新版", "澜舟",
                               "修正：\r\n1. 保存 PNG"};
    ASSERT_EQ(runUpdater(values), 0) << errors();
    EXPECT_EQ(readFile(program()), kNewProgram);
    EXPECT_EQ(modeOf(program()), 0750u);
    EXPECT_EQ(readFile(program() + ".bak"), kOldProgram);
    EXPECT_TRUE(markerAppears());
    EXPECT_EQ(entryNames(runFolder_),
              (std::vector<std::string>{kMarker, "升级文件", "澜舟", "澜舟.bak"}));
}

TEST_F(UpdaterProgram, ANewFileGetsAnExecutableMode) {
    const UpdaterValues values{server_.url("/new"), "T", "lanzhou-3.3", "N"};
    ASSERT_EQ(runUpdater(values), 0) << errors();
    EXPECT_EQ(readFile(runFolder_ + "/lanzhou-3.3"), kNewProgram);
    EXPECT_EQ(modeOf(runFolder_ + "/lanzhou-3.3"), 0755u);
    EXPECT_FALSE(exists(runFolder_ + "/lanzhou-3.3.bak"));
    EXPECT_TRUE(markerAppears());
    EXPECT_EQ(readFile(program()), kOldProgram);
}

// Every failure leaves the run folder exactly as it was.
TEST_F(UpdaterProgram, FailuresLeaveEverythingAsItWas) {
    struct Case {
        const char* what;
        UpdaterValues values;
    } cases[] = {
        {"404", {server_.url("/missing"), "T", "澜舟", "N"}},
        {"broken transfer", {server_.url("/broken"), "T", "澜舟", "N"}},
        {"redirect to plain http", {server_.url("/redirect"), "T", "澜舟", "N"}},
        {"closed port", {"http://127.0.0.1:1/new", "T", "澜舟", "N"}},
        {"path in the file name", {server_.url("/new"), "T", "../澜舟", "N"}},
        {"parent as the file name", {server_.url("/new"), "T", "..", "N"}},
        {"empty file name", {server_.url("/new"), "T", "", "N"}},
        {"line break in the file name", {server_.url("/new"), "T", "澜\n舟", "N"}},
        {"plain http elsewhere", {"http://update.lanzhou.example/new", "T", "澜舟", "N"}},
        {"another scheme", {"file:///bin/sh", "T", "澜舟", "N"}},
    };
    const std::vector<std::string> before = entryNames(runFolder_);
    for (const Case& c : cases) {
        EXPECT_EQ(runUpdater(c.values), 1) << c.what;
        EXPECT_FALSE(errors().empty()) << c.what;
        EXPECT_EQ(readFile(program()), kOldProgram) << c.what;
        EXPECT_EQ(modeOf(program()), 0750u) << c.what;
        EXPECT_EQ(entryNames(runFolder_), before) << c.what;
        EXPECT_EQ(entryNames(dir_.path()), (std::vector<std::string>{"app", "runtime", "stderr"}))
            << c.what;
    }
}

TEST_F(UpdaterProgram, RunsOnlyWithTheVerificationWord) {
    std::vector<std::string> arguments =
        updaterArguments(runFolder_, UpdaterValues{server_.url("/new"), "T", "澜舟", "N"});
    arguments[1] = "白鹤青松";
    EXPECT_EQ(runUpdater(arguments), 2);
    EXPECT_FALSE(errors().empty());
    EXPECT_EQ(readFile(program()), kOldProgram);
    EXPECT_TRUE(server_.requests().empty());
}

}  // namespace
}  // namespace update
