#include "update/updater_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace update {
namespace {

using Arguments = std::vector<std::string>;

TEST(UpdaterCommandLine, FollowsTheTableWithSingleSpaces) {
    const UpdaterValues values{"D", "T", "F", "N"};
    EXPECT_EQ(updaterCommandLine("/App", values),
              "/App/升级文件/update 青松白鹤 D T 运行 澜舟.exe F N");
    EXPECT_EQ(updaterArguments("/App", values), (Arguments{"/App/升级文件/update", "青松白鹤", "D",
                                                           "T", "运行", "澜舟.exe", "F", "N"}));
    EXPECT_EQ(updaterFolder("/App"), "/App/升级文件");
    EXPECT_EQ(updaterPath("/App"), "/App/升级文件/update");
}

TEST(UpdaterCommandLine, ValuesGoInAsTheyAreAndComeBackWhole) {
    struct Case {
        const char* what;
        std::string runFolder;
        UpdaterValues values;
        std::string line;
        Arguments arguments;
    } cases[] = {
        {"blanks and line breaks",
         "/opt/lanzhou",
         {"https://x.example/a?b=1&c=2", "澜舟 3.3  正式版", "澜舟", "修正：\r\n1. 保存 PNG\r\n"},
         "/opt/lanzhou/升级文件/update 青松白鹤 https://x.example/a?b=1&c=2 澜舟 3.3  正式版 运行 "
         "澜舟.exe 澜舟 修正：\r\n1. 保存 PNG\r\n",
         {"/opt/lanzhou/升级文件/update", "青松白鹤", "https://x.example/a?b=1&c=2", "澜舟", "3.3",
          "", "正式版", "运行", "澜舟.exe", "澜舟", "修正：\r\n1.", "保存", "PNG\r\n"}},
        {"empty values leave two spaces side by side",
         "/App",
         {"", "", "", ""},
         "/App/升级文件/update 青松白鹤   运行 澜舟.exe  ",
         {"/App/升级文件/update", "青松白鹤", "", "", "运行", "澜舟.exe", "", ""}},
        {"a run folder with a blank stays one program path",
         "/home/me/my apps",
         {"D", "T", "F", "N"},
         "/home/me/my apps/升级文件/update 青松白鹤 D T 运行 澜舟.exe F N",
         {"/home/me/my apps/升级文件/update", "青松白鹤", "D", "T", "运行", "澜舟.exe", "F", "N"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(updaterCommandLine(c.runFolder, c.values), c.line) << c.what;
        const Arguments arguments = updaterArguments(c.runFolder, c.values);
        EXPECT_EQ(arguments, c.arguments) << c.what;

        UpdaterValues back;
        ASSERT_TRUE(parseUpdaterArguments(arguments, back)) << c.what;
        EXPECT_EQ(back.downloadAddress, c.values.downloadAddress) << c.what;
        EXPECT_EQ(back.fileTitle, c.values.fileTitle) << c.what;
        EXPECT_EQ(back.fileName, c.values.fileName) << c.what;
        EXPECT_EQ(back.releaseNotes, c.values.releaseNotes) << c.what;
    }
}

TEST(ParseUpdaterArguments, RefusesWhatThisProgramDidNotBuild) {
    const Arguments refused[] = {
        {},
        {"update"},
        {"update", "青松白鹤"},
        {"update", "松青白鹤", "D", "T", "运行", "澜舟.exe", "F", "N"},
        {"update", "青松白鹤", "D", "T", "F", "N"},
        {"update", "青松白鹤", "D", "T", "运行", "澜舟.exe"},
        {"update", "青松白鹤", "运行", "澜舟.exe", "F", "N"},
    };
    for (const Arguments& arguments : refused) {
        UpdaterValues values;
        EXPECT_FALSE(parseUpdaterArguments(arguments, values)) << arguments.size();
    }
    UpdaterValues values;
    ASSERT_TRUE(
        parseUpdaterArguments({"update", "青松白鹤", "D", "T", "运行", "澜舟.exe", "F"}, values));
    EXPECT_EQ(values.fileName, "F");
    EXPECT_EQ(values.releaseNotes, "");
}

}  // namespace
}  // namespace update
