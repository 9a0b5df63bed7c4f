#include "workflow/save_messages.h"

namespace lanzhou::workflow {

namespace {

constexpr int kMessageTimeoutMs = 3000;

}  // namespace

void showSaveMessage(platform::Platform& platform, const std::string& text,
                     const std::string& title) {
    platform::MessageBox box;
    box.text = text;
    box.title = title;
    box.buttons = platform::BoxButtons::Ok;
    box.icon = platform::BoxIcon::None;
    box.timeoutMs = kMessageTimeoutMs;
    platform.messageBox(box);
}

bool confirmReplace(platform::Platform& platform, const std::string& fullName) {
    platform::MessageBox box;
    box.text = fullName + " 已存在。\r\n要替换它吗？";
    box.title = "确认另存为";
    box.buttons = platform::BoxButtons::YesNo;
    box.icon = platform::BoxIcon::Warning;
    // The question waits for its answer, and nothing else happens meanwhile.
    box.taskModal = true;
    return platform.messageBox(box) == platform::BoxResult::Yes;
}

}  // namespace lanzhou::workflow
