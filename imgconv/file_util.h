#pragma once

#include <cstdint>
#include <cstdio>

#include "imgconv/path_string.h"

namespace imgconv {

// Stateless file-system operations of the library. Results: 1 for true or
// success, 0 for false or failure.
class FileUtil {
  public:
    // 1 when at least one file-system entry matches the name. A name with the
    // wildcards '*' or '?' matches as a shell pattern; a plain name matches
    // whatever is there, a dangling symbolic link included.
    int fileExists(const char* name) const;
    // 1 when the path, with one trailing '/' removed, names a folder.
    int isDirectory(const char* path) const;
    // Deletes the file when something exists under the name; 1 when nothing
    // is left, 0 when the deletion failed.
    int deleteIfExists(const char* name) const;
    // The stream's length found by seeking to its end; the position is then
    // set to the start of the stream. 0 without a stream or when seeking fails.
    int64_t fileLength(std::FILE* stream) const;

    // The first free name folder + prefix + n + ".tmp" for n = 0, 1, 2, ...
    // An empty folder means the user's temporary folder.
    int makeTempFileName(PathString& out, const char* prefix, const char* folder) const;
    // $TMPDIR when set and not empty, /tmp otherwise.
    int temporaryFolder(PathString& out) const;

    int ensureTrailingSlash(PathString& path) const;
    int stripTrailingSlash(PathString& path) const;
};

// The one instance the whole library uses.
extern const FileUtil fileUtil;

// The prefix of every temporary file the library makes.
extern const char* const kTempFilePrefix;

}  // namespace imgconv
