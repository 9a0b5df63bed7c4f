#include "app/visibility.h"

#include "app/tray_icon.h"

namespace lanzhou::app {

using platform::Control;

namespace {

constexpr int kMenuOffset = 3;
constexpr int kTrayLeftClick = 1;

}  // namespace

void onMainWindowRightMouseDown(platform::Platform& platform) {
    const platform::Point cursor = platform.cursorPosition();
    platform.popupMenu({cursor.x + kMenuOffset, cursor.y + kMenuOffset});
}

void onHideSelected(platform::Platform& platform) {
    platform.setTrayIcon(trayIconBytes(), "澜舟");
    // Where no tray shows the icon, a hidden window could never be shown again
    // and the single-instance guard would refuse every new start: minimise instead.
    if (platform.trayAvailable())
        platform.setVisible(Control::MainWindow, false);
    else
        platform.minimize(Control::MainWindow);
}

void onTrayEvent(platform::Platform& platform, int code) {
    if (code != kTrayLeftClick) return;
    platform.setVisible(Control::MainWindow, !platform.visible(Control::MainWindow));
}

}  // namespace lanzhou::app
