#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "tests/imgconv/codec_test_support.h"

extern char** environ;

namespace lanzhou::test {
namespace {

struct CommandRun {
    int status = -1;
    std::string out, err;
};

// Runs the real imgconv command with these arguments.
CommandRun imgconv(const ScopedTempDir& dir, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(IMGCONV_COMMAND)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string out = dir.file("stdout"), err = dir.file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    CommandRun run;
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

// The command converts in a private temporary folder and must leave no pixel
// file behind.
using ImgconvCommand = CodecTest;

TEST_F(ImgconvCommand, ChoosesTheWriterAndReportsFailuresInPlainWords) {
    const std::string photo = fixture("jpeg/testorig.jpg");
    const std::string text = write("notes.txt", "not a picture");

    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* errorSays;  // part of the stderr line, or "" for silence
    } cases[] = {
        {{photo, dir_.file("a.png")}, 0, ""},
        {{photo, dir_.file("b.JPG")}, 0, ""},
        {{photo, dir_.file("c.jpeg")}, 0, ""},
        {{"--to", "png", photo, dir_.file("d.picture")}, 0, ""},
        {{"--grey", "--quality", "90", "--smoothing", "10", "--no-optimise", photo,
          dir_.file("e.jpg")},
         0,
         ""},
        {{dir_.file("missing.jpg"), dir_.file("f.png")}, 1, "does not exist"},
        {{text, dir_.file("g.png")}, 3, "no picture"},
        {{photo, dir_.file("nowhere/h.png")}, 4, "could not be written"},
        {{"--quality", "0", photo, dir_.file("i.jpg")}, 7, "out of range"},
        {{photo, dir_.file("j.gif")}, 2, "--to"},
        {{"--quality", "high", photo, dir_.file("k.jpg")}, 2, "needs a number"},
        {{"--frobnicate", photo, dir_.file("l.jpg")}, 2, "unknown option"},
        {{photo}, 2, "SOURCE and TARGET"},
        {{"--to", "gif", photo, dir_.file("m.jpg")}, 2, "png or jpeg"},
    };
    for (const auto& c : cases) {
        const CommandRun run = imgconv(dir_, c.arguments);
        const std::string call = c.arguments.front() + " ... " + c.arguments.back();
        EXPECT_EQ(run.status, c.status) << call;
        if (c.errorSays[0] == '\0')
            EXPECT_EQ(run.err, "") << call;
        else
            EXPECT_NE(run.err.find(c.errorSays), std::string::npos) << call << ": " << run.err;
    }

    EXPECT_EQ(decodePng(dir_.file("a.png")).interlace, 1);
    EXPECT_EQ(decodeJpeg(dir_.file("b.JPG")).components, 3);
    EXPECT_TRUE(decodePng(dir_.file("d.picture")).ok) << "--to wins over the name";
    EXPECT_EQ(decodeJpeg(dir_.file("e.jpg")).components, 1);
}

TEST_F(ImgconvCommand, HelpGoesToStandardOutput) {
    const CommandRun run = imgconv(dir_, {"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("usage: imgconv"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace lanzhou::test
