#pragma once

namespace lanzhou::app {

// Seconds the about box counts down from.
constexpr int kAboutCountdownStart = 6;

// Seconds left before the about box closes itself.
extern int aboutCountdown;

}  // namespace lanzhou::app
