#include "app/about.h"

#include <string>

#include "app/module_state.h"

namespace lanzhou::app {

using platform::Control;

namespace {

constexpr int kTickMs = 1000;
constexpr int kReturnKey = 13;

std::string aboutText() {
    return std::string("墨川\r\n\r\n QQ：") + kContactNumber;
}

std::string countdownText(int count) {
    return "墨川   (" + std::to_string(count) + ")\r\n\r\n QQ：" + kContactNumber;
}

}  // namespace

void onAboutSelected(platform::Platform& platform) {
    platform.setPeriod(Control::时钟1关于, kTickMs);
    platform::MessageBox box;
    box.text = aboutText();
    box.title = kAboutTitle;
    box.taskModal = true;
    platform.messageBox(box);
}

void onAboutTimerTick(platform::Platform& platform) {
    const platform::WindowHandle box = platform.findTopLevelWindow(kAboutTitle);
    if (box == platform::kNoWindow) {
        platform.setPeriod(Control::时钟1关于, 0);
        return;
    }
    --aboutCountdown;
    platform.setMessageText(box, countdownText(aboutCountdown));
    if (aboutCountdown != 0) return;
    platform.postKeyDown(box, kReturnKey);
    platform.setPeriod(Control::时钟1关于, 0);
    aboutCountdown = kAboutCountdownStart;
}

}  // namespace lanzhou::app
