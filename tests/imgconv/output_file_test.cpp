#include "imgconv/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/imgconv/codec_test_support.h"
#include "tests/support/test_files.h"

namespace imgconv {
namespace {

using lanzhou::test::listFolder;
using lanzhou::test::readFile;
using lanzhou::test::ScopedTempDir;
using lanzhou::test::writeFile;

using Names = std::vector<std::string>;

class OutputFileTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(mkdir(out_.c_str(), 0755), 0); }

    ScopedTempDir dir_;  // also the temporary folder, which stays unused
    const std::string out_ = dir_.file("out");
    const std::string target_ = out_ + "/picture.png";
};

mode_t modeOf(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST_F(OutputFileTest, CommitPutsTheCompleteFileInPlace) {
    OutputFile file;
    ASSERT_EQ(file.create(target_.c_str()), 1);
    ASSERT_NE(file.stream(), nullptr);
    std::fputs("new picture", file.stream());
    // Until the commit the new file waits, hidden, beside its target.
    const Names waiting = listFolder(out_);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].rfind(".picture.png.", 0), 0u) << waiting[0];
    EXPECT_EQ(listFolder(dir_.path()), Names{"out"});

    EXPECT_EQ(file.commit(), 1);
    EXPECT_EQ(file.stream(), nullptr);
    EXPECT_EQ(listFolder(out_), Names{"picture.png"});
    EXPECT_EQ(readFile(target_), "new picture");
    EXPECT_EQ(file.commit(), 0) << "nothing left to commit";
}

TEST_F(OutputFileTest, NewFilesTakeTheUmaskAndReplacedFilesKeepTheirMode) {
    const mode_t previous = umask(027);
    OutputFile file;
    ASSERT_EQ(file.create(target_.c_str()), 1);
    ASSERT_EQ(file.commit(), 1);
    EXPECT_EQ(modeOf(target_), 0640u);

    ASSERT_EQ(chmod(target_.c_str(), 0604), 0);
    ASSERT_EQ(file.create(target_.c_str()), 1);
    std::fputs("second", file.stream());
    ASSERT_EQ(file.commit(), 1);
    EXPECT_EQ(modeOf(target_), 0604u);
    EXPECT_EQ(readFile(target_), "second");
    umask(previous);
}

TEST_F(OutputFileTest, WithoutCommitTheTargetStaysAsItWas) {
    ASSERT_TRUE(writeFile(target_, "old picture"));
    {
        OutputFile file;
        ASSERT_EQ(file.create(target_.c_str()), 1);
        std::fputs("half a new one", file.stream());
    }
    EXPECT_EQ(readFile(target_), "old picture");
    EXPECT_EQ(listFolder(out_), Names{"picture.png"});

    OutputFile file;
    ASSERT_EQ(file.create(target_.c_str()), 1);
    std::fputs("half a new one", file.stream());
    EXPECT_EQ(file.discard(), 1);
    EXPECT_EQ(file.discard(), 1);
    EXPECT_EQ(readFile(target_), "old picture");
    EXPECT_EQ(listFolder(out_), Names{"picture.png"});
}

TEST_F(OutputFileTest, TargetsThatCannotBeReplacedAreRefused) {
    const std::string fifo = out_ + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(mkdir((out_ + "/folder").c_str(), 0755), 0);
    const std::string cases[] = {"", out_ + "/no/such/folder/x.png", out_ + "/folder",
                                 out_ + "/folder/", fifo};
    for (const std::string& target : cases) {
        OutputFile file;
        EXPECT_EQ(file.create(target.c_str()), 0) << target;
        EXPECT_EQ(file.stream(), nullptr);
        EXPECT_EQ(file.commit(), 0);
    }
    OutputFile file;
    EXPECT_EQ(file.create(nullptr), 0);
    EXPECT_EQ(listFolder(out_), (Names{"folder", "pipe"}));
    EXPECT_TRUE(listFolder(out_ + "/folder").empty());
}

TEST_F(OutputFileTest, ALinkStaysALinkToTheReplacedFile) {
    ASSERT_EQ(mkdir((out_ + "/real").c_str(), 0755), 0);
    const std::string real = out_ + "/real/picture.png";
    ASSERT_TRUE(writeFile(real, "old"));
    ASSERT_EQ(symlink("real/picture.png", target_.c_str()), 0);

    OutputFile file;
    ASSERT_EQ(file.create(target_.c_str()), 1);
    EXPECT_EQ(listFolder(out_ + "/real").size(), 2u) << "written beside the real file";
    std::fputs("new", file.stream());
    ASSERT_EQ(file.commit(), 1);

    struct stat status;
    ASSERT_EQ(lstat(target_.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(readFile(real), "new");
    EXPECT_EQ(listFolder(out_ + "/real"), Names{"picture.png"});
}

TEST_F(OutputFileTest, RootKeepsTheOwnerOfAReplacedFile) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_TRUE(writeFile(target_, "old"));
    ASSERT_EQ(chown(target_.c_str(), 65534, 65534), 0);
    OutputFile file;
    ASSERT_EQ(file.create(target_.c_str()), 1);
    ASSERT_EQ(file.commit(), 1);
    struct stat status;
    ASSERT_EQ(stat(target_.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
}

}  // namespace
}  // namespace imgconv
