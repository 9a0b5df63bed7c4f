#include "iconlist/icon_directory.h"

#include <cstdlib>

#include "iconlist/icon_image.h"
#include "workflow/little_endian.h"

namespace lanzhou {
namespace {

// ICONDIR / GRPICONDIR: reserved, type, count; then the entries: width,
// height (0 meaning 256), colour count, reserved, planes, bits per pixel,
// image size, then the image's offset (file) or resource id (group).
constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr uint32_t kIconType = 1;

int32_t side(unsigned char stored) {
    return stored == 0 ? 256 : stored;
}

}  // namespace

bool readIconDirectory(const unsigned char* data, std::size_t size, IconDirectoryKind kind,
                       std::vector<IconEntry>& entries) {
    entries.clear();
    if (size < kDirectoryHeader || readWord(data) != 0 || readWord(data + 2) != kIconType)
        return false;
    const std::size_t count = readWord(data + 4);
    const std::size_t entrySize =
        kind == IconDirectoryKind::File ? kFileEntrySize : kGroupEntrySize;
    if (count > (size - kDirectoryHeader) / entrySize) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = data + kDirectoryHeader + i * entrySize;
        const uint32_t location =
            kind == IconDirectoryKind::File ? readDword(entry + 12) : readWord(entry + 12);
        entries.push_back(
            {side(entry[0]), side(entry[1]), readWord(entry + 6), readDword(entry + 8), location});
    }
    return true;
}

int bestIconEntry(const std::vector<IconEntry>& entries, int32_t wanted) {
    if (entries.empty()) return -1;
    const auto distance = [wanted](const IconEntry& e) {
        return std::abs(e.width - wanted) + std::abs(e.height - wanted);
    };
    const auto better = [&distance](const IconEntry& e, const IconEntry& than) {
        if (distance(e) != distance(than)) return distance(e) < distance(than);
        if (e.width + e.height != than.width + than.height)
            return e.width + e.height > than.width + than.height;
        return e.bitCount > than.bitCount;
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (better(entries[i], entries[best])) best = i;
    return static_cast<int>(best);
}

Bitmap iconFromIcoFile(const unsigned char* data, std::size_t size, int32_t wanted) {
    std::vector<IconEntry> entries;
    if (!readIconDirectory(data, size, IconDirectoryKind::File, entries)) return Bitmap();
    const int best = bestIconEntry(entries, wanted);
    if (best < 0) return Bitmap();
    const IconEntry& entry = entries[best];
    if (entry.location > size || entry.bytes > size - entry.location) return Bitmap();
    return decodeIconImage(data + entry.location, entry.bytes);
}

}  // namespace lanzhou
