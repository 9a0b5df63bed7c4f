#include "iconlist/file_icon.h"

#include "iconlist/desktop_entry.h"
#include "iconlist/file_bytes.h"
#include "iconlist/icon_directory.h"
#include "iconlist/icon_theme.h"
#include "iconlist/pe_icons.h"

namespace lanzhou {
namespace {

constexpr char kDesktopSuffix[] = ".desktop";
// Desktop entries are a few kilobytes; a larger file is no launcher.
constexpr std::size_t kMostDesktopEntryBytes = 1 << 20;

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool startsLikeIcoFile(const unsigned char* data, std::size_t size) {
    return size >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0;
}

}  // namespace

Bitmap extractFileIcon(const std::string& path, int32_t index, int32_t side) {
    FileBytes file;
    if (!file.open(path)) return Bitmap();
    const unsigned char* data = file.data();
    const std::size_t size = file.size();
    if (size >= 2 && data[0] == 'M' && data[1] == 'Z')
        return iconFromPeFile(data, size, index, side);
    if (index != 0) return Bitmap();
    if (startsLikeIcoFile(data, size)) return iconFromIcoFile(data, size, side);
    if (endsWith(path, kDesktopSuffix) && size <= kMostDesktopEntryBytes) {
        const std::string icon = desktopEntryIcon(reinterpret_cast<const char*>(data), size);
        if (!icon.empty()) return lookUpThemeIcon(icon, side);
    }
    return Bitmap();
}

}  // namespace lanzhou
