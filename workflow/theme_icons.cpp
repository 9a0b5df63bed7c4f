#include "workflow/theme_icons.h"

#include "workflow/rgba_bitmap.h"

namespace lanzhou::workflow {

IconThemeLookup platformIconTheme(platform::Platform& platform) {
    return [&platform](const std::string& nameOrPath, int32_t side) {
        return bitmapFromRgba(platform.themedIcon(nameOrPath, side));
    };
}

}  // namespace lanzhou::workflow
