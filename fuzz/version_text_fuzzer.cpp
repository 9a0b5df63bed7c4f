// Any bytes as the version text of an update document.
#include <cmath>
#include <cstdint>
#include <string>

#include "update/version_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const double version = update::versionNumber(std::string(reinterpret_cast<const char*>(data), size));
    if (std::isnan(version)) __builtin_trap();
    update::isNewerVersion(version);
    return 0;
}
