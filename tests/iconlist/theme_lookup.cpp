#include "tests/iconlist/theme_lookup.h"

#include "iconlist/png_image.h"
#include "tests/iconlist/icon_samples.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {

Bitmap readPng(const std::string& path) {
    const Bytes bytes = readBytes(path);
    return decodePng(bytes.data(), bytes.size(), 4096);
}

std::string ScopedThemeLookup::samplePath() {
    return fixture("png/pngsuite/basn6a08.png");
}

ScopedThemeLookup::ScopedThemeLookup() {
    previous_ = setIconThemeLookup([](const std::string& nameOrPath, int32_t) {
        if (nameOrPath == "lanzhou-sample") return readPng(samplePath());
        if (!nameOrPath.empty() && nameOrPath[0] == '/') return readPng(nameOrPath);
        return Bitmap();
    });
}

ScopedThemeLookup::~ScopedThemeLookup() {
    setIconThemeLookup(previous_);
}

}  // namespace lanzhou::test
