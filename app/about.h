#pragma once

#include "platform/platform.h"

namespace lanzhou::app {

inline constexpr const char* kAboutTitle = "关于作者";
inline constexpr const char* kContactNumber = "80261437";

// Menu "关于": starts 时钟1关于 at one tick a second and shows the about box
// until it is closed, by the user or by the countdown.
void onAboutSelected(platform::Platform& platform);

// Tick of 时钟1关于: counts aboutCountdown down in the open about box's text
// and closes the box at 0; stops the timer once the box is gone.
void onAboutTimerTick(platform::Platform& platform);

}  // namespace lanzhou::app
