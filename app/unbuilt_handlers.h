#pragma once

// Handlers whose work is not built yet. Each is bound to its event already and
// does nothing; the conversion workflow replaces them.

#include <string>

#include "platform/platform.h"

namespace lanzhou::app {

// Files dropped on 编辑框1.
void onFileDropped(platform::Platform& platform, const std::string& paths);
// Clicks on 选择框1ico, 选择框2png, 选择框3jpg and 按钮1保存.
void onIcoClicked(platform::Platform& platform);
void onPngClicked(platform::Platform& platform);
void onJpgClicked(platform::Platform& platform);
void onSaveClicked(platform::Platform& platform);

}  // namespace lanzhou::app
