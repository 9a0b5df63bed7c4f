// Any bytes as a Windows program or library, and as an .ico file, whose
// first icon is drawn at 32 x 32.
#include <cstdint>

#include "iconlist/icon_directory.h"
#include "iconlist/pe_icons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const lanzhou::Bitmap program = lanzhou::iconFromPeFile(data, size, 0, 32);
    if (!program.empty() && program.pixels.size() != size_t(program.width) * program.height)
        __builtin_trap();
    lanzhou::iconFromIcoFile(data, size, 32);
    return 0;
}
