#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/platform.h"

namespace lanzhou::platform {

Bytes Platform::readFile(const std::string& path) {
    Bytes bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return bytes;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) bytes.clear();
    return bytes;
}

bool Platform::writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed;
}

bool Platform::deleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool Platform::fileExists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

bool Platform::isDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Platform::createDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && isDirectory(path));
}

bool Platform::renameFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Platform::setExecutable(const std::string& path) {
    return ::chmod(path.c_str(), 0755) == 0;
}

}  // namespace lanzhou::platform
