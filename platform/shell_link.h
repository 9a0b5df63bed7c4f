#pragma once

#include <cstddef>
#include <string>

namespace lanzhou {

// The target path of the Windows shortcut (.lnk) file at `path`, taken from
// the shortcut's link information: the local base path followed by the
// common path suffix, or for a network target the share's name, a backslash
// and the suffix. Arguments are not part of it. ANSI paths come back as the
// bytes stored; Unicode paths, preferred where the shortcut has them, as
// UTF-8. Empty text when the file is no readable shortcut.
std::string readShortcutTarget(const std::string& path);

// The same for the bytes of a shortcut file.
std::string shortcutTarget(const unsigned char* data, std::size_t size);

}  // namespace lanzhou
