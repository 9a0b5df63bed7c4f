#include "workflow/intermediate_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "imgconv/file_util.h"

namespace lanzhou::workflow {

namespace {

// mkostemps replaces the six X and keeps the suffix.
constexpr char kNameTemplate[] = "XXXXXX.tmp";
constexpr int kSuffixLength = 4;

bool writeAll(int descriptor, const PictureBytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

IntermediateFile::~IntermediateFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
}

bool IntermediateFile::write(const PictureBytes& bytes) {
    if (!path_.empty()) return false;
    imgconv::PathString folder;
    if (imgconv::fileUtil.temporaryFolder(folder) == 0 ||
        imgconv::fileUtil.ensureTrailingSlash(folder) == 0)
        return false;
    // The same prefix as the conversion library's own temporary files.
    const std::string name = std::string(folder.text()) + imgconv::kTempFilePrefix + kNameTemplate;
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int descriptor = ::mkostemps(buffer.data(), kSuffixLength, O_CLOEXEC);
    if (descriptor < 0) return false;
    path_.assign(buffer.data());
    const bool written = writeAll(descriptor, bytes);
    const bool closed = ::close(descriptor) == 0;
    return written && closed;
}

}  // namespace lanzhou::workflow
