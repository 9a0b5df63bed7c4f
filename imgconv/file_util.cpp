#include "imgconv/file_util.h"

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace imgconv {

const FileUtil fileUtil;
const char* const kTempFilePrefix = "RZQCLASS";

namespace {

// The highest number tried for a temporary name.
constexpr int32_t kLastTempNumber = 2047483647;

bool hasWildcard(const char* name) {
    return std::strpbrk(name, "*?") != nullptr;
}

// Only '*' and '?' are wildcards; every other character glob() would treat
// specially is escaped so that it stands for itself.
char* globPattern(const char* name) {
    const std::size_t length = std::strlen(name);
    char* pattern = new (std::nothrow) char[2 * length + 1]();
    if (pattern == nullptr) return nullptr;
    char* out = pattern;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '[' || *p == ']' || *p == '\\') *out++ = '\\';
        *out++ = *p;
    }
    return pattern;
}

// Finds the first entry matching the name; its status goes to `status`.
// 1 when there is one.
int findFirst(const char* name, struct stat* status) {
    if (name == nullptr || name[0] == '\0') return 0;
    if (!hasWildcard(name)) return lstat(name, status) == 0 ? 1 : 0;

    char* pattern = globPattern(name);
    if (pattern == nullptr) return 0;
    glob_t matches{};
    int found = 0;
    if (glob(pattern, GLOB_NOSORT, nullptr, &matches) == 0 && matches.gl_pathc > 0)
        found = lstat(matches.gl_pathv[0], status) == 0 ? 1 : 0;
    globfree(&matches);
    delete[] pattern;
    return found;
}

bool endsWithSlash(const PathString& path) {
    return !path.empty() && path.text()[path.size() - 2] == '/';
}

}  // namespace

int FileUtil::fileExists(const char* name) const {
    struct stat status;
    return findFirst(name, &status);
}

int FileUtil::isDirectory(const char* path) const {
    PathString copy(path);
    // The root keeps its only slash.
    if (copy.length() > 1) stripTrailingSlash(copy);
    struct stat status;
    if (findFirst(copy.text(), &status) == 0) return 0;
    // A link to a folder counts as the folder.
    if (S_ISLNK(status.st_mode) && stat(copy.text(), &status) != 0) return 0;
    return S_ISDIR(status.st_mode) ? 1 : 0;
}

int FileUtil::deleteIfExists(const char* name) const {
    if (fileExists(name) == 0) return 1;
    return unlink(name) == 0 ? 1 : 0;
}

int64_t FileUtil::fileLength(std::FILE* stream) const {
    if (stream == nullptr) return 0;
    if (fseeko(stream, 0, SEEK_END) != 0) return 0;
    const off_t length = ftello(stream);
    fseeko(stream, 0, SEEK_SET);
    return length < 0 ? 0 : static_cast<int64_t>(length);
}

int FileUtil::temporaryFolder(PathString& out) const {
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    return out.assign(folder);
}

int FileUtil::makeTempFileName(PathString& out, const char* prefix, const char* folder) const {
    PathString working(folder);
    if (working.empty() && temporaryFolder(working) == 0) return 0;
    if (isDirectory(working.text()) == 0) return 0;
    ensureTrailingSlash(working);

    for (int32_t n = 0; n <= kLastTempNumber; ++n) {
        PathString candidate(working);
        if (prefix != nullptr && prefix[0] != '\0' && candidate.append(prefix) == 0) return 0;
        if (candidate.appendNumber(n) == 0 || candidate.append(".tmp") == 0) return 0;
        if (fileExists(candidate.text()) == 0) return out.assign(candidate);
    }
    return 0;
}

int FileUtil::ensureTrailingSlash(PathString& path) const {
    if (!endsWithSlash(path)) path.append("/");
    return 1;
}

int FileUtil::stripTrailingSlash(PathString& path) const {
    if (path.empty()) return 0;
    if (!endsWithSlash(path)) return 1;
    PathString shorter;
    if (path.length() > 1) {
        if (path.left(shorter, path.length() - 1) == 0) return 0;
        return path.assign(shorter);
    }
    return path.clear();
}

}  // namespace imgconv
