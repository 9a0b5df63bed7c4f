#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/test_files.h"
#include "tests/window/program_run.h"

namespace lanzhou::test {
namespace {

using namespace std::chrono_literals;

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

int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The time of the event's timing line in the output; -1 without one.
int64_t timingOf(const std::string& output, const std::string& event) {
    std::istringstream lines(output);
    std::string line;
    const std::string prefix = "lanzhou-timing " + event + " ";
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0) return std::stoll(line.substr(prefix.size()));
    return -1;
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

// The benchmark subtracts its own CLOCK_MONOTONIC start from the line's time.
TEST_F(ProgramTest, AskedForTimingItMarksTheWindowShownOnTheMonotonicClock) {
    ScopedEnv timing("LANZHOU_TIMING", "1");
    const int64_t started = monotonicNs();
    ProgramRun run(LANZHOU_PROGRAM, true, true);
    ASSERT_TRUE(run.waitForOutput("lanzhou-timing window-shown "));
    const int64_t seen = monotonicNs();
    run.terminate();
    EXPECT_EQ(run.exitCode(), 0);

    const int64_t shown = timingOf(run.output(), "window-shown");
    EXPECT_GT(shown, started);
    EXPECT_LT(shown, seen);
}

}  // namespace
}  // namespace lanzhou::test
