#include "imgconv/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imgconv/byte_block.h"

namespace imgconv {

namespace {

// mkostemp replaces the six X.
constexpr char kTemporarySuffix[] = ".XXXXXX";
// How much of the target's name the temporary name repeats: enough to tell
// whose it is, short enough to stay within the longest file name.
constexpr std::size_t kNameBytesKept = 200;

// The mode open() gives a new file: 0666 less the umask. Reading the umask
// means setting it; the library runs on one thread, so nothing sees the gap.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int OutputFile::create(const char* target) {
    discard();
    if (target == nullptr || target[0] == '\0' || resolveTarget(target) == 0) return 0;

    struct stat existing;
    const bool replacing = stat(target_.text(), &existing) == 0;
    // A device or a pipe cannot be swapped for a file, and a file we may not
    // write must not be replaced behind its owner's back.
    if (replacing && (!S_ISREG(existing.st_mode) || access(target_.text(), W_OK) != 0)) {
        target_.clear();
        return 0;
    }
    if (openTemporary(replacing ? existing.st_mode & 0777 : newFileMode()) == 0) {
        target_.clear();
        return 0;
    }
    // Root replacing another user's file hands the new one back to that user.
    if (replacing && fchown(fileno(stream_), existing.st_uid, existing.st_gid) != 0) {
        // Only root may give a file away; anyone else keeps the new one as theirs.
    }
    return 1;
}

// A link stays a link: the file it names is the one replaced, as writing
// through the link would have done.
int OutputFile::resolveTarget(const char* target) {
    struct stat status;
    if (lstat(target, &status) == 0 && S_ISLNK(status.st_mode)) {
        char* resolved = realpath(target, nullptr);
        if (resolved != nullptr) {
            const int assigned = target_.assign(resolved);
            std::free(resolved);
            return assigned;
        }
    }
    return target_.assign(target);
}

// Creates "<folder>/.<name>.XXXXXX" exclusively, with the given mode.
int OutputFile::openTemporary(mode_t mode) {
    const char* path = target_.text();
    const char* slash = std::strrchr(path, '/');
    const std::size_t folderBytes =
        slash != nullptr ? static_cast<std::size_t>(slash - path) + 1 : 0;
    const char* name = path + folderBytes;
    std::size_t nameBytes = std::strlen(name);
    if (nameBytes == 0) return 0;
    if (nameBytes > kNameBytesKept) nameBytes = kNameBytesKept;

    ByteBlock buffer;
    const std::size_t bytes = folderBytes + 1 + nameBytes + sizeof(kTemporarySuffix);
    if (bytes > INT32_MAX || buffer.allocate(static_cast<int32_t>(bytes)) == 0) return 0;
    char* temporary = reinterpret_cast<char*>(buffer.data());
    std::memcpy(temporary, path, folderBytes);
    temporary[folderBytes] = '.';
    std::memcpy(temporary + folderBytes + 1, name, nameBytes);
    std::memcpy(temporary + folderBytes + 1 + nameBytes, kTemporarySuffix,
                sizeof(kTemporarySuffix));

    const int descriptor = mkostemp(temporary, O_CLOEXEC);
    if (descriptor < 0) return 0;
    if (temporary_.assign(temporary) == 0 || fchmod(descriptor, mode) != 0 ||
        (stream_ = fdopen(descriptor, "wb")) == nullptr) {
        close(descriptor);
        unlink(temporary);
        temporary_.clear();
        return 0;
    }
    return 1;
}

int OutputFile::commit() {
    if (stream_ == nullptr) return 0;
    std::FILE* stream = stream_;
    stream_ = nullptr;
    const bool written =
        std::fflush(stream) == 0 && std::ferror(stream) == 0 && fsync(fileno(stream)) == 0;
    const bool closed = std::fclose(stream) == 0;
    if (!written || !closed || std::rename(temporary_.text(), target_.text()) != 0) {
        discard();
        return 0;
    }
    temporary_.clear();
    target_.clear();
    return 1;
}

int OutputFile::discard() {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    if (!temporary_.empty()) unlink(temporary_.text());
    temporary_.clear();
    target_.clear();
    return 1;
}

}  // namespace imgconv
