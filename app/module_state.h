#pragma once

namespace lanzhou::app {

// Seconds the about box counts down from.
constexpr int kAboutCountdownStart = 6;

// Seconds left before the about box closes itself.
extern int aboutCountdown;
// Image index of the last dropped file's icon, -1 for none.
extern int lastIconIndex;

}  // namespace lanzhou::app
