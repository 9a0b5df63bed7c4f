#pragma once

#include <cstddef>
#include <string>

namespace lanzhou {

// A regular file mapped read-only, so that finding a program's icon reads
// only the pages it looks at. Anything but a non-empty regular file (a
// folder, a FIFO, a device) is refused at once, without blocking.
class FileBytes {
  public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    bool open(const std::string& path);

    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace lanzhou
