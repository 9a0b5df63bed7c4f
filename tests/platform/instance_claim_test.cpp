#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {
namespace {

class InstanceClaimTest : public ::testing::Test {
  protected:
    ScopedTempDir temp_;
    ScopedEnv runtimeFolder_{"XDG_RUNTIME_DIR", temp_.path().c_str()};
    ScriptedPlatform platform_;
};

TEST_F(InstanceClaimTest, ANameIsHeldOnceAndOtherNamesStayFree) {
    EXPECT_TRUE(platform_.claimInstance("lanzhou"));
    EXPECT_FALSE(platform_.claimInstance("lanzhou"));
    EXPECT_TRUE(platform_.claimInstance("lanzhou-copy"));
}

TEST_F(InstanceClaimTest, AFileLeftBehindWithoutItsProcessDoesNotBlock) {
    ASSERT_TRUE(writeFile(temp_.file("lanzhou." + std::to_string(getuid()) + ".instance"), "x"));
    EXPECT_TRUE(platform_.claimInstance("lanzhou"));
}

// The claim of a process killed outright is gone with it.
TEST_F(InstanceClaimTest, AKilledHolderReleasesTheName) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ScriptedPlatform child;
        const char claimed = child.claimInstance("lanzhou") ? 'y' : 'n';
        [[maybe_unused]] ssize_t written = write(ready[1], &claimed, 1);
        pause();
        _exit(0);
    }
    char claimed = 0;
    ASSERT_EQ(read(ready[0], &claimed, 1), 1);
    EXPECT_EQ(claimed, 'y');
    EXPECT_FALSE(platform_.claimInstance("lanzhou"));

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_TRUE(platform_.claimInstance("lanzhou"));
}

TEST_F(InstanceClaimTest, WithoutARuntimeFolderTheTemporaryFolderServes) {
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", "");
    EXPECT_TRUE(platform_.claimInstance("lanzhou"));
    EXPECT_EQ(countEntries(temp_.path(), "lanzhou."), 1);
    EXPECT_FALSE(platform_.claimInstance("lanzhou"));
}

}  // namespace
}  // namespace lanzhou::test
