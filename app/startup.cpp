#include "app/startup.h"

#include <cstdio>

#include "app/bindings.h"
#include "app/module_state.h"
#include "app/tray_icon.h"
#include "update/version_number.h"
#include "workflow/theme_icons.h"

namespace lanzhou::app {

using platform::Control;

int runProgram(platform::Platform& platform) {
    platform.setCurrentFolder(platform.executableFolder());
    prepareUpdateDocument(platform);
    platform.bind(mainWindowBindings(platform));
    // Desktop entries dropped on the window show their icons from the desktop's theme.
    const IconThemeLookup previousTheme = setIconThemeLookup(workflow::platformIconTheme(platform));
    platform.loadMainWindow();
    platform.runMessageLoop();
    setIconThemeLookup(previousTheme);
    return 0;
}

void prepareUpdateDocument(platform::Platform& platform) {
    updateDocument = std::make_unique<update::UpdateDocument>();
    platform.addExitAction([] {
        updateDocument->release();
        updateDocument.reset();
    });
}

void onMainWindowCreated(platform::Platform& platform) {
    if (!guardSingleInstance(platform, platform.executableFileName())) return;
    platform.setText(Control::版本号标签, versionLabelText(update::kOwnVersion));
    // The themed look needs no switch: Qt's style draws every window themed.
    aboutCountdown = kAboutCountdownStart;
    platform.enableFileDrop(Control::编辑框1);
    platform.setToolTip(Control::编辑框1, "请把软件或图片拖至此窗口");
    platform.setTrayIcon(trayIconBytes(), "欢迎使用澜舟");
}

bool guardSingleInstance(platform::Platform& platform, const std::string& name) {
    if (platform.claimInstance(name)) return true;
    platform::MessageBox box;
    box.text = "程序已运行，请确定！";
    box.title = "提示信息";
    box.icon = platform::BoxIcon::Information;
    box.taskModal = true;
    platform.messageBox(box);
    platform.endProcess();
    return false;
}

std::string versionLabelText(double version) {
    char number[32];
    std::snprintf(number, sizeof number, "%.13g", version);
    return std::string("版本号：") + number;
}

}  // namespace lanzhou::app
