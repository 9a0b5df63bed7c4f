#include "app/bindings.h"

#include "app/about.h"
#include "app/module_state.h"
#include "app/startup.h"
#include "app/visibility.h"
#include "update/update_check.h"
#include "workflow/format_choice.h"
#include "workflow/intake.h"
#include "workflow/save_flow.h"

namespace lanzhou::app {

using platform::MenuItem;

platform::EventBindings mainWindowBindings(platform::Platform& platform) {
    platform::EventBindings on;
    on.mainWindowCreated = [&platform] { onMainWindowCreated(platform); };
    on.mainWindowRightMouseDown = [&platform] { onMainWindowRightMouseDown(platform); };
    on.trayEvent = [&platform](int code) { onTrayEvent(platform, code); };
    on.fileDropped = [&platform](const std::string& paths) {
        workflow::onFileDropped(platform, paths);
    };
    on.icoClicked = [&platform] { workflow::onIcoClicked(platform); };
    on.pngClicked = [&platform] { workflow::onPngClicked(platform); };
    on.jpgClicked = [&platform] { workflow::onJpgClicked(platform); };
    on.saveClicked = [&platform] { workflow::onSaveClicked(platform); };
    on.menuChosen = [&platform](MenuItem item) {
        switch (item) {
            case MenuItem::检测升级:
                if (updateDocument) update::checkForUpdate(platform, *updateDocument);
                break;
            case MenuItem::隐藏:
                onHideSelected(platform);
                break;
            case MenuItem::关于:
                onAboutSelected(platform);
                break;
        }
    };
    on.aboutTimerTick = [&platform] { onAboutTimerTick(platform); };
    return on;
}

}  // namespace lanzhou::app
