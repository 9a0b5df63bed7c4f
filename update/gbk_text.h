#pragma once

#include <string>

namespace update {

// Code page 936 (GBK) is the encoding the update document is read in.

// UTF-8 text, taken up to its first zero byte, in code page 936. A character
// the code page cannot hold, and each byte that is not valid UTF-8, becomes
// "?".
std::string utf8ToGbk(const std::string& text);

// The way back, for values that are shown or passed on. A byte sequence that
// is not valid code page 936 becomes "?".
std::string gbkToUtf8(const std::string& text);

}  // namespace update
