#pragma once

#include <string>

#include "platform/platform.h"

namespace lanzhou::workflow {

inline constexpr const char* kNoticeTitle = "提示信息";

// A message of the save flow: an OK button, no icon, no owner window, so
// that the window stays usable; it closes itself after 3,000 ms.
void showSaveMessage(platform::Platform& platform, const std::string& text,
                     const std::string& title = kNoticeTitle);

// Asks whether the existing file `fullName` may be replaced; true for Yes.
bool confirmReplace(platform::Platform& platform, const std::string& fullName);

}  // namespace lanzhou::workflow
