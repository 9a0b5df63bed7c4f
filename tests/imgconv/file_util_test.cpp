#include "imgconv/file_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/test_files.h"

namespace imgconv {
namespace {

using lanzhou::test::ScopedEnv;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::writeFile;

std::string textOf(const PathString& s) {
    return s.text() != nullptr ? s.text() : "";
}

TEST(FileUtil, ExistenceOfFilesFoldersLinksAndPatterns) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("photo.jpg"), "x"));
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
    ASSERT_EQ(symlink("/nonexistent/target", dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(writeFile(dir.file("[x].txt"), "x"));

    struct Case {
        std::string name;
        int exists;
    } cases[] = {
        {dir.file("photo.jpg"), 1},
        {dir.file("sub"), 1},
        {dir.file("dangling"), 1},
        {dir.file("missing"), 0},
        {dir.file("*.jpg"), 1},
        {dir.file("ph?to.jpg"), 1},
        {dir.file("*.png"), 0},
        {dir.file("[x].txt"), 1},
        {dir.file("[x]*"), 1},
        {dir.file("x*"), 0},
        {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(fileUtil.fileExists(c.name.c_str()), c.exists) << c.name;
    EXPECT_EQ(fileUtil.fileExists(nullptr), 0);
}

TEST(FileUtil, IsDirectoryWithAndWithoutTrailingSlash) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("file"), "x"));
    EXPECT_EQ(fileUtil.isDirectory(dir.path().c_str()), 1);
    EXPECT_EQ(fileUtil.isDirectory((dir.path() + "/").c_str()), 1);
    EXPECT_EQ(fileUtil.isDirectory(dir.file("file").c_str()), 0);
    EXPECT_EQ(fileUtil.isDirectory(dir.file("missing").c_str()), 0);
    EXPECT_EQ(fileUtil.isDirectory("/"), 1);
    EXPECT_EQ(fileUtil.isDirectory(""), 0);
}

TEST(FileUtil, DeleteIfExists) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("f"), "x"));
    EXPECT_EQ(fileUtil.deleteIfExists(dir.file("f").c_str()), 1);
    EXPECT_EQ(fileUtil.fileExists(dir.file("f").c_str()), 0);
    EXPECT_EQ(fileUtil.deleteIfExists(dir.file("f").c_str()), 1) << "nothing there is fine";
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
    EXPECT_EQ(fileUtil.deleteIfExists(dir.file("sub").c_str()), 0) << "a folder is not deleted";
}

TEST(FileUtil, FileLengthRewindsToTheStart) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("f"), std::string(1000, 'a')));
    std::FILE* stream = std::fopen(dir.file("f").c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    std::fseek(stream, 400, SEEK_SET);
    EXPECT_EQ(fileUtil.fileLength(stream), 1000);
    EXPECT_EQ(std::ftell(stream), 0);
    std::fclose(stream);
    EXPECT_EQ(fileUtil.fileLength(nullptr), 0);
}

TEST(FileUtil, TemporaryFolderComesFromTmpdir) {
    PathString folder;
    {
        ScopedEnv env("TMPDIR", "/var/tmp");
        ASSERT_EQ(fileUtil.temporaryFolder(folder), 1);
        EXPECT_EQ(textOf(folder), "/var/tmp");
    }
    for (const char* unset : {"", static_cast<const char*>(nullptr)}) {
        ScopedEnv env("TMPDIR", unset);
        ASSERT_EQ(fileUtil.temporaryFolder(folder), 1);
        EXPECT_EQ(textOf(folder), "/tmp");
    }
}

TEST(FileUtil, TempNamesTakeTheFirstFreeNumber) {
    ScopedTempDir dir;
    PathString name;
    ASSERT_EQ(fileUtil.makeTempFileName(name, "RZQCLASS", nullptr), 1);
    EXPECT_EQ(textOf(name), dir.file("RZQCLASS0.tmp"));

    ASSERT_TRUE(writeFile(dir.file("RZQCLASS0.tmp"), ""));
    ASSERT_TRUE(writeFile(dir.file("RZQCLASS1.tmp"), ""));
    ASSERT_EQ(fileUtil.makeTempFileName(name, "RZQCLASS", nullptr), 1);
    EXPECT_EQ(textOf(name), dir.file("RZQCLASS2.tmp"));

    // An explicit folder, with or without its trailing slash.
    ASSERT_EQ(fileUtil.makeTempFileName(name, "P", (dir.path() + "/").c_str()), 1);
    EXPECT_EQ(textOf(name), dir.file("P0.tmp"));
}

TEST(FileUtil, TempNamesFailWithoutAUsableFolder) {
    ScopedTempDir dir;
    ASSERT_TRUE(writeFile(dir.file("plain"), "x"));
    for (const std::string& folder : {dir.file("missing"), dir.file("plain")}) {
        PathString name("unchanged");
        ScopedEnv env("TMPDIR", folder.c_str());
        EXPECT_EQ(fileUtil.makeTempFileName(name, "RZQCLASS", nullptr), 0) << folder;
        EXPECT_EQ(textOf(name), "unchanged");
    }
}

TEST(FileUtil, TrailingSlash) {
    PathString path("/a/b");
    fileUtil.ensureTrailingSlash(path);
    EXPECT_EQ(textOf(path), "/a/b/");
    fileUtil.ensureTrailingSlash(path);
    EXPECT_EQ(textOf(path), "/a/b/");
    EXPECT_EQ(fileUtil.stripTrailingSlash(path), 1);
    EXPECT_EQ(textOf(path), "/a/b");
    EXPECT_EQ(fileUtil.stripTrailingSlash(path), 1);
    EXPECT_EQ(textOf(path), "/a/b");
    PathString empty;
    EXPECT_EQ(fileUtil.stripTrailingSlash(empty), 0);
}

}  // namespace
}  // namespace imgconv
