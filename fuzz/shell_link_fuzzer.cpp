// Any bytes as a Windows shortcut file.
#include <cstdint>

#include "platform/shell_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lanzhou::shortcutTarget(data, size);
    return 0;
}
