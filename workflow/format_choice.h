#pragma once

#include "platform/platform.h"

namespace lanzhou::workflow {

// Clicks on the format boxes: each leaves exactly its own box checked (the
// click has toggled its box already; the handler's writes overrule that).
// 选择框1ico then runs the save flow at once.
void onIcoClicked(platform::Platform& platform);
void onPngClicked(platform::Platform& platform);
void onJpgClicked(platform::Platform& platform);

// Writes the checked states of 选择框1ico, 选择框2png and 选择框3jpg, in that order.
void setFormatBoxes(platform::Platform& platform, int ico, int png, int jpg);

}  // namespace lanzhou::workflow
