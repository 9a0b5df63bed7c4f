#pragma once

#include <cstddef>

#include "imgconv/path_string.h"

namespace imgconv {

// Read/write memory backed by a new temporary file of its own, so that large
// rasters and work buffers cost disk space in the temporary folder rather
// than heap memory. The file's blocks are reserved when it is created, so a
// full disk makes `create` fail instead of killing the process later.
class MappedFile {
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    // Unmaps without deleting: only `release(1)` removes the backing file.
    ~MappedFile() { release(0); }

    // A new file named prefix + n + ".tmp" in the temporary folder, `size`
    // bytes long and mapped for reading and writing. 1 on success; on failure
    // the object is empty and no file is left.
    int create(std::size_t size, const char* prefix);
    // Unmaps the view; with deleteFile 1 also deletes the backing file.
    int release(int deleteFile);
    // Starts writing the range back to the file without waiting for the
    // disk; bytes 0 means the whole view.
    int flush(void* address, std::size_t bytes);

    unsigned char* data() const { return view_; }
    std::size_t size() const { return size_; }
    const PathString& name() const { return name_; }

  private:
    int mapFile(int descriptor);

    unsigned char* view_ = nullptr;
    std::size_t size_ = 0;
    // The length of the whole reservation (a guard page included in
    // sanitizer builds).
    std::size_t reserved_ = 0;
    PathString name_;
};

}  // namespace imgconv
