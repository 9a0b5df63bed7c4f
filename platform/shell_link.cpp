#include "platform/shell_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lanzhou {
namespace {

// ShellLinkHeader: HeaderSize 0x4C, LinkCLSID, LinkFlags, then attributes,
// times, size, icon index, show command and hot key we do not need.
constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::size_t kClsidOffset = 4;
constexpr std::size_t kLinkFlagsOffset = 20;
constexpr unsigned char kShellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kForceNoLinkInfo = 0x100;

// LinkInfo: its size, its header size (0x1C, or 0x24 and more with the
// Unicode offsets), flags, then offsets from the start of the LinkInfo.
constexpr uint32_t kLinkInfoMinHeader = 0x1C;
constexpr uint32_t kLinkInfoUnicodeHeader = 0x24;
constexpr std::size_t kLinkInfoFlags = 8;
constexpr std::size_t kLocalBasePathOffset = 16;
constexpr std::size_t kNetworkLinkOffset = 20;
constexpr std::size_t kCommonPathSuffixOffset = 24;
constexpr std::size_t kLocalBasePathOffsetUnicode = 28;
constexpr std::size_t kCommonPathSuffixOffsetUnicode = 32;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;

// CommonNetworkRelativeLink: its size, flags, NetNameOffset, ..., and from
// a NetNameOffset above 0x14 on, NetNameOffsetUnicode at 0x14.
constexpr uint32_t kNetworkLinkMinSize = 0x14;
constexpr std::size_t kNetNameOffset = 8;
constexpr std::size_t kNetNameOffsetUnicode = 0x14;

// Shortcuts are a few kilobytes; the link information sits near the start.
constexpr std::size_t kMostBytesRead = 1 << 20;

// A bounded view of bytes; every read is checked against its end.
struct Bytes {
    const unsigned char* data;
    std::size_t size;

    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size && length <= size - offset;
    }
    uint32_t word(std::size_t offset) const { return data[offset] | data[offset + 1] << 8; }
    uint32_t dword(std::size_t offset) const {
        return word(offset) | static_cast<uint32_t>(word(offset + 2)) << 16;
    }
    Bytes sub(std::size_t offset, std::size_t length) const { return {data + offset, length}; }
};

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A NUL-terminated ANSI string at `offset`, from `first` on inside the
// block; false when it starts outside or runs past the block's end.
bool ansiString(const Bytes& block, std::size_t first, uint32_t offset, std::string& out) {
    if (offset < first || offset >= block.size) return false;
    const void* end = std::memchr(block.data + offset, 0, block.size - offset);
    if (end == nullptr) return false;
    out.assign(reinterpret_cast<const char*>(block.data + offset),
               static_cast<const unsigned char*>(end) - (block.data + offset));
    return true;
}

// A NUL-terminated UTF-16LE string, converted to UTF-8; an unpaired
// surrogate becomes U+FFFD.
bool unicodeString(const Bytes& block, std::size_t first, uint32_t offset, std::string& out) {
    if (offset < first) return false;
    out.clear();
    for (std::size_t at = offset; block.has(at, 2); at += 2) {
        uint32_t code = block.word(at);
        if (code == 0) return true;
        if (code >= 0xD800 && code < 0xDC00 && block.has(at + 2, 2) &&
            block.word(at + 2) >= 0xDC00 && block.word(at + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (block.word(at + 2) - 0xDC00);
            at += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(out, code);
    }
    return false;
}

// The ANSI string, or the Unicode one where the header holds its offset
// and that offset is not 0.
bool pathString(const Bytes& block, std::size_t first, std::size_t ansiField,
                std::size_t unicodeField, bool hasUnicode, std::string& out) {
    if (hasUnicode && block.dword(unicodeField) != 0)
        return unicodeString(block, first, block.dword(unicodeField), out);
    return ansiString(block, first, block.dword(ansiField), out);
}

// \\server\share from a CommonNetworkRelativeLink.
bool networkName(const Bytes& info, std::size_t first, uint32_t offset, std::string& out) {
    if (offset < first || !info.has(offset, 4)) return false;
    const uint32_t size = info.dword(offset);
    if (size < kNetworkLinkMinSize || !info.has(offset, size)) return false;
    const Bytes link = info.sub(offset, size);
    const uint32_t netNameOffset = link.dword(kNetNameOffset);
    const bool hasUnicode =
        netNameOffset > kNetworkLinkMinSize && link.has(kNetNameOffsetUnicode, 4);
    return pathString(link, kNetworkLinkMinSize, kNetNameOffset, kNetNameOffsetUnicode, hasUnicode,
                      out);
}

std::string targetFromLinkInfo(const Bytes& info) {
    const uint32_t headerSize = info.dword(4);
    if (headerSize < kLinkInfoMinHeader || headerSize > info.size) return std::string();
    const bool hasUnicode = headerSize >= kLinkInfoUnicodeHeader;
    const uint32_t flags = info.dword(kLinkInfoFlags);

    std::string suffix;
    if (!pathString(info, headerSize, kCommonPathSuffixOffset, kCommonPathSuffixOffsetUnicode,
                    hasUnicode, suffix))
        return std::string();
    std::string target;
    if (flags & kVolumeIdAndLocalBasePath) {
        if (!pathString(info, headerSize, kLocalBasePathOffset, kLocalBasePathOffsetUnicode,
                        hasUnicode, target))
            return std::string();
        return target + suffix;
    }
    if (flags & kCommonNetworkRelativeLinkAndPathSuffix) {
        if (!networkName(info, headerSize, info.dword(kNetworkLinkOffset), target))
            return std::string();
        return suffix.empty() ? target : target + '\\' + suffix;
    }
    return std::string();
}

// The LinkTargetIDList: its size, then items each led by their size, ended
// by a zero size. Returns the offset right behind it, or 0 when it is broken.
std::size_t skipIdList(const Bytes& file, std::size_t offset) {
    if (!file.has(offset, 2)) return 0;
    const std::size_t listSize = file.word(offset);
    const std::size_t begin = offset + 2;
    if (!file.has(begin, listSize)) return 0;
    const std::size_t end = begin + listSize;
    for (std::size_t at = begin; at + 2 <= end;) {
        const std::size_t itemSize = file.word(at);
        if (itemSize == 0) return end;
        if (itemSize < 2 || itemSize > end - at) return 0;
        at += itemSize;
    }
    return 0;
}

}  // namespace

std::string shortcutTarget(const unsigned char* data, std::size_t size) {
    const Bytes file{data, size};
    if (!file.has(0, kHeaderSize) || file.dword(0) != kHeaderSize ||
        std::memcmp(data + kClsidOffset, kShellLinkClsid, sizeof kShellLinkClsid) != 0)
        return std::string();
    const uint32_t flags = file.dword(kLinkFlagsOffset);
    if (!(flags & kHasLinkInfo) || (flags & kForceNoLinkInfo)) return std::string();

    std::size_t offset = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        offset = skipIdList(file, offset);
        if (offset == 0) return std::string();
    }
    if (!file.has(offset, 4)) return std::string();
    const uint32_t infoSize = file.dword(offset);
    if (infoSize < kLinkInfoMinHeader || !file.has(offset, infoSize)) return std::string();
    return targetFromLinkInfo(file.sub(offset, infoSize));
}

std::string readShortcutTarget(const std::string& path) {
    // Non-blocking, so that a FIFO answers at once instead of waiting for
    // a writer; only regular files are read.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::string();
    std::vector<unsigned char> bytes;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(info.st_size), kMostBytesRead));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(done);
    }
    close(fd);
    return shortcutTarget(bytes.data(), bytes.size());
}

}  // namespace lanzhou
