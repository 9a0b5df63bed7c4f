#include "update/update_check.h"

#include <string>
#include <vector>

#include "update/update_offer.h"
#include "update/update_url.h"
#include "update/updater_command.h"
#include "update/updater_file.h"
#include "update/updater_payload.h"
#include "update/version_number.h"

namespace update {

using lanzhou::platform::BoxButtons;
using lanzhou::platform::BoxIcon;
using lanzhou::platform::BoxResult;
using lanzhou::platform::Control;
using lanzhou::platform::MessageBox;
using lanzhou::platform::Platform;

namespace {

constexpr const char* kIdleCaption = "澜舟";
constexpr const char* kCheckingCaption = "检测升级中...";
constexpr const char* kNoNewerCaption = "未检测到新版本";
constexpr const char* kOfferTitle = "版本升级";
constexpr int kNoticeMs = 3000;

void reportUnreachable(Platform& platform) {
    MessageBox box;
    box.text = "未接通升级服务器";
    box.title = "提示信息";
    box.timeoutMs = kNoticeMs;
    platform.messageBox(box);
}

bool offerAccepted(Platform& platform, const UpdateDocument& document) {
    MessageBox box;
    box.text = std::string("发现有新版本可以更新！\r\n\r\n版本号：") +
               offerValue(document, kVersionAttribute) + "\r\n下载说明：" +
               offerValue(document, kNotesAttribute);
    box.title = kOfferTitle;
    box.buttons = BoxButtons::OkCancel;
    box.icon = BoxIcon::Information;
    box.taskModal = true;
    return platform.messageBox(box) == BoxResult::Ok;
}

// The updater with the argument list of its command line; false when it did
// not start.
bool startUpdater(Platform& platform, const std::string& runFolder, const UpdaterValues& values) {
    const std::vector<std::string> arguments = updaterArguments(runFolder, values);
    return platform.startProcess(arguments.front(),
                                 std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}

// Stays open until the user closes it: the address is there to be copied.
void askForManualDownload(Platform& platform, const UpdaterValues& values) {
    MessageBox box;
    box.text = "升级程序无法启动，请手动下载新版本：" + values.downloadAddress;
    box.title = kOfferTitle;
    box.icon = BoxIcon::Warning;
    box.taskModal = true;
    platform.messageBox(box);
}

}  // namespace

void checkForUpdate(Platform& platform, UpdateDocument& document) {
    platform.setText(Control::MainWindow, kCheckingCaption);
    const std::string runFolder = platform.executableFolder();
    // A folder the user cannot write is not reported here; it matters only
    // once an update is accepted, and then the user hears of it. An installed
    // copy gets no updater at all.
    const bool updaterOnDisk = !isInstalledCopy(runFolder) &&
                               ensureUpdater(runFolder, updaterPayload(), updaterPayloadSize());

    if (!fetchUpdateDocument(document, updateUrl())) {
        reportUnreachable(platform);
        platform.setText(Control::MainWindow, kIdleCaption);
        return;
    }

    if (isNewerVersion(offeredVersion(document))) {
        if (offerAccepted(platform, document)) {
            const UpdaterValues values = offeredUpdaterValues(document);
            // Ending without a running updater would leave the user with nothing.
            if (updaterOnDisk && startUpdater(platform, runFolder, values)) {
                platform.endProcess();
                return;
            }
            askForManualDownload(platform, values);
        }
        platform.setText(Control::MainWindow, kIdleCaption);
    } else {
        platform.setText(Control::MainWindow, kNoNewerCaption);
        platform.pause(kNoticeMs);
        platform.setText(Control::MainWindow, kIdleCaption);
    }
    platform.processPendingEvents();
}

}  // namespace update
