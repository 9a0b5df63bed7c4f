#pragma once

#include "platform/platform.h"
#include "update/update_document.h"

namespace update {

// Menu "检测升级", with the run's one update document: makes sure the updater
// is on disk, fetches the update document into `document` and tells the user
// the outcome through MainWindow's caption and a box. When a newer version is
// offered and accepted, the updater is started and the program ends; when it
// cannot start, the user is asked to download the new version by hand and
// the program runs on.
void checkForUpdate(lanzhou::platform::Platform& platform, UpdateDocument& document);

}  // namespace update
