#include "tests/support/shortcut_builder.h"

namespace lanzhou::test::lnk {

void putWord(LinkBytes& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void putDword(LinkBytes& out, uint32_t value) {
    putWord(out, value & 0xFFFF);
    putWord(out, value >> 16);
}

void setDword(LinkBytes& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

void append(LinkBytes& out, const LinkBytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

LinkBytes ansi(const std::string& text) {
    LinkBytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

LinkBytes utf16(const std::u16string& text) {
    LinkBytes out;
    for (char16_t c : text) putWord(out, c);
    putWord(out, 0);
    return out;
}

LinkBytes header(uint32_t flags) {
    LinkBytes out;
    putDword(out, 0x4C);
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    out.insert(out.end(), clsid, clsid + 16);
    putDword(out, flags);
    out.resize(0x3C, 0);
    putDword(out, 1);  // SW_SHOWNORMAL
    out.resize(0x4C, 0);
    return out;
}

LinkBytes idList(const std::vector<LinkBytes>& items) {
    LinkBytes list;
    for (const LinkBytes& item : items) {
        putWord(list, static_cast<uint32_t>(item.size() + 2));
        append(list, item);
    }
    putWord(list, 0);
    LinkBytes out;
    putWord(out, static_cast<uint32_t>(list.size()));
    append(out, list);
    return out;
}

namespace {

// A VolumeID of a fixed drive with a label.
LinkBytes volumeId() {
    LinkBytes out;
    putDword(out, 0x11 + 5);
    putDword(out, 3);           // DRIVE_FIXED
    putDword(out, 0x12345678);  // serial number
    putDword(out, 0x10);        // label offset
    append(out, ansi("DATA"));
    return out;
}

}  // namespace

LinkBytes localLinkInfo(const std::string& base, const std::string& suffix,
                        const std::u16string* unicodeBase, const std::u16string* unicodeSuffix) {
    const bool unicode = unicodeBase != nullptr;
    const uint32_t headerSize = unicode ? 0x24 : 0x1C;
    LinkBytes body;
    const uint32_t volumeOffset = headerSize;
    append(body, volumeId());
    const uint32_t baseOffset = headerSize + static_cast<uint32_t>(body.size());
    append(body, ansi(base));
    const uint32_t suffixOffset = headerSize + static_cast<uint32_t>(body.size());
    append(body, ansi(suffix));
    uint32_t unicodeBaseOffset = 0, unicodeSuffixOffset = 0;
    if (unicode) {
        unicodeBaseOffset = headerSize + static_cast<uint32_t>(body.size());
        append(body, utf16(*unicodeBase));
        if (unicodeSuffix != nullptr) {
            unicodeSuffixOffset = headerSize + static_cast<uint32_t>(body.size());
            append(body, utf16(*unicodeSuffix));
        }
    }
    LinkBytes out;
    putDword(out, headerSize + static_cast<uint32_t>(body.size()));
    putDword(out, headerSize);
    putDword(out, 0x1);  // VolumeIDAndLocalBasePath
    putDword(out, volumeOffset);
    putDword(out, baseOffset);
    putDword(out, 0);  // no network link
    putDword(out, suffixOffset);
    if (unicode) {
        putDword(out, unicodeBaseOffset);
        putDword(out, unicodeSuffixOffset);
    }
    append(out, body);
    return out;
}

LinkBytes networkLinkInfo(const std::string& netName, const std::string& suffix) {
    LinkBytes link;
    putDword(link, 0x14 + static_cast<uint32_t>(netName.size() + 1));
    putDword(link, 0);     // no device name, no provider
    putDword(link, 0x14);  // NetNameOffset
    putDword(link, 0);
    putDword(link, 0);
    append(link, ansi(netName));
    LinkBytes out;
    putDword(out, static_cast<uint32_t>(0x1C + link.size() + suffix.size() + 1));
    putDword(out, 0x1C);
    putDword(out, 0x2);
    putDword(out, 0);
    putDword(out, 0);
    putDword(out, 0x1C);
    putDword(out, static_cast<uint32_t>(0x1C + link.size()));
    append(out, link);
    append(out, ansi(suffix));
    return out;
}

LinkBytes arguments(const std::u16string& text) {
    LinkBytes out;
    putWord(out, static_cast<uint32_t>(text.size()));
    for (char16_t c : text) putWord(out, c);
    return out;
}

LinkBytes typicalShortcut(const std::string& base, const std::string& suffix) {
    LinkBytes file = header(kHasIdList | kHasLinkInfo | kHasArguments | kIsUnicode);
    append(file,
           idList({LinkBytes(18, 0x1F), ansi("/C:\\"), LinkBytes(40, 0x31), LinkBytes(44, 0x32)}));
    append(file, localLinkInfo(base, suffix));
    append(file, arguments(u"/quiet"));
    append(file, LinkBytes(4, 0));
    return file;
}

}  // namespace lanzhou::test::lnk
