#pragma once

#include "platform/platform.h"

namespace lanzhou::app {

// Right button pressed on MainWindow's free client area: the popup menu
// 3 px right of and 3 px below the cursor.
void onMainWindowRightMouseDown(platform::Platform& platform);

// Menu "隐藏": the tray tip becomes "澜舟" and the window goes out of sight.
void onHideSelected(platform::Platform& platform);

// Tray event code 1 (left click) shows a hidden window and hides a shown one;
// every other code does nothing.
void onTrayEvent(platform::Platform& platform, int code);

}  // namespace lanzhou::app
