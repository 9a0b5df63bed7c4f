#include "update/updater_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "update/updater_command.h"

namespace update {
namespace {

constexpr mode_t kFolderMode = 0755;
constexpr mode_t kUpdaterMode = 0755;

bool writeAll(int fd, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool isRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool writeThroughTemporary(const std::string& target, const unsigned char* bytes, size_t size) {
    std::string temporary = target + ".part-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes, size) && fchmod(fd, kUpdaterMode) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

}  // namespace

bool ensureUpdater(const std::string& runFolder, const unsigned char* bytes, size_t size) {
    const std::string folder = updaterFolder(runFolder);
    if (mkdir(folder.c_str(), kFolderMode) != 0 && errno != EEXIST) return false;
    const std::string path = updaterPath(runFolder);
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) return isRegularFile(path);
    return writeThroughTemporary(path, bytes, size);
}

bool isInstalledCopy(const std::string& runFolder) {
    const std::string entry = runFolder + "/../share/applications/lanzhou.desktop";
    struct stat status;
    return stat(entry.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace update
