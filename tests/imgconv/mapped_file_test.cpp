#include "imgconv/mapped_file.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

#include "imgconv/file_util.h"
#include "tests/support/test_files.h"

namespace imgconv {
namespace {

using lanzhou::test::countEntries;
using lanzhou::test::readFile;
using lanzhou::test::ScopedEnv;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::writeFile;

std::string textOf(const PathString& s) {
    return s.text() != nullptr ? s.text() : "";
}

TEST(MappedFile, MapsAFileOfTheExactSizeAndDeletesItOnRelease) {
    ScopedTempDir dir;
    MappedFile mapping;
    ASSERT_EQ(mapping.create(5000, kTempFilePrefix), 1);
    EXPECT_EQ(mapping.size(), 5000u);
    EXPECT_EQ(textOf(mapping.name()), dir.file("RZQCLASS0.tmp"));

    struct stat status;
    ASSERT_EQ(stat(dir.file("RZQCLASS0.tmp").c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 5000);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "other users must not read the pixels";
    EXPECT_GE(status.st_blocks * 512, 5000) << "the file's blocks are reserved";

    std::memset(mapping.data(), 0xAB, 5000);
    EXPECT_EQ(mapping.flush(mapping.data() + 100, 10), 1);
    EXPECT_EQ(mapping.flush(nullptr, 0), 1);
    EXPECT_EQ(readFile(dir.file("RZQCLASS0.tmp")), std::string(5000, '\xAB'));

    EXPECT_EQ(mapping.release(1), 1);
    EXPECT_EQ(mapping.data(), nullptr);
    EXPECT_EQ(mapping.size(), 0u);
    EXPECT_EQ(countEntries(dir.path(), "RZQCLASS"), 0);
    EXPECT_EQ(mapping.release(1), 1) << "a second release is harmless";
}

TEST(MappedFile, FreedNamesAreReused) {
    ScopedTempDir dir;
    MappedFile first, second, third;
    ASSERT_EQ(first.create(10, kTempFilePrefix), 1);
    ASSERT_EQ(second.create(10, kTempFilePrefix), 1);
    EXPECT_EQ(textOf(second.name()), dir.file("RZQCLASS1.tmp"));
    first.release(1);
    ASSERT_EQ(third.create(10, kTempFilePrefix), 1);
    EXPECT_EQ(textOf(third.name()), dir.file("RZQCLASS0.tmp"));
    second.release(1);
    third.release(1);
    EXPECT_EQ(countEntries(dir.path(), "RZQCLASS"), 0);
}

TEST(MappedFile, RefusesEmptyRequests) {
    ScopedTempDir dir;
    MappedFile mapping;
    EXPECT_EQ(mapping.create(0, kTempFilePrefix), 0);
    EXPECT_EQ(mapping.create(10, ""), 0);
    EXPECT_EQ(mapping.create(10, nullptr), 0);
    EXPECT_EQ(mapping.data(), nullptr);
    EXPECT_EQ(countEntries(dir.path(), ""), 2) << "only . and .. are there";
}

TEST(MappedFile, DestructionWithoutDeletionKeepsTheFile) {
    ScopedTempDir dir;
    {
        MappedFile mapping;
        ASSERT_EQ(mapping.create(10, kTempFilePrefix), 1);
        mapping.data()[0] = 'z';
    }
    EXPECT_EQ(readFile(dir.file("RZQCLASS0.tmp")), std::string("z") + std::string(9, '\0'));
}

TEST(MappedFile, NeverFollowsOrTruncatesAPlantedLink) {
    ScopedTempDir dir;
    const std::string victim = dir.file("victim");
    ASSERT_TRUE(writeFile(victim, "precious"));
    ASSERT_EQ(symlink(victim.c_str(), dir.file("RZQCLASS0.tmp").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("nowhere").c_str(), dir.file("RZQCLASS1.tmp").c_str()), 0);

    MappedFile mapping;
    ASSERT_EQ(mapping.create(4096, kTempFilePrefix), 1);
    EXPECT_EQ(textOf(mapping.name()), dir.file("RZQCLASS2.tmp"));
    std::memset(mapping.data(), 'X', 4096);
    mapping.release(1);

    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(fileUtil.fileExists(dir.file("nowhere").c_str()), 0);
    struct stat status;
    ASSERT_EQ(lstat(dir.file("RZQCLASS0.tmp").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

TEST(MappedFile, FailsWhereNothingCanBeCreated) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("plain"), "x"));
    // Tests run as root, which ignores permission bits: /proc takes no files.
    for (const std::string& folder : {std::string("/proc"), dir.file("plain"), dir.file("none")}) {
        ScopedEnv env("TMPDIR", folder.c_str());
        MappedFile mapping;
        EXPECT_EQ(mapping.create(100, kTempFilePrefix), 0) << folder;
        EXPECT_EQ(mapping.data(), nullptr);
        EXPECT_EQ(mapping.name().text(), nullptr);
    }
    EXPECT_EQ(countEntries(dir.path(), "RZQCLASS"), 0);
}

TEST(MappedFile, FullTemporaryFolderOnTmpfsFailsCleanly) {
    ScopedTempDir dir;
    const std::string small = dir.file("small");
    ASSERT_EQ(mkdir(small.c_str(), 0700), 0);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here; the file-size limit test covers this";
    {
        ScopedEnv env("TMPDIR", small.c_str());
        MappedFile fits, tooBig;
        EXPECT_EQ(fits.create(16 * 1024, kTempFilePrefix), 1);
        EXPECT_EQ(tooBig.create(1024 * 1024, kTempFilePrefix), 0);
        EXPECT_EQ(countEntries(small, "RZQCLASS"), 1) << "the half-made file is deleted";
        fits.release(1);
        EXPECT_EQ(countEntries(small, "RZQCLASS"), 0);
    }
    umount(small.c_str());
}

// Run in a child: with the file-size limit lowered, reserving the blocks
// fails; the exit code says whether create failed and left no file.
[[noreturn]] void createUnderFileSizeLimit(const std::string& folder) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    MappedFile mapping;
    const int created = mapping.create(1024 * 1024, kTempFilePrefix);
    const int left = countEntries(folder, "RZQCLASS");
    _exit(created == 0 && left == 0 ? 0 : 1);
}

TEST(MappedFile, FileSizeLimitFailsCleanly) {
    ScopedTempDir dir;
    EXPECT_EXIT(createUnderFileSizeLimit(dir.path()), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace imgconv
