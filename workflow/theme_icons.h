#pragma once

#include "iconlist/icon_theme.h"
#include "platform/platform.h"

namespace lanzhou::workflow {

// The icon theme as the platform knows it, for the icons of desktop
// entries. The lookup uses `platform` for as long as it stays installed.
IconThemeLookup platformIconTheme(platform::Platform& platform);

}  // namespace lanzhou::workflow
