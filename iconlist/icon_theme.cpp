#include "iconlist/icon_theme.h"

#include <utility>

namespace lanzhou {
namespace {

IconThemeLookup& installedLookup() {
    static IconThemeLookup lookup;
    return lookup;
}

}  // namespace

IconThemeLookup setIconThemeLookup(IconThemeLookup lookup) {
    return std::exchange(installedLookup(), std::move(lookup));
}

Bitmap lookUpThemeIcon(const std::string& nameOrPath, int32_t side) {
    const IconThemeLookup& lookup = installedLookup();
    if (!lookup) return Bitmap();
    return lookup(nameOrPath, side);
}

}  // namespace lanzhou
