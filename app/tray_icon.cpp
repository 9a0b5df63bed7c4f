#include "app/tray_icon.h"

#include <cstddef>

namespace lanzhou::app {

// Generated from the icon's master at build time.
extern const unsigned char kTrayIconIco[];
extern const std::size_t kTrayIconIcoSize;

const platform::Bytes& trayIconBytes() {
    static const platform::Bytes bytes(kTrayIconIco, kTrayIconIco + kTrayIconIcoSize);
    return bytes;
}

}  // namespace lanzhou::app
