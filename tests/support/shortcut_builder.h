#pragma once

// Windows shortcut (.lnk) files built byte by byte, as the Windows shell
// lays them out: the header, the ID list, the link information, string data.

#include <cstdint>
#include <string>
#include <vector>

namespace lanzhou::test::lnk {

using LinkBytes = std::vector<unsigned char>;

// Link flags of the shell link header.
constexpr uint32_t kHasIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kIsUnicode = 0x80;

void putWord(LinkBytes& out, uint32_t value);
void putDword(LinkBytes& out, uint32_t value);
void setDword(LinkBytes& out, std::size_t at, uint32_t value);
void append(LinkBytes& out, const LinkBytes& more);
// The text and its NUL; UTF-16LE and its NUL.
LinkBytes ansi(const std::string& text);
LinkBytes utf16(const std::u16string& text);

// ShellLinkHeader: 0x4C bytes, the shell link CLSID, the flags, the rest
// zero but for a normal show command.
LinkBytes header(uint32_t flags);
// LinkTargetIDList: the size, the items each led by its own size, a zero terminal.
LinkBytes idList(const std::vector<LinkBytes>& items);
// LinkInfo with VolumeIDAndLocalBasePath: header, VolumeID of a fixed drive,
// base path, suffix, and with Unicode strings the 0x24-byte header and
// their copies.
LinkBytes localLinkInfo(const std::string& base, const std::string& suffix,
                        const std::u16string* unicodeBase = nullptr,
                        const std::u16string* unicodeSuffix = nullptr);
// LinkInfo with CommonNetworkRelativeLinkAndPathSuffix only.
LinkBytes networkLinkInfo(const std::string& netName, const std::string& suffix);
// StringData with the arguments, as Unicode counted characters.
LinkBytes arguments(const std::u16string& text);

// A shortcut to `base` + `suffix` as the Windows shell writes one: an ID
// list (root, drive, folder, file items), the link information, arguments
// "/quiet", the extra data's terminal.
LinkBytes typicalShortcut(const std::string& base = "C:\\test\\",
                          const std::string& suffix = "a.txt");

}  // namespace lanzhou::test::lnk
