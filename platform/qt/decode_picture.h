#pragma once

// Qt's image readers behind a header without Qt: the decoding that shows the
// preview, for callers that have no window (the scripted test platform).

#include "platform/platform.h"

namespace lanzhou::platform::qt {

RgbaImage decodePicture(const Bytes& bytes);

}  // namespace lanzhou::platform::qt
