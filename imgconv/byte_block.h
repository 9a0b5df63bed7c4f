#pragma once

#include <cstdint>

namespace imgconv {

// An owned heap block of scratch memory: row tables, palettes, histograms,
// file headers. Allocation never throws; a new block is zero-filled.
class ByteBlock {
  public:
    ByteBlock() = default;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;
    ~ByteBlock() { release(); }

    // Releases first; on failure the block is empty and 0 is returned.
    int allocate(int32_t size);
    int release();

    unsigned char* data() const { return data_; }
    int32_t size() const { return size_; }

  private:
    unsigned char* data_ = nullptr;
    int32_t size_ = 0;
};

}  // namespace imgconv
