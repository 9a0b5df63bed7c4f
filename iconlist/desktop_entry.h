#pragma once

#include <cstddef>
#include <string>

namespace lanzhou {

// The value of the Icon key in the [Desktop Entry] group of a desktop entry
// file's text, its escapes (\s \n \t \r \\) resolved; empty text when the
// group or the key is missing. Localised keys (Icon[zh_CN]) are not it.
std::string desktopEntryIcon(const char* text, std::size_t size);

}  // namespace lanzhou
