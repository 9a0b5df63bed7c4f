#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/workflow/workflow_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;

struct Failure {
    const char* name;
    // What goes wrong, done after the photo has been dropped; `in` is the
    // folder of the dropped files.
    std::function<void(ScriptedPlatform&, const std::string& in)> arrange;
    Control format;
    Control size;
    // The name chosen in the dialog, under out/.
    const char* chosen;
    const char* message;
};

void typeInPathField(ScriptedPlatform& platform, const std::string& path) {
    platform.setText(Control::编辑框1, path);
}

const Failure kFailures[] = {
    {"IcoOriginalOfBytesNothingDecodes",
     [](ScriptedPlatform& p, const std::string&) {
         p.setPicture(Control::图片框1, {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
     },
     Control::选择框1ico, Control::单选框1原大小, "P", "保存失败 默认大小"},
    {"IcoSizedWithoutCapture",
     [](ScriptedPlatform& p, const std::string&) {
         p.destroyWindow(p.windowHandle(Control::图片框1));
     },
     Control::选择框1ico, Control::单选框564, "P", "转换成Ico失败 64*64"},
    {"IcoSizedIntoAFolderThatIsNot", [](ScriptedPlatform&, const std::string&) {},
     Control::选择框1ico, Control::单选框432, "missing/P", "转换成Ico失败 32*32"},
    {"PngOriginalOfAFileNoReaderTakes",
     [](ScriptedPlatform& p, const std::string& in) {
         ASSERT_TRUE(p.writeFile(in + "/notes.txt", {'t', 'e', 'x', 't'}));
         typeInPathField(p, in + "/notes.txt");
     },
     Control::选择框2png, Control::单选框1原大小, "P", "保存失败 默认大小"},
    {"PngSizedWithoutCapture",
     [](ScriptedPlatform& p, const std::string&) {
         p.destroyWindow(p.windowHandle(Control::图片框1));
     },
     Control::选择框2png, Control::单选框6128, "P", "转换成Png失败 128*128"},
    {"JpgOriginalOfAFileThatIsGone",
     [](ScriptedPlatform& p, const std::string&) { typeInPathField(p, "/no/such/photo.jpg"); },
     Control::选择框3jpg, Control::单选框1原大小, "P", "保存失败 默认大小"},
    {"JpgSizedIntoAFolderThatIsNot", [](ScriptedPlatform&, const std::string&) {},
     Control::选择框3jpg, Control::单选框6128, "missing/P", "转换成Jpg失败 128*128"},
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}

class SaveFailures : public WorkflowTest, public testing::WithParamInterface<Failure> {
  protected:
    void save(Control format, Control size, const std::string& chosen) {
        platform_.answerNextDialog(output(chosen));
        platform_.click(size);
        platform_.click(format);
        if (format != Control::选择框1ico) platform_.click(Control::按钮1保存);
    }
};

TEST_P(SaveFailures, SayWhatFailedAndLeaveNothingBehind) {
    const Failure& failure = GetParam();
    dropPhoto();
    failure.arrange(platform_, in_);
    save(failure.format, failure.size, failure.chosen);
    EXPECT_EQ(messages(), std::vector<std::string>{std::string("提示信息: ") + failure.message});
    EXPECT_EQ(platform_.boxes()[0].request.timeoutMs, 3000);
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(listFolder(temp_.path()), (std::vector<std::string>{"in", "out"}));
}

INSTANTIATE_TEST_SUITE_P(Table, SaveFailures, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<Failure>& info) {
                             return std::string(info.param.name);
                         });

// A failed output keeps the file it was to replace.
TEST_F(WorkflowTest, AFailedReplacementKeepsTheOldFile) {
    dropPhoto();
    ASSERT_TRUE(writeFile(output("P原大小.ico"), "old icon"));
    platform_.setPicture(Control::图片框1, {'?', '?', '?'});
    platform_.answerNextDialog(output("P"));
    platform_.pressAtNextBox(platform::BoxResult::Yes);
    platform_.click(Control::单选框1原大小);
    platform_.click(Control::选择框1ico);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1], "提示信息: 保存失败 默认大小");
    EXPECT_EQ(readFile(output("P原大小.ico")), "old icon");
    EXPECT_EQ(outputs(), std::vector<std::string>{"P原大小.ico"});
}

class UnusableTemporaryFolder : public WorkflowTest {
  protected:
    void save(Control format, Control size) {
        platform_.answerNextDialog(output("P"));
        platform_.click(format);
        platform_.click(size);
        platform_.click(Control::按钮1保存);
    }
};

// Nothing can be created in /proc, not even by root.
TEST_F(UnusableTemporaryFolder, EveryConversionFailsWithItsMessage) {
    dropPhoto();
    {
        ScopedEnv proc("TMPDIR", "/proc");
        save(Control::选择框2png, Control::单选框432);
        save(Control::选择框3jpg, Control::单选框1原大小);
        save(Control::选择框2png, Control::单选框1原大小);
        save(Control::选择框3jpg, Control::单选框564);
    }
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "提示信息: 转换成Png失败 32*32", "提示信息: 保存失败 默认大小",
                              "提示信息: 保存失败 默认大小", "提示信息: 转换成Jpg失败 64*64"}));
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(temporaryFiles(), 0);
}

// A full temporary folder, as a child process whose files may not grow
// beyond 4 KB sees every folder: the 12 KB capture does not fit.
TEST_F(UnusableTemporaryFolder, AFullOneFailsTheSizedCasesAndLeavesNoPartialFile) {
    dropPhoto();
    int result[2];
    ASSERT_EQ(pipe(result), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(result[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        save(Control::选择框2png, Control::单选框564);
        save(Control::选择框3jpg, Control::单选框6128);
        platform_.answerNextDialog(output("P"));
        platform_.click(Control::单选框6128);
        platform_.click(Control::选择框1ico);
        std::string report;
        for (const std::string& message : messages()) report += message + "\n";
        for (const std::string& name : listFolder(temp_.path())) report += name + "\n";
        for (const std::string& name : outputs()) report += "out/" + name + "\n";
        const ssize_t written = write(result[1], report.data(), report.size());
        _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    close(result[1]);
    std::string report;
    char chunk[512];
    ssize_t got;
    while ((got = read(result[0], chunk, sizeof chunk)) > 0)
        report.append(chunk, static_cast<std::size_t>(got));
    close(result[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(report,
              "提示信息: 转换成Png失败 64*64\n"
              "提示信息: 转换成Jpg失败 128*128\n"
              "提示信息: 转换成Ico失败 128*128\n"
              "in\nout\n");
}

}  // namespace
}  // namespace lanzhou::test
