#pragma once

#include "platform/platform.h"

namespace lanzhou::app {

// The program's icon as the notification area shows it: one 48 x 48, 32-bit
// image in an ICO file of 9,662 bytes, made at build time from app/icon/lanzhou.svg.
const platform::Bytes& trayIconBytes();

}  // namespace lanzhou::app
