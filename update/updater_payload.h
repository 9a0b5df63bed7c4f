#pragma once

#include <cstddef>

namespace update {

// The bytes of the lanzhou-updater program built alongside this one, carried
// inside it and written out by ensureUpdater.
const unsigned char* updaterPayload();
std::size_t updaterPayloadSize();

}  // namespace update
