#include "imgconv/byte_block.h"

#include <new>

namespace imgconv {

int ByteBlock::allocate(int32_t size) {
    release();
    if (size <= 0) return 0;
    data_ = new (std::nothrow) unsigned char[size]();
    if (data_ == nullptr) return 0;
    size_ = size;
    return 1;
}

int ByteBlock::release() {
    delete[] data_;
    data_ = nullptr;
    size_ = 0;
    return 1;
}

}  // namespace imgconv
