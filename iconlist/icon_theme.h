#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "workflow/bitmap.h"

namespace lanzhou {

// Turns a desktop entry's icon (a name in the icon theme, or a file path)
// into pixels of about `side` x `side`; an empty bitmap when it knows no
// such icon. The platform installs its own at start-up.
using IconThemeLookup = std::function<Bitmap(const std::string& nameOrPath, int32_t side)>;

// Installs `lookup`, or with an empty one none; returns the one before.
IconThemeLookup setIconThemeLookup(IconThemeLookup lookup);

// The installed lookup's answer; an empty bitmap when none is installed.
Bitmap lookUpThemeIcon(const std::string& nameOrPath, int32_t side);

}  // namespace lanzhou
