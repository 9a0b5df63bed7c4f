#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/test_files.h"

extern char** environ;

namespace lanzhou::test {
namespace {

using namespace std::chrono_literals;

// One run of the program, ended by the test if it is still running.
class ProgramRun {
  public:
    // Starts program; with capture its standard output goes into a pipe.
    ProgramRun(const std::string& program, bool capture) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (capture && pipe(output_) == 0) {
            posix_spawn_file_actions_adddup2(&actions, output_[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, output_[0]);
        }
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (output_[1] >= 0) close(output_[1]);
    }
    ~ProgramRun() {
        if (running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_[0] >= 0) close(output_[0]);
    }

    bool running() {
        if (pid_ <= 0 || exited_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == 0) return true;
        exited_ = true;
        status_ = status;
        return false;
    }
    // Waits for the end; the exit code, or -1 for a signal or a time-out.
    int exitCode(std::chrono::milliseconds limit = 30s) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(20ms);
        if (!exited_) return -1;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    }
    std::string output() {
        std::string text;
        char chunk[256];
        ssize_t got;
        while (output_[0] >= 0 && (got = read(output_[0], chunk, sizeof chunk)) > 0)
            text.append(chunk, static_cast<std::size_t>(got));
        return text;
    }
    pid_t pid() const { return pid_; }
    void terminate() { kill(pid_, SIGTERM); }

  private:
    pid_t pid_ = -1;
    int output_[2] = {-1, -1};
    bool exited_ = false;
    int status_ = 0;
};

// Whether the process holds a file lock: its instance claim, taken by the
// created event before the window is shown.
bool holdsClaim(pid_t pid) {
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string wanted = " " + std::to_string(pid) + " ";
    while (std::getline(locks, line))
        if (line.find("FLOCK") != std::string::npos && line.find(wanted) != std::string::npos)
            return true;
    return false;
}

bool waitForClaim(ProgramRun& run) {
    for (int i = 0; i < 1500 && run.running(); ++i) {
        if (holdsClaim(run.pid())) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

class ProgramTest : public ::testing::Test {
  protected:
    ScopedTempDir temp_;
    ScopedEnv display_{"QT_QPA_PLATFORM", "offscreen"};
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", temp_.path().c_str()};
    ScopedEnv answers_{"LANZHOU_TEST_ANSWERS", "1"};
};

TEST_F(ProgramTest, ASecondCopyShowsTheMessageAndEndsWithZeroWhileTheFirstRunsOn) {
    ProgramRun first(LANZHOU_PROGRAM, false);
    ASSERT_TRUE(waitForClaim(first));

    ProgramRun second(LANZHOU_PROGRAM, true);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.output(), "提示信息\n程序已运行，请确定！\n");

    EXPECT_TRUE(first.running());
    first.terminate();
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(ProgramTest, ACopyUnderAnotherFileNameStartsBesideTheFirst) {
    const std::string copy = temp_.file("lanzhou-copy");
    ASSERT_TRUE(writeFile(copy, readFile(LANZHOU_PROGRAM)));
    ASSERT_EQ(chmod(copy.c_str(), 0755), 0);

    ProgramRun first(LANZHOU_PROGRAM, false);
    ASSERT_TRUE(waitForClaim(first));
    ProgramRun other(copy, true);
    ASSERT_TRUE(waitForClaim(other));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(other.running());

    other.terminate();
    first.terminate();
    EXPECT_EQ(other.exitCode(), 0);
    EXPECT_EQ(other.output(), "");
    EXPECT_EQ(first.exitCode(), 0);
}

}  // namespace
}  // namespace lanzhou::test
