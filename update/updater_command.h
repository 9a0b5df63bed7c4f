#pragma once

#include <string>
#include <vector>

namespace update {

// What the updater needs from the update document, in UTF-8.
struct UpdaterValues {
    std::string downloadAddress;  // 下载地址
    std::string fileTitle;        // 文件标题
    std::string fileName;         // 文件名
    std::string releaseNotes;     // 升级说明
};

// The first argument the updater receives, so that it runs only when started
// by this program.
constexpr const char* kVerificationWord = "青松白鹤";

// runFolder + "/升级文件" and runFolder + "/升级文件/update"; `runFolder` is the
// folder of the program, without a trailing "/".
std::string updaterFolder(const std::string& runFolder);
std::string updaterPath(const std::string& runFolder);

// The updater path, then the verification word, 下载地址, 文件标题, "运行 澜舟.exe",
// 文件名 and 升级说明, each after one space; values go in as they are.
std::string updaterCommandLine(const std::string& runFolder, const UpdaterValues& values);

// The argument list the updater is started with: the updater path whole,
// then what follows it on the command line split at every single space (two
// spaces side by side give an empty argument).
std::vector<std::string> updaterArguments(const std::string& runFolder,
                                          const UpdaterValues& values);

// The updater's side: the values back from its argument list (program path
// first). 文件标题 runs up to the arguments "运行" "澜舟.exe", 升级说明 from the
// argument after 文件名 to the end, both joined again at single spaces.
// False when the verification word or that marker is missing.
bool parseUpdaterArguments(const std::vector<std::string>& arguments, UpdaterValues& values);

}  // namespace update
