#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {
namespace {

using platform::Bytes;

class FilesTest : public ::testing::Test {
  protected:
    ScopedTempDir temp_;
    ScriptedPlatform platform_;
};

TEST_F(FilesTest, WholeFilesAreWrittenReadAndReplaced) {
    const std::string path = temp_.file("图片.bin");
    Bytes bytes(200000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(platform_.writeFile(path, bytes));
    EXPECT_EQ(platform_.readFile(path), bytes);

    ASSERT_TRUE(platform_.writeFile(path, Bytes{}));
    EXPECT_TRUE(platform_.fileExists(path));
    EXPECT_TRUE(platform_.readFile(path).empty());
}

TEST_F(FilesTest, FailuresAreReportedNotHidden) {
    EXPECT_TRUE(platform_.readFile(temp_.file("missing")).empty());
    EXPECT_FALSE(platform_.writeFile(temp_.file("no/such/folder/file"), Bytes{1, 2}));
    EXPECT_FALSE(platform_.deleteFile(temp_.file("missing")));
    EXPECT_FALSE(platform_.renameFile(temp_.file("missing"), temp_.file("other")));
    EXPECT_TRUE(platform_.readFile(temp_.path()).empty());  // a folder is no file
}

TEST_F(FilesTest, FoldersRenamesDeletionAndTheExecutableMode) {
    const std::string folder = temp_.file("升级文件");
    EXPECT_FALSE(platform_.isDirectory(folder));
    ASSERT_TRUE(platform_.createDirectory(folder));
    EXPECT_TRUE(platform_.createDirectory(folder));  // there already
    EXPECT_TRUE(platform_.isDirectory(folder));

    const std::string part = folder + "/update.part";
    const std::string final = folder + "/update";
    ASSERT_TRUE(platform_.writeFile(final, Bytes{1}));
    ASSERT_TRUE(platform_.writeFile(part, Bytes{2, 3}));
    ASSERT_TRUE(platform_.renameFile(part, final));
    EXPECT_EQ(platform_.readFile(final), (Bytes{2, 3}));
    EXPECT_FALSE(platform_.fileExists(part));

    ASSERT_TRUE(platform_.setExecutable(final));
    struct stat info;
    ASSERT_EQ(stat(final.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);

    ASSERT_TRUE(platform_.deleteFile(final));
    EXPECT_FALSE(platform_.fileExists(final));
}

TEST_F(FilesTest, ADanglingLinkExistsButIsNoFolder) {
    const std::string link = temp_.file("link");
    ASSERT_EQ(symlink(temp_.file("nowhere").c_str(), link.c_str()), 0);
    EXPECT_TRUE(platform_.fileExists(link));
    EXPECT_FALSE(platform_.isDirectory(link));
}

}  // namespace
}  // namespace lanzhou::test
