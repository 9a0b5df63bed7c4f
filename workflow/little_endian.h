#pragma once

#include <cstdint>

namespace lanzhou {

// Little-endian fields of Windows file formats (BMP, ICO, PE resources).
inline uint32_t readWord(const unsigned char* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8;
}

inline uint32_t readDword(const unsigned char* at) {
    return readWord(at) | readWord(at + 2) << 16;
}

inline void putWord(unsigned char* at, uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

inline void putDword(unsigned char* at, uint32_t value) {
    putWord(at, value & 0xFFFF);
    putWord(at + 2, value >> 16);
}

}  // namespace lanzhou
