#include "iconlist/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lanzhou {

FileBytes::~FileBytes() {
    if (data_ != nullptr) munmap(data_, size_);
}

bool FileBytes::open(const std::string& path) {
    if (data_ != nullptr) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        void* mapping =
            mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapping != MAP_FAILED) {
            data_ = static_cast<unsigned char*>(mapping);
            size_ = static_cast<std::size_t>(info.st_size);
        }
    }
    close(fd);
    return data_ != nullptr;
}

}  // namespace lanzhou
