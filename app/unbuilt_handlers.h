#pragma once

// Handlers whose work is not built yet. Each is bound to its event already and
// does nothing; the update check replaces them.

#include "platform/platform.h"

namespace lanzhou::app {

// Menu "检测升级".
void checkForUpdate(platform::Platform& platform);
// Start-up: creates the update document, empty, and adds its release as an exit action.
void prepareUpdateDocument(platform::Platform& platform);

}  // namespace lanzhou::app
