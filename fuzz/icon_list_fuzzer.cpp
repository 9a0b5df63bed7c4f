// Any bytes as icon list bytes: rendered, and given a real icon to hold.
#include <cstdint>

#include "fuzz/fuzz_folder.h"
#include "iconlist/icon_list.h"
#include "workflow/ico_file.h"

namespace {

// A small real .ico file, made once, for addFileIcon to take its icon from.
const std::string& iconFile() {
    static const std::string path = [] {
        lanzhou::Bitmap square = lanzhou::makeBitmap(16, 16, 0xFF3366CC);
        const lanzhou::PictureBytes ico = lanzhou::bitmapToIcoFile(square);
        const std::string name = lanzhou::fuzz::privateFolder() + "/icon.ico";
        lanzhou::fuzz::writeWhole(name, ico.data(), ico.size());
        return name;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lanzhou::PictureBytes list(data, data + size);
    lanzhou::renderIconListImage(list, 0);
    const lanzhou::PictureBytes before = list;
    const int32_t index = lanzhou::addFileIcon(list, iconFile());
    if (index < 0 && list != before) __builtin_trap();  // refused bytes stay as they were
    if (index >= 0 && lanzhou::renderIconListImage(list, index).size() < 54) __builtin_trap();
    return 0;
}
