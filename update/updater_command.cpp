#include "update/updater_command.h"

namespace update {
namespace {

constexpr const char* kTitleEndRun = "运行";
constexpr const char* kTitleEndProgram = "澜舟.exe";

std::string argumentsAfterProgram(const UpdaterValues& v) {
    return std::string(kVerificationWord) + " " + v.downloadAddress + " " + v.fileTitle + " " +
           kTitleEndRun + " " + kTitleEndProgram + " " + v.fileName + " " + v.releaseNotes;
}

std::string joinAtSpaces(const std::vector<std::string>& parts, size_t begin, size_t end) {
    std::string out;
    for (size_t i = begin; i < end; ++i) {
        if (i > begin) out += ' ';
        out += parts[i];
    }
    return out;
}

}  // namespace

std::string updaterFolder(const std::string& runFolder) {
    return runFolder + "/升级文件";
}

std::string updaterPath(const std::string& runFolder) {
    return updaterFolder(runFolder) + "/update";
}

std::string updaterCommandLine(const std::string& runFolder, const UpdaterValues& values) {
    return updaterPath(runFolder) + " " + argumentsAfterProgram(values);
}

std::vector<std::string> updaterArguments(const std::string& runFolder,
                                          const UpdaterValues& values) {
    std::vector<std::string> arguments{updaterPath(runFolder)};
    const std::string rest = argumentsAfterProgram(values);
    size_t start = 0;
    for (;;) {
        const size_t space = rest.find(' ', start);
        arguments.push_back(rest.substr(start, space - start));
        if (space == std::string::npos) break;
        start = space + 1;
    }
    return arguments;
}

bool parseUpdaterArguments(const std::vector<std::string>& arguments, UpdaterValues& values) {
    constexpr size_t kWord = 1, kAddress = 2, kTitle = 3;
    if (arguments.size() <= kAddress || arguments[kWord] != kVerificationWord) return false;
    size_t marker = kTitle;
    while (marker + 2 < arguments.size() &&
           !(arguments[marker] == kTitleEndRun && arguments[marker + 1] == kTitleEndProgram))
        ++marker;
    if (marker + 2 >= arguments.size()) return false;
    values.downloadAddress = arguments[kAddress];
    values.fileTitle = joinAtSpaces(arguments, kTitle, marker);
    values.fileName = arguments[marker + 2];
    values.releaseNotes = joinAtSpaces(arguments, marker + 3, arguments.size());
    return true;
}

}  // namespace update
