#include "update/updater_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/test_files.h"
#include "update/updater_command.h"
#include "update/updater_payload.h"

namespace update {
namespace {

using lanzhou::test::readFile;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::writeFile;

const std::string kBytes =
    "\x7f"
    "ELF pretend updater";

bool ensure(const std::string& runFolder, const std::string& bytes = kBytes) {
    return ensureUpdater(runFolder, reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size());
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Everything in the updater's folder: a temporary name left behind shows here.
int entriesInUpdaterFolder(const std::string& runFolder) {
    std::error_code ignored;
    int count = 0;
    for (auto it = std::filesystem::directory_iterator(updaterFolder(runFolder), ignored);
         it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}

TEST(EnsureUpdater, WritesTheUpdaterWhenMissing) {
    ScopedTempDir dir;
    ASSERT_TRUE(ensure(dir.path()));
    EXPECT_EQ(readFile(updaterPath(dir.path())), kBytes);
    EXPECT_EQ(modeOf(updaterPath(dir.path())), 0755u);
    EXPECT_EQ(entriesInUpdaterFolder(dir.path()), 1);

    // The folder already there, the file gone: written anew.
    ASSERT_EQ(unlink(updaterPath(dir.path()).c_str()), 0);
    ASSERT_TRUE(ensure(dir.path(), "second"));
    EXPECT_EQ(readFile(updaterPath(dir.path())), "second");
}

TEST(EnsureUpdater, LeavesAnExistingFileAlone) {
    ScopedTempDir dir;
    ASSERT_EQ(mkdir(updaterFolder(dir.path()).c_str(), 0700), 0);
    ASSERT_TRUE(writeFile(updaterPath(dir.path()), "older updater"));
    ASSERT_EQ(chmod(updaterPath(dir.path()).c_str(), 0700), 0);

    EXPECT_TRUE(ensure(dir.path()));
    EXPECT_EQ(readFile(updaterPath(dir.path())), "older updater");
    EXPECT_EQ(modeOf(updaterPath(dir.path())), 0700u);
}

TEST(EnsureUpdater, NothingHalfWrittenWhereItCannotWrite) {
    ScopedTempDir dir;
    // Root ignores permission bits, so an unwritable place is a path through
    // a regular file.
    ASSERT_TRUE(writeFile(dir.file("plain"), "x"));
    EXPECT_FALSE(ensure(dir.file("plain")));
    EXPECT_EQ(readFile(dir.file("plain")), "x");

    ASSERT_EQ(mkdir(dir.file("app").c_str(), 0755), 0);
    ASSERT_TRUE(writeFile(updaterFolder(dir.file("app")), "not a folder"));
    EXPECT_FALSE(ensure(dir.file("app")));
    EXPECT_EQ(readFile(updaterFolder(dir.file("app"))), "not a folder");

    ASSERT_EQ(mkdir(dir.file("app2").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(updaterFolder(dir.file("app2")).c_str(), 0755), 0);
    ASSERT_EQ(mkdir(updaterPath(dir.file("app2")).c_str(), 0755), 0);
    EXPECT_FALSE(ensure(dir.file("app2")));
}

TEST(EnsureUpdater, AWriteThatFailsMidwayLeavesNoFile) {
    ScopedTempDir dir;
    const std::string big(256 * 1024, 'u');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Files may grow to 64 KB only: the write of 256 KB fails part way.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ensure(dir.path(), big) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(entriesInUpdaterFolder(dir.path()), 0);

    // Later, with room, the check writes it whole.
    ASSERT_TRUE(ensure(dir.path(), big));
    EXPECT_EQ(readFile(updaterPath(dir.path())), big);
}

TEST(UpdaterPayload, IsTheBuiltUpdater) {
    const std::string built = readFile(LANZHOU_UPDATER_PATH);
    ASSERT_GT(built.size(), 4u);
    EXPECT_EQ(built.compare(0, 4,
                            "\x7f"
                            "ELF"),
              0);
    ASSERT_EQ(updaterPayloadSize(), built.size());
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(updaterPayload()),
                            updaterPayloadSize()) == built);
}

}  // namespace
}  // namespace update
