#include "imgconv/output_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "imgconv/codecs/jpeg_codec.h"
#include "tests/imgconv/codec_test_support.h"

namespace imgconv {
namespace {

using lanzhou::test::decodeJpeg;
using lanzhou::test::decodePng;
using lanzhou::test::fillPattern;
using lanzhou::test::listFolder;
using lanzhou::test::readFile;
using lanzhou::test::ScopedEnv;
using lanzhou::test::writeFile;
using lanzhou::test::writePng;

using Names = std::vector<std::string>;

// The writers' folder holds the target; the temporary folder stays unused.
class OutputFileTest : public lanzhou::test::CodecTest {
  protected:
    const std::string target_ = output("picture.png");
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

// Sets the umask while it lives.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : previous_(umask(mask)) {}
    ~ScopedUmask() { umask(previous_); }

  private:
    mode_t previous_;
};

TEST_F(OutputFileTest, NewFilesTakeTheUmaskAndReplacedFilesKeepTheirMode) {
    ScopedUmask mask(027);
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

// Both writers replace their target whole or not at all ---------------------

struct Writer {
    const char* name;
    int (*write)(const std::string& path, PixelImage& image);
    bool (*decodes)(const std::string& path);
};

void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.name;
}

int writeJpeg(const std::string& path, PixelImage& image) {
    JpegCodec codec;
    return codec.write(path.c_str(), image, 75, 1, 1, 0, nullptr);
}

int writeRgbPng(const std::string& path, PixelImage& image) {
    return writePng(path, image, 24);
}

const Writer kWriters[] = {
    {"jpeg", writeJpeg, [](const std::string& path) { return decodeJpeg(path).ok; }},
    {"png", writeRgbPng, [](const std::string& path) { return decodePng(path).ok; }},
};

class WriterTest : public OutputFileTest, public testing::WithParamInterface<Writer> {
  protected:
    void SetUp() override {
        OutputFileTest::SetUp();
        ASSERT_TRUE(writeFile(target_, "the user's old picture"));
    }
    void TearDown() override {
        OutputFileTest::TearDown();
        EXPECT_EQ(listFolder(out_), Names{"picture.png"}) << "no temporary file stays";
    }
    void expectUntouched() { EXPECT_EQ(readFile(target_), "the user's old picture"); }
};

TEST_P(WriterTest, SuccessReplacesTheTarget) {
    PixelImage image;
    fillPattern(image, 20, 10, 24);
    ASSERT_EQ(GetParam().write(target_, image), 1);
    EXPECT_TRUE(GetParam().decodes(target_));
}

TEST_P(WriterTest, FailedConversionLeavesTheTargetUntouched) {
    PixelImage image;
    fillPattern(image, 20, 10, 32);  // needs a 24-bit copy
    ScopedEnv noTemporaryFolder("TMPDIR", "/nonexistent-folder");
    EXPECT_EQ(GetParam().write(target_, image), 0);
    expectUntouched();
}

TEST_P(WriterTest, FullDiskLeavesTheTargetUntouched) {
    PixelImage image;  // noise compresses badly: far more than the limit
    fillPattern(image, 200, 200, 24);
    std::srand(11);
    for (std::size_t i = 0; i < image.storageSize(); ++i)
        image.pixels()[i] = static_cast<uint8_t>(std::rand());

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Past the limit a write fails with EFBIG instead of killing us.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(GetParam().write(target_, image) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reported the failure";
    expectUntouched();
}

TEST_P(WriterTest, MissingFolderFails) {
    PixelImage image;
    fillPattern(image, 20, 10, 24);
    EXPECT_EQ(GetParam().write(out_ + "/missing/picture.png", image), 0);
    expectUntouched();
}

INSTANTIATE_TEST_SUITE_P(BothWriters, WriterTest, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace imgconv
