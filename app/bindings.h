#pragma once

#include "platform/platform.h"

namespace lanzhou::app {

// Every event of MainWindow, its controls, its menu and its timer, bound to its handler.
platform::EventBindings mainWindowBindings(platform::Platform& platform);

}  // namespace lanzhou::app
