#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace lanzhou::platform {

namespace {

// The user's runtime folder where the session has one, else the temporary folder.
std::string claimFolder() {
    for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* folder = std::getenv(variable);
        struct stat info;
        if (folder != nullptr && folder[0] != '\0' && ::stat(folder, &info) == 0 &&
            S_ISDIR(info.st_mode))
            return folder;
    }
    return "/tmp";
}

}  // namespace

// A lock held on a file rather than the file itself marks the running copy: the
// kernel drops the lock when the process ends, so a crashed run leaves a file
// behind but never a claim. The descriptor is closed on exec, so programs we
// start do not inherit the claim.
bool Platform::claimInstance(const std::string& name) {
    const std::string path =
        claimFolder() + "/" + name + "." + std::to_string(::getuid()) + ".instance";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // A folder we cannot use must not lock the user out of the program.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // kept open until the process ends
    ::close(fd);
    return false;
}

}  // namespace lanzhou::platform
