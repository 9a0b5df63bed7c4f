// Any bytes as a desktop entry file.
#include <cstdint>

#include "iconlist/desktop_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lanzhou::desktopEntryIcon(reinterpret_cast<const char*>(data), size);
    return 0;
}
