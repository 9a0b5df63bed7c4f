#include "update/updater/install_update.h"

#include <errno.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace updater {
namespace {

constexpr mode_t kNewProgramMode = 0755;

std::string systemError(const char* what, int error) {
    return what + std::string(std::strerror(error));
}

// The mode the new file gets: that of the file it replaces.
mode_t modeFor(const std::string& target) {
    struct stat st;
    if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    return kNewProgramMode;
}

// Downloads into the open temporary file and closes it; empty when it holds
// the complete new program with its mode.
std::string fillTemporary(int fd, const std::string& url, const std::string& target,
                          const DownloadProgress& progress) {
    std::string error;
    if (downloadToFile(url, fd, progress, error) &&
        (fchmod(fd, modeFor(target)) != 0 || fsync(fd) != 0))
        error = systemError("无法写入下载的文件：", errno);
    if (close(fd) != 0 && error.empty()) error = systemError("无法写入下载的文件：", errno);
    return error;
}

// The old program stays as a second name of the same file, target + ".bak"
// (an earlier backup goes); then one rename puts the new file in its place.
std::string putInPlace(const std::string& temporary, const std::string& target) {
    const std::string backup = target + ".bak";
    struct stat st;
    if (lstat(target.c_str(), &st) == 0) {
        if (unlink(backup.c_str()) != 0 && errno != ENOENT)
            return systemError("无法保留旧版本：", errno);
        if (link(target.c_str(), backup.c_str()) != 0)
            return systemError("无法保留旧版本：", errno);
    }
    if (rename(temporary.c_str(), target.c_str()) != 0)
        return systemError("无法换上新版本：", errno);
    return "";
}

}  // namespace

bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c == '/' || c < 0x20 || c == 0x7F) return false;
    return true;
}

std::string runFolderOfExecutable(const std::string& executablePath) {
    std::string folder = executablePath.substr(0, executablePath.rfind('/'));
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
}

InstallResult installUpdate(const std::string& runFolder, const update::UpdaterValues& values,
                            const DownloadProgress& progress) {
    if (!isPlainFileName(values.fileName))
        return {false, "升级信息中的文件名不可用：" + values.fileName};
    if (!isAllowedDownloadAddress(values.downloadAddress))
        return {false, "下载地址不安全，只接受 https 地址：" + values.downloadAddress};

    const std::string target = runFolder + "/" + values.fileName;
    std::string temporary = runFolder + "/." + values.fileName + ".download-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) return {false, systemError("无法在程序文件夹中写入：", errno)};
    std::string error = fillTemporary(fd, values.downloadAddress, target, progress);
    if (error.empty()) error = putInPlace(temporary, target);
    if (!error.empty()) unlink(temporary.c_str());
    return {error.empty(), error};
}

void waitForStarterToEnd(pid_t starter, const std::string& runFolder, int limitMs) {
    std::string executable(4096, '\0');
    const std::string link = "/proc/" + std::to_string(starter) + "/exe";
    const ssize_t length = readlink(link.c_str(), &executable[0], executable.size());
    if (length <= 0) return;
    executable.resize(static_cast<size_t>(length));
    const std::string folder = runFolder == "/" ? "/" : runFolder + "/";
    if (executable.compare(0, folder.size(), folder) != 0) return;

    // Once the starter has ended, the updater is handed to another parent.
    constexpr int kPollMs = 50;
    for (int waited = 0; waited < limitMs && getppid() == starter; waited += kPollMs)
        usleep(kPollMs * 1000);
}

InstallResult startProgram(const std::string& program, const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return {false, systemError("新版本已装好，但无法启动：", error)};
    return {true, ""};
}

}  // namespace updater
