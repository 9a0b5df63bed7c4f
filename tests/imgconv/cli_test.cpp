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

TEST(ImgconvCommand, ChoosesTheWriterAndReportsFailuresInPlainWords) {
    ScopedTempDir dir;
    const std::string photo = fixture("jpeg/testorig.jpg");
    const std::string text = dir.file("notes.txt");
    ASSERT_TRUE(writeFile(text, "not a picture"));

    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* errorSays;  // part of the stderr line, or "" for silence
    } cases[] = {
        {{photo, dir.file("a.png")}, 0, ""},
        {{photo, dir.file("b.JPG")}, 0, ""},
        {{photo, dir.file("c.jpeg")}, 0, ""},
        {{"--to", "png", photo, dir.file("d.picture")}, 0, ""},
        {{"--grey", "--quality", "90", "--smoothing", "10", "--no-optimise", photo,
          dir.file("e.jpg")},
         0,
         ""},
        {{dir.file("missing.jpg"), dir.file("f.png")}, 1, "does not exist"},
        {{text, dir.file("g.png")}, 3, "no picture"},
        {{photo, dir.file("nowhere/h.png")}, 4, "could not be written"},
        {{"--quality", "0", photo, dir.file("i.jpg")}, 7, "out of range"},
        {{photo, dir.file("j.gif")}, 2, "--to"},
        {{"--quality", "high", photo, dir.file("k.jpg")}, 2, "needs a number"},
        {{"--frobnicate", photo, dir.file("l.jpg")}, 2, "unknown option"},
        {{photo}, 2, "SOURCE and TARGET"},
        {{"--to", "gif", photo, dir.file("m.jpg")}, 2, "png or jpeg"},
    };
    for (const auto& c : cases) {
        const CommandRun run = imgconv(dir, c.arguments);
        const std::string call = c.arguments.front() + " ... " + c.arguments.back();
        EXPECT_EQ(run.status, c.status) << call;
        if (c.errorSays[0] == '\0')
            EXPECT_EQ(run.err, "") << call;
        else
            EXPECT_NE(run.err.find(c.errorSays), std::string::npos) << call << ": " << run.err;
    }

    EXPECT_EQ(decodePng(dir.file("a.png")).interlace, 1);
    EXPECT_EQ(decodeJpeg(dir.file("b.JPG")).components, 3);
    EXPECT_TRUE(decodePng(dir.file("d.picture")).ok) << "--to wins over the name";
    EXPECT_EQ(decodeJpeg(dir.file("e.jpg")).components, 1);
}

TEST(ImgconvCommand, HelpGoesToStandardOutput) {
    ScopedTempDir dir;
    const CommandRun run = imgconv(dir, {"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("usage: imgconv"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace lanzhou::test
