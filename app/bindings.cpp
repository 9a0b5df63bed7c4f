#include "app/bindings.h"

#include "app/about.h"
#include "app/module_state.h"
#include "app/startup.h"
#include "app/unbuilt_handlers.h"
#include "app/visibility.h"
#include "update/update_check.h"

namespace lanzhou::app {

using platform::MenuItem;

platform::EventBindings mainWindowBindings(platform::Platform& platform) {
    platform::EventBindings on;
    on.mainWindowCreated = [&platform] { onMainWindowCreated(platform); };
    on.mainWindowRightMouseDown = [&platform] { onMainWindowRightMouseDown(platform); };
    on.trayEvent = [&platform](int code) { onTrayEvent(platform, code); };
    on.fileDropped = [&platform](const std::string& paths) { onFileDropped(platform, paths); };
    on.icoClicked = [&platform] { onIcoClicked(platform); };
    on.pngClicked = [&platform] { onPngClicked(platform); };
    on.jpgClicked = [&platform] { onJpgClicked(platform); };
    on.saveClicked = [&platform] { onSaveClicked(platform); };
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
